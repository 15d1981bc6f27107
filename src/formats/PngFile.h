#pragma once

#include "formats/GraphicFile.h"
#include "framework/ControlTable.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace celdo {

// PNG pictures, read and written through libpng.  Palette pictures of 1, 2,
// 4 and 8 bits and greyscale ones keep their indices (one byte a pixel, the
// grey levels as a grey palette); RGB and RGBA become 24-bit pictures whose
// alpha becomes a mask plane (mask = 255 − alpha), as a 32-bit KiSS cell's
// does; so does a grey picture's transparent level (tRNS).  An oFFs chunk in
// pixels carries the KiSS offsets.  Saves write an
// indexed picture as a palette PNG of 4 or 8 bits and a true-colour one as
// RGB, with its mask as alpha.
class PngFile : public GraphicFile {
public:
    // Colour types of the IHDR chunk.
    static constexpr int GreyType = 0;
    static constexpr int RgbType = 2;
    static constexpr int PaletteType = 3;
    static constexpr int GreyAlphaType = 4;
    static constexpr int RgbAlphaType = 6;
    // The most bytes of decoded rows a file may declare; beyond it the file is
    // refused before anything is allocated.
    static constexpr std::uint64_t MaxDecodedBytes = 1024ull << 20;
    // The most bytes a chunk other than IDAT may hold, and how many such
    // chunks a file may carry.
    static constexpr std::uint32_t MaxChunkBytes = 8u << 20;
    static constexpr std::uint32_t MaxChunkCount = 1000;

    // The save options, remembered for the program run from every confirmed
    // save dialog.
    static int lastSaveBits;
    static bool lastTransparentZero;
    static bool lastWriteOffsets;

    explicit PngFile(std::string path);
    ~PngFile() override;

    Status readHeader() override;
    int showInfo(Ui& ui) override;
    CellImagePtr readImage() override;
    CellImagePtr takeMask() override;
    void setFromImage(const CellImage& image) override;
    void setFromDocument(const GraphicFile& document) override;
    int askSaveOptions(Ui& ui) override;
    Status writeBody() override;

    // What readHeader found.
    int bitDepth() const { return m_bitDepth; }
    int colourType() const { return m_colourType; }
    bool interlaced() const { return m_interlaced; }
    // Entries of the PLTE chunk, 0 without one.
    int paletteEntries() const { return m_paletteEntries; }
    // Entries of a palette picture's tRNS chunk (0 without one), or for other
    // colour types 1 when it marks a colour transparent.
    int transparentEntries() const { return m_transparentEntries; }
    bool animated() const { return m_animated; }
    bool hasOffsets() const { return m_hasOffsets; }
    int offsetX() const { return m_offsetX; }
    int offsetY() const { return m_offsetY; }
    void setOffsets(int x, int y);

    // 256 colour values the entries a palette or grey picture of fewer than
    // 8 bits does not use take, as a 1- or 4-bit bitmap is widened with the
    // current colour group; null for black.  Not owned.
    void setSourcePalette(const ColourValue* palette) { m_sourcePalette = palette; }
    bool alphaToMask() const { return m_alphaToMask; }
    void setAlphaToMask(bool on) { m_alphaToMask = on; }

    // Save options: 4 or 8 bits for indexed pictures (4 only when every
    // index is below 16), index 0 transparent, offsets written.
    int saveBits() const { return m_saveBits; }
    void setSaveBits(int bits) { m_saveBits = bits == 4 ? 4 : 8; }
    bool transparentZero() const { return m_transparentZero; }
    void setTransparentZero(bool on) { m_transparentZero = on; }
    bool writeOffsets() const { return m_writeOffsets; }
    void setWriteOffsets(bool on) { m_writeOffsets = on; }

    // Whether the last save wrote the mask plane as the alpha channel (a
    // true-colour picture with a mask); the mask then needs no file of its
    // own.
    bool storedMask() const { return m_storedMask; }

    // The libpng state of one reading; private to PngFile.cpp.
    struct Reader;

private:
    void releaseReader();
    void remember() const;

    std::unique_ptr<Reader> m_reader;
    CellImagePtr m_readMask;
    const ColourValue* m_sourcePalette = nullptr;
    int m_bitDepth = 0;
    int m_colourType = 0;
    bool m_interlaced = false;
    int m_paletteEntries = 0;
    int m_transparentEntries = 0;
    bool m_animated = false;
    bool m_hasOffsets = false;
    int m_offsetX = 0;
    int m_offsetY = 0;
    bool m_alphaToMask = true;
    bool m_storedMask = false;
    int m_saveBits;
    bool m_transparentZero;
    bool m_writeOffsets;
};

// Reads a whole PNG held in memory: the picture, and the mask plane of its
// alpha channel when it has one.  0 or the status code of the failure, as a
// file load reports it.
Status ReadPngFromMemory(std::span<const std::uint8_t> bytes, CellImagePtr& picture,
                         CellImagePtr& mask);

// The colour type as the information dialog names it.
std::string PngColourTypeText(int colourType);

// The information dialog shown before a PNG is loaded.
ControlTable PngLoadTable(const PngFile& file);
// The save options dialog; `indexed` tells whether the depth choice applies.
ControlTable PngSaveTable(const PngFile& file, bool indexed);
// Reads a confirmed PngSave table back into `file`.
void ApplyPngSaveTable(const ControlTable& table, PngFile& file);

} // namespace celdo
