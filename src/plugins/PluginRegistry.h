#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace celdo {

class SettingsStore;

// A library that passed the registration check: kind 1 (the editor's own
// interface, description from CeldoPluginInfo) or kind 2 (the outside
// interface, description = the name from _DPGetInfo).
struct RegisteredPlugin {
    std::string path;
    std::string description; // at most 199 characters
    int kind = 0;
};

// Loads the library, asks what it is, and releases it.  Nothing for a library
// that cannot be loaded or is no plug-in.
std::optional<RegisteredPlugin> CheckPlugin(const std::string& path);

// The registered libraries in settings order ("Plugin0", "Plugin1", …).
class PluginRegistry {
public:
    static constexpr const char* DefaultPluginName = "cplugin.so";

    // The default plug-in: beside the program, else in the installed data
    // directory; the program directory's name when neither exists.
    static std::filesystem::path DefaultPlugin(const std::filesystem::path& programDirectory);
    // Plugin0, Plugin1, … up to the first empty value; the default plug-in
    // alone when Plugin0 is empty.
    static std::vector<std::string> ReadPaths(const SettingsStore& settings,
                                              const std::filesystem::path& programDirectory);

    // Reads the paths and keeps those that pass the registration check;
    // others are dropped without a message.
    void read(const SettingsStore& settings, const std::filesystem::path& programDirectory);
    // Plugin0 … Plugin(n-1) = the paths, Plugin(n) deleted, then a flush.
    void write(SettingsStore& settings) const;

    std::vector<RegisteredPlugin> plugins;
};

} // namespace celdo
