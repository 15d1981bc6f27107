#include "plugins/PluginRegistry.h"

#include "framework/SettingsStore.h"
#include "plugins/PluginLibrary.h"
#include "plugins/celdo_plugin.h"

#include <cstring>

namespace celdo {

namespace {

constexpr std::size_t MaxDescriptionChars = 199;

// Text from a fixed-size field that a library may have left unterminated.
std::string boundedText(const char* text, std::size_t capacity) {
    return std::string(text, ::strnlen(text, capacity));
}

std::string cutDescription(std::string text) {
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == static_cast<int>(MaxDescriptionChars)) {
                text.resize(i);
                break;
            }
            ++chars;
        }
    }
    return text;
}

} // namespace

std::optional<RegisteredPlugin> CheckPlugin(const std::string& path) {
    PluginLibrary library(path);
    if (!library.loaded())
        return std::nullopt;
    if (auto info = library.function<CeldoPluginInfoFunction>(CELDO_EXPORT_PLUGIN_INFO)) {
        PluginInfo record{};
        info(&record);
        return RegisteredPlugin{
            path, cutDescription(boundedText(record.description, sizeof record.description)), 1};
    }
    if (auto getInfo = library.function<DPGetInfoFunction>(CELDO_EXPORT_DP_GET_INFO)) {
        DPInfo record{};
        record.size = sizeof record;
        if (getInfo(&record) == 0)
            return std::nullopt;
        std::string name = record.name ? boundedText(record.name, 4096) : std::string();
        return RegisteredPlugin{path, cutDescription(std::move(name)), 2};
    }
    return std::nullopt;
}

std::filesystem::path PluginRegistry::DefaultPlugin(const std::filesystem::path& programDirectory) {
    std::error_code ec;
    const auto beside = programDirectory / DefaultPluginName;
    if (std::filesystem::exists(beside, ec))
        return beside;
    const auto installed = std::filesystem::path(CELDO_DATA_DIR) / DefaultPluginName;
    if (std::filesystem::exists(installed, ec))
        return installed;
    return beside;
}

std::vector<std::string> PluginRegistry::ReadPaths(const SettingsStore& settings,
                                                   const std::filesystem::path& programDirectory) {
    std::vector<std::string> paths;
    if (settings.readString("Plugin0").empty()) {
        paths.push_back(DefaultPlugin(programDirectory).string());
        return paths;
    }
    for (int i = 0;; ++i) {
        std::string path = settings.readString("Plugin" + std::to_string(i));
        if (path.empty())
            break;
        paths.push_back(std::move(path));
    }
    return paths;
}

void PluginRegistry::read(const SettingsStore& settings,
                          const std::filesystem::path& programDirectory) {
    plugins.clear();
    for (const auto& path : ReadPaths(settings, programDirectory))
        if (auto plugin = CheckPlugin(path))
            plugins.push_back(std::move(*plugin));
}

void PluginRegistry::write(SettingsStore& settings) const {
    const int n = static_cast<int>(plugins.size());
    for (int i = 0; i < n; ++i)
        settings.writeString("Plugin" + std::to_string(i),
                             plugins[static_cast<std::size_t>(i)].path);
    settings.deleteKey("Plugin" + std::to_string(n));
    settings.flush();
}

} // namespace celdo
