#pragma once

#include "core/CellImage.h"
#include "formats/GraphicFile.h"
#include "framework/ControlTable.h"

#include <atomic>
#include <string>

namespace celdo {

// KiSS cell files (.CEL), the editor's own picture format, in three kinds:
//   0  old 16-colour cell: width and height words, then nibble rows;
//   1  "KiSS" header, 4 bits per pixel;
//   2  "KiSS" header, 8 bits per pixel, or 32 bits (blue, green, red, alpha).
// Rows are stored top row first with no padding.  Indexed cells load as 8-bit
// pictures; 32-bit cells as 24-bit pictures whose alpha becomes a mask plane
// (mask = 255 − alpha) when alphaToMask is on.
class KissCellFile : public GraphicFile {
public:
    // Remembered for the program run from every successful cell load: the
    // defaults of new cell objects (and of new palette objects' kind).
    // Atomic because the converter loads cells on several threads at once; it
    // sets each output's kind and offsets itself instead of reading these.
    static constexpr int DefaultKind = 2;
    static std::atomic<int> lastCellKind;
    static std::atomic<int> lastCellOffsetX;
    static std::atomic<int> lastCellOffsetY;

    static constexpr int HeaderSize = 32;
    static constexpr int OldHeaderSize = 4;
    static constexpr int OffsetMaximum = 2000;

    explicit KissCellFile(std::string path);

    Status readHeader() override;
    int showInfo(Ui& ui) override;
    CellImagePtr readImage() override;
    CellImagePtr takeMask() override;
    void setFromImage(const CellImage& image) override;
    // A PNG carrying offsets hands them on.
    void setFromDocument(const GraphicFile& document) override;
    int askSaveOptions(Ui& ui) override;
    Status writeBody() override;

    int kind() const { return m_kind; }
    void setKind(int kind) { m_kind = kind; }
    int offsetX() const { return m_offsetX; }
    int offsetY() const { return m_offsetY; }
    void setOffsets(int x, int y) {
        m_offsetX = x;
        m_offsetY = y;
    }
    bool alphaToMask() const { return m_alphaToMask; }
    void setAlphaToMask(bool on) { m_alphaToMask = on; }
    bool maskToAlpha() const { return m_maskToAlpha; }
    void setMaskToAlpha(bool on) { m_maskToAlpha = on; }
    // 256 colour values given to indexed cells on load, or null for the grey
    // ramp.  Not owned; must outlive readImage.
    void setSourcePalette(const ColourValue* palette) { m_sourcePalette = palette; }
    const ColourValue* sourcePalette() const { return m_sourcePalette; }

    // Bytes of pixel data the header declares (rows × row bytes).
    long long dataSize() const;

    // The kind as the load dialog names it.
    static std::string kindText(int kind, int bitsPerPixel);

    // The dialogs, built from this object's values.  The apply functions read
    // a confirmed table back into the object.
    ControlTable loadDialog() const;
    ControlTable loadDialog2() const;
    ControlTable saveDialog() const;
    ControlTable saveDialog2() const;
    void applyLoadDialog(const ControlTable& table);
    void applySaveDialog(const ControlTable& table);

private:
    CellImagePtr readPixels();
    CellImagePtr readIndexed();
    CellImagePtr readTrueColour();
    void remember() const;

    int m_kind;
    int m_offsetX;
    int m_offsetY;
    bool m_alphaToMask = true;
    bool m_maskToAlpha = true;
    const ColourValue* m_sourcePalette = nullptr;
    CellImagePtr m_readMask;
};

} // namespace celdo
