#pragma once

#include "framework/ControlTable.h"

#include <functional>

namespace celdo {

class Settings;

// The file options: how files are chosen, loaded and saved, and how the image
// history is shown.  Read at start-up, written at shutdown.
struct FileOptions {
    int useCommonDialog = 0;
    int graphicFileType = 0;
    int viewHeader = 0;
    int saveOption = 0;
    int maxMenuFile = 10;        // 0..20
    int deleteErrorMenuFile = 1; // 0 keep, 1 ask, 2 remove

    void read(const Settings& settings);
    // In the shutdown order: UseCommonDialog, GraphicFileType, ViewHeader,
    // SaveOption, MaxMenuFile, DeleteErrorMenuFile.
    void write(Settings& settings) const;
};

// Control ids of the "ファイル" page.
namespace fileoption {
inline constexpr int UseCommonDialog = 280;
inline constexpr int ViewHeader = 281;
inline constexpr int SaveOption = 282;
inline constexpr int DeleteErrorGroup = 240;
inline constexpr int Keep = 241;
inline constexpr int Ask = 242;
inline constexpr int Remove = 243;
inline constexpr int ClearHistory = 260;
inline constexpr int MaxMenuFile = 360;
inline constexpr int MaxMenuFileLabel = 361;
} // namespace fileoption

// The "ファイル" page (dialog "FileOption") showing `options`.  Button 260
// calls `clearHistory` and leaves the page open.
ControlTable FileOptionPage(const FileOptions& options, std::function<void()> clearHistory);
// Takes the page's values back after the options dialog was confirmed.
void ReadFileOptionPage(const ControlTable& page, FileOptions& options);

} // namespace celdo
