#pragma once

#include "formats/GraphicFile.h"
#include "framework/ControlTable.h"

#include <array>
#include <cstdint>
#include <string>

namespace celdo {

// Windows icon and cursor files of 2, 16 or 256 colours.  Every image of the
// file is a page.  A loaded image is 8 bits a pixel; the AND mask is carried
// in two reserved indices: 255 for screen (transparent) pixels and 254 for
// inverted-screen pixels.  Saving writes one image with the same mapping.
class IconFile : public GraphicFile {
public:
    static constexpr int IconVariant = 1;
    static constexpr int CursorVariant = 2;
    static constexpr int Inverted = 254;
    static constexpr int Screen = 255;

    IconFile(std::string path, int variant);

    Status readHeader() override;
    Status selectPage() override;
    int showInfo(Ui& ui) override;
    CellImagePtr readImage() override;
    void setFromImage(const CellImage& image) override;
    void setFromDocument(const GraphicFile& document) override;
    int askSaveOptions(Ui& ui) override;
    Status writeBody() override;

    int variant() const { return m_variant; }
    int colours() const { return m_colours; }
    // 2, 16 or 256; anything else is taken as 16.
    void setColours(int colours);
    void setSize(int width, int height);
    int hotspotX() const { return m_hotspotX; }
    int hotspotY() const { return m_hotspotY; }
    void setHotspot(int x, int y);

private:
    int m_variant;
    int m_colours;
    std::uint32_t m_xorRowSize = 0;
    std::uint32_t m_andRowSize = 0;
    int m_hotspotX = 0;
    int m_hotspotY = 0;
    long long m_palettePosition = 0;
    long long m_xorPosition = 0;
    long long m_andPosition = 0;
};

ControlTable IconLoadTable(const std::string& fileName, int colours, int width, int height);
ControlTable CurLoadTable(const std::string& fileName, int colours, int width, int height,
                          int hotspotX, int hotspotY);
// Size list entries: 32×32, 16×16, 48×48, その他; choosing one of the first
// three sets both size bars, which are enabled only for その他.
ControlTable IconSaveTable(const std::string& fileName, int colours, int width, int height);
ControlTable CursorSaveTable(const std::string& fileName, int colours, int hotspotX, int hotspotY);
// The colour count chosen in an IconSave or CursorSave table.
int IconSaveColours(const ControlTable& table);

} // namespace celdo
