#include "CpluginDialogs.h"
#include "Transforms.h"
#include "celdo_plugin.h"

#ifdef CPLUGIN_WITH_QT
#include "qt/QtDialogs.h"
#endif

#include <array>
#include <charconv>
#include <cstring>

#define CPLUGIN_EXPORT __attribute__((visibility("default")))

namespace {

// The library's own dialogs when it is built with Qt; otherwise only an
// installed hook can answer them.
#ifdef CPLUGIN_WITH_QT
constexpr CpluginDialogHook DefaultDialogHook = &cplugin::QtDialog;
#else
constexpr CpluginDialogHook DefaultDialogHook = nullptr;
#endif

CpluginDialogHook g_dialogHook = DefaultDialogHook;

constexpr int FunctionCount = 3;

FilterFunctionInfo functionRecord(std::uint32_t flags, std::array<std::uint32_t, 6> words,
                                  const char* exportName, const char* menuName,
                                  const char* description) {
    FilterFunctionInfo info{};
    info.flags = flags;
    for (int i = 0; i < 6; ++i)
        info.capability[i] = words[static_cast<std::size_t>(i)];
    std::strncpy(info.exportName, exportName, sizeof info.exportName - 1);
    std::strncpy(info.menuName, menuName, sizeof info.menuName - 1);
    std::strncpy(info.description, description, sizeof info.description - 1);
    return info;
}

const std::array<FilterFunctionInfo, FunctionCount>& functionTable() {
    static const std::array<FilterFunctionInfo, FunctionCount> table{
        functionRecord(0x0D, {8, 8, 8, 8, 8, 8}, "FreeRotation", "自由回転",
                       "画像の回転操作（任意角度）"),
        functionRecord(0x0D, {8, 0x0D, 0x0D, 8, 8, 8}, "Rotation", "回転操作",
                       "画像の回転操作（90度回転、鏡映）"),
        functionRecord(0x09, {8, 0x0D, 0x0D, 8, 8, 8}, "Inverse", "反転操作",
                       "画像の反転操作（上下、左右、半回転）"),
    };
    return table;
}

int askButtons(const char* dialog, const char* title, void* window) {
    return g_dialogHook ? g_dialogHook(dialog, title, window, nullptr, 0) : 2;
}

// The number in the angle field as the C library's text-to-number conversion
// reads it (leading blanks skipped, 0 when there is none), independent of the
// locale's decimal point.
double angleFromText(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text == '+')
        ++text;
    double value = 0;
    const char* end = text + std::strlen(text);
    if (std::from_chars(text, end, value).ec != std::errc())
        return 0;
    return value;
}

} // namespace

extern "C" {

CPLUGIN_EXPORT void CpluginSetDialogHook(CpluginDialogHook hook) {
    g_dialogHook = hook ? hook : DefaultDialogHook;
}

CPLUGIN_EXPORT void CeldoPluginInfo(PluginInfo* info) {
    if (!info)
        return;
    info->version = CELDO_PLUGIN_INTERFACE_VERSION;
    info->functionCount = FunctionCount;
    std::memset(info->description, 0, sizeof info->description);
    std::strncpy(info->description, "Filter for Celdo version 1.01", sizeof info->description - 1);
}

CPLUGIN_EXPORT std::int32_t QueryFunctionCount(std::int32_t flags) {
    return (static_cast<std::uint32_t>(flags) & CELDO_FUNCTION_OFFERED) ? FunctionCount : 0;
}

CPLUGIN_EXPORT std::uint32_t QueryFunction(std::int32_t index, FilterFunctionInfo* info) {
    if (index < 0 || index >= FunctionCount)
        return 0;
    const FilterFunctionInfo& record = functionTable()[static_cast<std::size_t>(index)];
    if (info)
        std::memcpy(info, &record, sizeof record);
    return record.flags;
}

CPLUGIN_EXPORT std::uint32_t Rotation(FilterRequest* request) {
    if (!request)
        return 0;
    const int button = askButtons("ROTATION", "回転操作の選択", request->window);
    if (button < 260 || button > 265)
        return 0;
    return cplugin::Rotate(*request, button - 260);
}

CPLUGIN_EXPORT std::uint32_t Inverse(FilterRequest* request) {
    if (!request)
        return 0;
    const int button = askButtons("INVERT", "反転操作の選択", request->window);
    if (button < 260 || button > 265)
        return 0;
    return cplugin::Invert(*request, button - 260);
}

CPLUGIN_EXPORT std::uint32_t FreeRotation(FilterRequest* request) {
    if (!request || !g_dialogHook)
        return 0;
    std::array<char, 64> text{};
    std::strcpy(text.data(), "30.0");
    if (g_dialogHook("FREEROTATION", "回転角度の設定", request->window, text.data(), text.size()) !=
        1)
        return 0;
    text.back() = '\0';
    return cplugin::FreeRotate(*request, angleFromText(text.data()));
}

} // extern "C"

// The library's version, exported under its type-decorated name.
CPLUGIN_EXPORT std::uint16_t DllGetVersion() {
    return 0x010A;
}
