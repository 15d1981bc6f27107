#pragma once

#include "formats/DibReader.h"
#include "formats/GraphicFile.h"
#include "framework/ControlTable.h"

#include <array>
#include <cstdint>
#include <string>

namespace celdo {

// Windows and OS/2 bitmap files.  Reads 1-, 4-, 8- and 24-bit pictures,
// uncompressed or run-length encoded (RLE8, RLE4), stored bottom-up or
// top-down, with any information header length; 16- and 32-bit pictures
// (plain or with bit-field masks) are read as 24-bit ones.  Writes
// uncompressed 1-, 4-, 8- and 24-bit files, converting the picture to the
// chosen depth first.
//
// A packed bitmap, as clipboards carry one, is the same record without the
// 14-byte file header: its pixels follow the colour table, which holds the
// colours-used number of entries when that field is set.
class BmpFile : public GraphicFile {
public:
    explicit BmpFile(std::string path);

    Status readHeader() override;
    int showInfo(Ui& ui) override;
    CellImagePtr readImage() override;
    void setFromImage(const CellImage& image) override;
    int askSaveOptions(Ui& ui) override;
    Status writeBody() override;

    std::uint32_t compression() const { return m_compression; }
    // 2 to the power of the bits per pixel, for pictures of up to 8 bits.
    int paletteColours() const { return m_paletteColours; }
    bool topDown() const { return m_topDown; }
    // The depth a save writes: 1, 4, 8 or 24; 0 until set.
    int saveBits() const { return m_saveBits; }
    void setSaveBits(int bits) { m_saveBits = bits; }
    // Whether the bytes read are a packed bitmap (no file header).
    bool packed() const { return m_packed; }
    void setPacked(bool packed) { m_packed = packed; }

private:
    Status readFileHeader();
    Status placePackedData(const std::uint8_t* area);
    Status checkReadable();
    Status readPalette(CellImage& image);
    Status readPlainRows(CellImage& image);
    Status readRunLengthRows(CellImage& image);

    std::uint32_t m_compression = 0;
    std::uint32_t m_headerSize = 0;
    bool m_coreHeader = false;
    bool m_topDown = false;
    int m_paletteColours = 0;
    // Entries of the colour table actually read.
    int m_tableColours = 0;
    std::uint32_t m_rowSize = 0;
    long long m_palettePosition = 0;
    ChannelMasks m_masks;
    int m_saveBits = 0;
    bool m_packed = false;
};

// The information dialog shown before a bitmap is loaded.
ControlTable BmpLoadTable(const std::string& fileName, int width, int height, int bitsPerPixel,
                          std::uint32_t compression);
// The save options dialog; the radio button of `bits` starts checked.
ControlTable BmpSaveTable(const std::string& fileName, int bits);
// The depth chosen in a BmpSave table.
int BmpSaveChoice(const ControlTable& table);

} // namespace celdo
