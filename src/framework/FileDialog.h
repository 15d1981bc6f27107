#pragma once

#include "framework/ControlTable.h"

#include <string>
#include <vector>

namespace celdo {

class Ui;

// One entry of a file dialog's type list: "BMP" "*.BMP".
struct FileType {
    std::string description;
    std::string pattern; // "*.BMP", "*.*"
};

// The program's own file dialogs FLOAD ("画像の読込" …) and FSAVE ("画像の
// 保存" …): a file name edit, the files of the current directory that match
// the chosen type, the type list, the current directory, its sub-directories
// and the places to start from (the file-system roots and home stand for the
// drive list).  Patterns match without regard to letter case.
class FileDialog {
public:
    enum Mode { Load, Save };
    enum ControlId {
        FileNameEdit = 400,
        FileList = 405,
        TypeList = 410,
        DirectoryText = 415,
        DirectoryList = 420,
        DriveList = 425,
        ViewHeaderCheck = 2250, // FLOAD
        OptionCheck = 22,       // FSAVE
    };

    struct Request {
        Mode mode = Load;
        std::string title; // "画像の読込", "パレットの保存" …
        std::vector<FileType> types;
        int typeIndex = 0;
        std::string directory; // start here ("" = current directory)
        std::string fileName;  // proposed name (save)
        // The check box "View Header" (FLOAD) or "Option" (FSAVE); -1 = none.
        int checkValue = -1;
    };
    struct Result {
        bool confirmed = false;
        std::string path;
        int typeIndex = 0;
        int checkValue = -1;
    };

    // Runs the dialog through `ui`.
    static Result Run(Ui& ui, const Request& request);

    // The table and its handlers; exposed for tests and for the renderer.
    explicit FileDialog(const Request& request);
    ControlTable& table() { return m_table; }
    // Result after the table closed with `code`.
    Result result(int code) const;

    const std::string& directory() const { return m_directory; }
    // Case-insensitive wildcard match of a file name against "*.BMP" etc.
    static bool matches(const std::string& pattern, const std::string& name);

private:
    void changeDirectory(const std::string& directory);
    void fillLists();
    void onChange(int id);
    int onButton(int id);
    int onActivate(int id);

    Request m_request;
    ControlTable m_table;
    std::string m_directory;
    std::string m_chosenPath;
    std::vector<std::string> m_places;
    int m_typeCount = 0;
};

} // namespace celdo
