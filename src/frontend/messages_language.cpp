#include "frontend/messages_language.h"

#include <cstdlib>
#include <string_view>

namespace vx {

namespace {

std::string_view Get(const EnvironmentReader& env, const char* name) {
    const char* value = env(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

// The language part of a locale name: "ja_JP.UTF-8" gives "ja", "en@euro" gives "en".
std::string_view LanguageOf(std::string_view locale) {
    const size_t end = locale.find_first_of("_.@");
    return end == std::string_view::npos ? locale : locale.substr(0, end);
}

}  // namespace

std::string MessagesLanguage(const EnvironmentReader& env, const std::string& storedChoice) {
    if (storedChoice == "ja" || storedChoice == "en") return storedChoice;
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = Get(env, name);
        if (!locale.empty()) break;
    }
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0) return "en";
    std::string_view list = Get(env, "LANGUAGE");
    while (!list.empty()) {
        const size_t colon = list.find(':');
        const std::string_view entry = LanguageOf(list.substr(0, colon));
        if (entry == "ja" || entry == "en") return std::string(entry);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return LanguageOf(locale) == "ja" ? "ja" : "en";
}

EnvironmentReader ProcessEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

}  // namespace vx
