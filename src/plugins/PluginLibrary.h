#pragma once

#include <string>

namespace celdo {

// A plug-in library loaded for one use and released when the object goes.
class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return m_handle != nullptr; }
    // The export `name`, or null (also when the library is not loaded).
    void* symbol(const char* name) const;
    template <class Function> Function function(const char* name) const {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* m_handle = nullptr;
};

} // namespace celdo
