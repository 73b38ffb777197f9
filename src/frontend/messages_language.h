// Which language the menus and dialogs speak: Japanese when the player's messages locale
// is Japanese, English for every other one. Plain C++ so the choice is testable without Qt.
#pragma once

#include <functional>
#include <string>

namespace vx {

// Reads an environment variable; null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

// "ja" or "en". A stored choice ("ja" or "en") wins; otherwise the variables are read as
// gettext reads them: the locale of messages is the first set of LC_ALL, LC_MESSAGES and
// LANG; unless that is C or POSIX, the first "ja" or "en" entry of the colon list in
// LANGUAGE decides; failing that the locale's language does.
std::string MessagesLanguage(const EnvironmentReader& env, const std::string& storedChoice = "");

// The process environment.
EnvironmentReader ProcessEnvironment();

}  // namespace vx
