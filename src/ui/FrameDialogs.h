#pragma once

#include "framework/ControlTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace celdo {

class Ui;

// What the display-information dialog shows, read afresh each time.
struct DisplayMetrics {
    int bitsPerPixel = 0;
    int width = 0;
    int height = 0;
    int paletteEntries = 0; // true-colour displays have none
    int workLeft = 0, workTop = 0, workWidth = 0, workHeight = 0;
};
DisplayMetrics ReadDisplayMetrics();

// "モノクロ", "16 色", "256 色", "32K色", "64K色", "1678万色"; other depths
// "%d bit".
std::string ColourDepthText(int bitsPerPixel);
// The platform's name and kernel version stand in for the Windows version.
std::string SystemVersionText();

namespace displayinfo {
inline constexpr int ScreenSize = 200;
inline constexpr int ColourDepth = 201;
inline constexpr int SystemVersion = 202;
} // namespace displayinfo

// "DisplayInfo" ("ディスプレイ情報"): 200 "%d × %d", 201 the depth text, 202
// the system version.
ControlTable DisplayInfoDialog(const DisplayMetrics& metrics, const std::string& systemText);
// "AboutBox".
ControlTable AboutBoxDialog();

// One page of a property sheet: its table and what confirmation does with it.
// A page whose table belongs to an object of its own (its handlers refer to
// that object) names it in `external` and keeps the object in `owner`.
struct PropertyPage {
    std::string tab;
    ControlTable table;
    std::function<void(const ControlTable&)> apply;
    ControlTable* external = nullptr;
    std::shared_ptr<void> owner;

    ControlTable& shown() { return external ? *external : table; }
};

// A property sheet titled `title` with the pages as tabs and OK/取消.  On OK
// the apply of every page that was shown runs.  With a test responder
// installed each page's table goes to it in turn; the sheet counts as
// confirmed when every page was.  Returns true when confirmed.
bool RunPropertySheet(const std::string& title, std::vector<PropertyPage>& pages, QWidget* parent);

} // namespace celdo
