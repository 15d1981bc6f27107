#include "framework/FileDialog.h"

#include "framework/Ui.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace celdo {

namespace fs = std::filesystem;

namespace {

bool wildcard(const char* p, const char* s) {
    // '*' any run, '?' one character; letters compared without case.
    while (*p) {
        if (*p == '*') {
            while (*p == '*')
                ++p;
            if (!*p)
                return true;
            for (; *s; ++s)
                if (wildcard(p, s))
                    return true;
            return false;
        }
        if (!*s)
            return false;
        if (*p != '?' && std::toupper(static_cast<unsigned char>(*p)) !=
                             std::toupper(static_cast<unsigned char>(*s)))
            return false;
        ++p;
        ++s;
    }
    return !*s;
}

std::string withSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

} // namespace

bool FileDialog::matches(const std::string& pattern, const std::string& name) {
    // "*.*" matches every name, also those without a dot, as it always has.
    if (pattern == "*.*" || pattern == "*")
        return true;
    return wildcard(pattern.c_str(), name.c_str());
}

FileDialog::FileDialog(const Request& request)
    : m_request(request), m_typeCount(static_cast<int>(request.types.size())) {
    m_table.name = request.mode == Load ? "FLOAD" : "FSAVE";
    m_table.title = request.title;
    m_table.add(staticText(401, "File&name", 0));
    m_table.add(editField(FileNameEdit, request.fileName, 300, 0));
    m_table.add(staticText(DirectoryText, "", 1));
    m_table.add(listBox(FileList, {}, -1, 2));
    m_table.add(listBox(DirectoryList, {}, -1, 2));
    std::vector<std::string> typeTexts;
    for (const auto& t : request.types)
        typeTexts.push_back(t.description + " (" + t.pattern + ")");
    const int typeIndex =
        std::clamp(request.typeIndex, 0, std::max(0, static_cast<int>(request.types.size()) - 1));
    m_table.add(comboBox(TypeList, typeTexts, request.types.empty() ? -1 : typeIndex, 3));
    m_places.push_back("/");
    if (const char* home = std::getenv("HOME"); home && *home)
        m_places.push_back(withSlash(home));
    m_table.add(comboBox(DriveList, m_places, 0, 3));
    if (request.checkValue >= 0) {
        if (request.mode == Load)
            m_table.add(checkBox(ViewHeaderCheck, "View Header", request.checkValue != 0));
        else
            m_table.add(checkBox(OptionCheck, "Option", request.checkValue != 0));
    }
    m_table.add(button(1, request.mode == Load ? "読込" : "書込"));
    m_table.add(button(2, "中止"));
    m_table.onChange = [this](ControlTable&, int id) { onChange(id); };
    m_table.onButton = [this](ControlTable&, int id) { return onButton(id); };
    m_table.onActivate = [this](ControlTable&, int id) { return onActivate(id); };

    std::error_code ec;
    std::string start = request.directory;
    if (start.empty() || !fs::is_directory(start, ec))
        start = fs::current_path(ec).string();
    changeDirectory(start);
}

void FileDialog::changeDirectory(const std::string& directory) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::path(directory), ec);
    if (ec || !fs::is_directory(canonical, ec))
        return;
    m_directory = withSlash(canonical.string());
    fillLists();
}

void FileDialog::fillLists() {
    const int typeIndex = m_table.value(TypeList);
    const std::string pattern =
        (typeIndex >= 0 && typeIndex < static_cast<int>(m_request.types.size()))
            ? m_request.types[typeIndex].pattern
            : std::string("*.*");
    std::vector<std::string> files;
    std::vector<std::string> directories;
    if (m_directory != "/")
        directories.push_back("..");
    std::error_code ec;
    for (fs::directory_iterator it(m_directory, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            if (name.empty() || name[0] != '.')
                directories.push_back(name);
        } else if (matches(pattern, name)) {
            files.push_back(name);
        }
    }
    auto byName = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) {
                                                return std::tolower(static_cast<unsigned char>(x)) <
                                                       std::tolower(static_cast<unsigned char>(y));
                                            });
    };
    std::sort(files.begin(), files.end(), byName);
    std::sort(directories.begin() + (m_directory != "/" ? 1 : 0), directories.end(), byName);
    if (Control* c = m_table.find(FileList)) {
        c->items = files;
        c->value = -1;
    }
    if (Control* c = m_table.find(DirectoryList)) {
        c->items = directories;
        c->value = -1;
    }
    m_table.assignText(DirectoryText, m_directory);
}

void FileDialog::onChange(int id) {
    switch (id) {
    case FileList: {
        const Control* list = m_table.find(FileList);
        if (list && list->value >= 0)
            m_table.assignText(FileNameEdit, list->items[list->value]);
        break;
    }
    case DriveList: {
        const Control* list = m_table.find(DriveList);
        if (list && list->value >= 0)
            changeDirectory(list->items[list->value]);
        break;
    }
    case TypeList:
        fillLists();
        break;
    default:
        break;
    }
}

int FileDialog::onButton(int id) {
    if (id != 1)
        return id == 2 ? 2 : 0;
    const std::string typed = m_table.text(FileNameEdit);
    if (typed.empty())
        return 0;
    const std::string path = typed[0] == '/' ? typed : m_directory + typed;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        // A directory typed into the name field is entered, as in any file dialog.
        changeDirectory(path);
        m_table.assignText(FileNameEdit, "");
        return 0;
    }
    if (typed.find_first_of("*?") != std::string::npos) {
        // A pattern typed into the name field filters the list.
        m_request.types.push_back({typed, typed});
        if (Control* c = m_table.find(TypeList)) {
            c->items.push_back(typed);
            c->value = static_cast<int>(c->items.size()) - 1;
        }
        fillLists();
        m_table.assignText(FileNameEdit, "");
        return 0;
    }
    if (m_request.mode == Load && !fs::is_regular_file(path, ec))
        return 0; // an open dialog needs an existing file
    m_chosenPath = path;
    return 1;
}

int FileDialog::onActivate(int id) {
    // Selecting a directory only marks it; activating it enters it, so a
    // double click goes one level down and not two.
    if (id == DirectoryList) {
        const Control* list = m_table.find(DirectoryList);
        if (list && list->value >= 0 && list->value < static_cast<int>(list->items.size()))
            changeDirectory(m_directory + list->items[list->value]);
        return 0;
    }
    return m_table.press(1);
}

FileDialog::Result FileDialog::result(int code) const {
    Result r;
    r.confirmed = code == 1 && !m_chosenPath.empty();
    r.path = m_chosenPath;
    // A typed pattern is not one of the stored types; the last stored one stays.
    const int chosen = m_table.value(TypeList);
    r.typeIndex = (chosen >= 0 && chosen < m_typeCount) ? chosen : m_request.typeIndex;
    r.checkValue = m_request.checkValue < 0
                       ? -1
                       : m_table.value(m_request.mode == Load ? ViewHeaderCheck : OptionCheck);
    return r;
}

FileDialog::Result FileDialog::Run(Ui& ui, const Request& request) {
    FileDialog dialog(request);
    const int code = ui.runDialog(dialog.table());
    return dialog.result(code);
}

} // namespace celdo
