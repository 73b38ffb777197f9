#include "platform/online_module.h"

#include <dlfcn.h>

#include <mutex>

#include "platform/program_files.h"

namespace vx {

void* LoadOnlineModule(std::string* why) {
    static std::mutex mutex;
    static void* handle = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    if (handle != nullptr) return handle;
    // Linked in (the tests), or loaded already.
    handle = dlopen(kOnlineModuleFile, RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) return handle;
    const std::string path = (ProgramFiles::ExecutableFolder() / kOnlineModuleFile).string();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr && why != nullptr) {
        const char* error = dlerror();
        *why = "Online play needs " + path + ", which could not be loaded" +
               (error != nullptr ? std::string(": ") + error : std::string()) + ".";
    }
    return handle;
}

}  // namespace vx
