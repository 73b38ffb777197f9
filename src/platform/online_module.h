// Online play's back-end (the lobby's XMPP client on libstrophe and OpenSSL, the
// connection paths on libnice and GLib, the router's port mapping) is a module of its
// own, libvoltrax-online.so in the program folder. The program loads it the first time a
// player goes online or hosts, so a game that never does maps none of those libraries
// (about 7 MB of memory and their start-up relocations). Programs that link the module
// directly (the tests) find it already loaded.
#pragma once

#include <string>

namespace vx {

// The module's file name, looked for beside the program.
inline constexpr const char* kOnlineModuleFile = "libvoltrax-online.so";

// Loads the module if it is not loaded yet. Null, with the reason in *why (a sentence
// naming the file that is missing or cannot be loaded), when it cannot be.
void* LoadOnlineModule(std::string* why);

}  // namespace vx
