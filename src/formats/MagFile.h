#pragma once

#include "formats/GraphicFile.h"
#include "framework/ControlTable.h"

#include <array>
#include <cstdint>
#include <string>

namespace celdo {

// MAG pictures ("MAKI02", 16 or 256 colours).  Pixels go in units of two
// bytes (4 pixels at 16 colours, 2 at 256); each unit is either stored or
// copied from one of 15 nearby units, chosen by a nibble of a per-line flag
// row that is itself stored as the XOR against the line above (flag A marks
// the changed flag bytes, flag B holds them).
//
// Texts: the machine code, user name (author()) and comment() are UTF-8 here
// and Shift-JIS in the file; their limits count file bytes.
class MagFile : public GraphicFile {
public:
    static constexpr int UserNameBytes = 18;
    static constexpr int MachineCodeBytes = 4;
    // The longest comment a reader accepts before its 0x1A.
    static constexpr int CommentBytes = 4000;
    // The longest comment the save dialog takes.
    static constexpr int DialogCommentBytes = 1023;

    explicit MagFile(std::string path);

    Status writeBody() override;
    Status readHeader() override;
    int showInfo(Ui& ui) override;
    CellImagePtr readImage() override;
    int askSaveOptions(Ui& ui) override;
    void setFromImage(const CellImage& image) override;
    void setFromDocument(const GraphicFile& document) override;

    // Writes `image` (1, 4 or 8 bits; 8 bits give a 256-colour file) with the
    // given comment through the safe save, as the mask files are written.
    static Status Save(const std::string& path, const CellImage& image, const std::string& comment);

    const std::string& machineCode() const { return m_machineCode; }
    void setMachineCode(std::string text) { m_machineCode = std::move(text); }
    const std::string& userName() const { return m_author; }
    void setUserName(std::string text) { m_author = std::move(text); }
    // Replaces the comment; unlike setComment an empty text clears it.
    void replaceComment(std::string text) { m_comment = std::move(text); }
    // Bits per pixel a save writes: 4 (16 colours) or 8 (256 colours).
    int saveBits() const { return m_saveBits; }
    void setSaveBits(int bits) { m_saveBits = bits > 4 ? 8 : 4; }

    // What readHeader found.
    long long headerOffset() const { return m_headerOffset; }
    const std::array<std::uint8_t, 32>& magHeader() const { return m_header; }
    int flagBytesPerLine() const { return m_flagBytesPerLine; }

private:
    struct Stream {
        long long position = 0;
        long long size = 0;
    };

    std::string m_machineCode = "PCAT";
    int m_saveBits = 4;
    // Set when the user name came from a file, whose reading starts one
    // byte before the written name (see setFromDocument).
    bool m_userNameFromFile = false;
    long long m_headerOffset = 0;
    std::array<std::uint8_t, 32> m_header{};
    int m_flagBytesPerLine = 0;
    int m_leadingPixels = 0;
    Stream m_flagA;
    Stream m_flagB;
    Stream m_pixelData;
};

// The information dialog shown before a MAG picture is loaded.
ControlTable MagLoadDialog(const MagFile& file);
// The save options dialog; MagFile::askSaveOptions reads it back.
ControlTable MagSaveDialog(const MagFile& file);

} // namespace celdo
