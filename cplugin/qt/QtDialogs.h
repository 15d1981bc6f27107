#pragma once

#include <cstddef>
#include <cstdint>

namespace cplugin {

// The library's dialogs as Qt widgets, used when no other dialog hook is
// installed.  Shown modal over the application's active window; without a
// running QApplication every dialog counts as cancelled (2).  Same contract
// as CpluginDialogHook.
std::int32_t QtDialog(const char* dialog, const char* title, void* window, char* text,
                      std::size_t textSize);

} // namespace cplugin
