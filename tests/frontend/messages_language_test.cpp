#include "frontend/messages_language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vx {
namespace {

TEST(MessagesLanguageTest, JapaneseOnlyForAJapaneseMessagesLocaleReadInGettextOrder) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        Env env;
        std::string stored;
        std::string expected;
    } cases[] = {
        {{{"LANG", "ja_JP.UTF-8"}}, "", "ja"},
        {{{"LANG", "en_US.UTF-8"}}, "", "en"},
        {{{"LANG", "de_DE.UTF-8"}}, "", "en"},
        {{}, "", "en"},
        {{{"LANG", "C.UTF-8"}}, "", "en"},
        {{{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "", "ja"},
        {{{"LC_MESSAGES", "en_GB.UTF-8"}, {"LANG", "ja_JP.UTF-8"}}, "", "en"},
        {{{"LC_ALL", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, "", "en"},
        {{{"LANGUAGE", "ja"}, {"LANG", "en_US.UTF-8"}}, "", "ja"},
        {{{"LANGUAGE", "en:ja"}, {"LANG", "ja_JP.UTF-8"}}, "", "en"},
        {{{"LANGUAGE", "fr:ja_JP"}, {"LANG", "fr_FR.UTF-8"}}, "", "ja"},
        {{{"LANGUAGE", "ja"}, {"LANG", "C"}}, "", "en"},
        {{{"LANG", "en_US.UTF-8"}}, "ja", "ja"},
        {{{"LANG", "ja_JP.UTF-8"}}, "en", "en"},
    };
    for (const Case& c : cases) {
        const EnvironmentReader env = [&c](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        std::string shown;
        for (const auto& [k, v] : c.env) shown += k + "=" + v + " ";
        EXPECT_EQ(MessagesLanguage(env, c.stored), c.expected) << shown << "stored " << c.stored;
    }
}

}  // namespace
}  // namespace vx
