#include "plugins/PluginLibrary.h"

#include <dlfcn.h>

namespace celdo {

PluginLibrary::PluginLibrary(const std::string& path) {
    // A name without a slash would be searched on the library path; plug-ins
    // are always named by their file.
    if (!path.empty() && path.find('/') != std::string::npos)
        m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

PluginLibrary::~PluginLibrary() {
    if (m_handle)
        ::dlclose(m_handle);
}

void* PluginLibrary::symbol(const char* name) const {
    return m_handle ? ::dlsym(m_handle, name) : nullptr;
}

} // namespace celdo
