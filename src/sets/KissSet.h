#pragma once

#include "core/CellImage.h"
#include "core/Rect.h"
#include "core/Status.h"
#include "palette/PaletteSet.h"
#include "sets/CnfDocument.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace celdo {

// One palette file of the set (a `%` line).
struct SetPaletteFile {
    std::string name; // as written in the configuration file
    std::string path; // the file found in the set's folder; empty when missing
    bool loaded = false;
    int groupCount = 0;      // groups the file holds (at most ten are read)
    int coloursPerGroup = 0; // 16 or 256
    PaletteSet colours;      // the file's groups; unused entries black
};

// One distinct cell file of the set; several cell lines may share it.
struct SetCellFile {
    std::string path; // the file found in the set's folder; empty when missing
    bool loaded = false;
    int kind = 0;    // as KissCellFile names it
    int offsetX = 0; // from its KiSS header
    int offsetY = 0;
    // 8 bits (indexed cells) or 24 bits (32-bit cells, whose alpha is `mask`
    // as 255 − alpha).
    CellImagePtr picture;
    CellImagePtr mask;
};

// A KiSS set read from its configuration file: the document, every palette
// file and every cell file it names, found case-insensitively in the
// configuration file's folder.  Files that are missing or unreadable are
// reported and not drawn; they never make the set unreadable.
class KissSet {
    struct Token {
        explicit Token() = default;
    };

public:
    // Only Load makes sets; the token keeps the constructor to it.
    explicit KissSet(Token) {}

    // Status of reading the configuration file itself (open or read error,
    // or a file too large to be one); `set` stays empty on failure.
    static Status Load(const std::string& cnfPath, std::unique_ptr<KissSet>& set);

    const std::string& path() const { return m_path; }
    // The folder the set's files are looked up in, ending in '/'.
    const std::string& folder() const { return m_folder; }
    const CnfDocument& document() const { return m_document; }
    CnfDocument& document() { return m_document; }
    const std::vector<SetPaletteFile>& palettes() const { return m_palettes; }
    const std::vector<SetCellFile>& files() const { return m_files; }
    // Index into files() of cell line `cell`, -1 when its file is missing.
    int fileOf(int cell) const;
    // Texts for the set window: missing files, unreadable files, cells not
    // drawn because their palette file is missing, and the reader's warnings.
    const std::vector<std::string>& reports() const { return m_reports; }

    // A name from the configuration file (Shift-JIS bytes) as text.
    static std::string nameText(std::string_view cnfName);

    // The file of the folder whose last path component matches `name`
    // case-insensitively (ASCII); empty when none.
    std::string resolve(std::string_view name) const;
    // The index into files() of a path, -1 when it is none of the set's.
    int fileIndex(const std::string& path) const;

    // While a cell file is open in an image window the set draws that
    // window's picture (and mask) instead of its own copy; null returns to
    // the copy.  Not owned; must outlive the attachment.
    void AttachPicture(int file, const CellImage* picture, const CellImage* mask);
    // While a palette file is the program's palette, the set draws with it.
    void AttachPalette(int paletteFile, const PaletteSet* colours);
    const CellImage* pictureOf(int file) const;
    const CellImage* maskOf(int file) const;
    const PaletteSet* coloursOf(int paletteFile) const;
    void SetOffsets(int file, int x, int y);
    // Reads a cell file again after it changed on disk.
    Status ReloadFile(int file);

    // Where cell line `cell` lies on the page in playfield pixels (object
    // position + header offset); empty when it is not drawn there.
    Rect cellBounds(int page, int cell) const;
    // The union of the object's drawn cells on the page.
    Rect objectBounds(int page, int object) const;

    // Writes the configuration file through the safe save and marks the
    // document saved.
    Status Save();

private:
    // The folder's files, for finding many names with one reading of it.
    std::vector<std::string> folderFiles() const;
    std::string resolveIn(const std::vector<std::string>& files, std::string_view name) const;
    void LoadPalettes(const std::vector<std::string>& files);
    void LoadCells(const std::vector<std::string>& files);
    void Report(const std::string& text);

    std::string m_path;
    std::string m_folder;
    CnfDocument m_document;
    std::vector<SetPaletteFile> m_palettes;
    std::vector<SetCellFile> m_files;
    std::vector<int> m_fileOfCell;
    std::vector<std::string> m_reports;
    std::vector<const CellImage*> m_attachedPictures;
    std::vector<const CellImage*> m_attachedMasks;
    std::vector<const PaletteSet*> m_attachedPalettes;
};

} // namespace celdo
