// The program's side of the online module's stand-ins (make_stubs.sh): the first call
// into the module loads it and points every stand-in's slot at the real function.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/online_module.h"

extern "C" {
extern void* vx_online_slots[];
extern const char* const vx_online_names[];
extern const unsigned vx_online_count;
void* vx_online_resolve(unsigned index);
}

// The window loads the module (and tells the player when it cannot) before any online
// code runs, so a failure here means a caller skipped that: say why and stop.
void* vx_online_resolve(unsigned index) {
    static std::once_flag once;
    std::call_once(once, [] {
        std::string why;
        void* module = vx::LoadOnlineModule(&why);
        if (module == nullptr) {
            std::fprintf(stderr, "voltrax: %s\n", why.c_str());
            std::abort();
        }
        for (unsigned i = 0; i < vx_online_count; ++i) {
            void* function = dlsym(module, vx_online_names[i]);
            if (function == nullptr) {
                std::fprintf(stderr, "voltrax: %s lacks %s: an older or newer module than the program\n",
                             vx::kOnlineModuleFile, vx_online_names[i]);
                std::abort();
            }
            __atomic_store_n(&vx_online_slots[i], function, __ATOMIC_RELEASE);
        }
    });
    return __atomic_load_n(&vx_online_slots[index], __ATOMIC_ACQUIRE);
}
