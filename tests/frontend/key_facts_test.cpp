// The key table the help texts are written from and checked against says what the key
// translator does: each named key gives its action's code, and on every layout player 2's
// keys, where they sit and with what they print, give 221 and 226.
#include "frontend/key_facts.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

// The Qt key a key name stands for when pressed without a physical key code.
int QtKeyOf(std::string_view name) {
    if (name == "Esc") return qtkey::kEscape;
    return name.size() == 1 ? static_cast<unsigned char>(name[0]) : 0;
}

TEST(KeyFacts, EveryNamedKeyGivesItsActionsCode) {
    int checked = 0;
    for (const KeyFact& fact : kKeyFacts) {
        const int qtKey = QtKeyOf(fact.keys);
        if (fact.code == 0 || qtKey == 0) continue;  // window shortcuts, keys named by place
        KeyTranslator translator;
        EXPECT_EQ(translator.Translate(0, qtKey, false), fact.code) << fact.keys;
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

TEST(KeyFacts, PlayerTwosKeysOnEveryLayoutGiveUpAndDown) {
    int down = 0;
    for (const KeyFact& fact : kKeyFacts)
        if (fact.keys == "the key left of Z") down = fact.code;
    ASSERT_EQ(down, vk::kOem102);
    for (const LayoutFact& layout : kLayoutFacts) {
        SCOPED_TRACE(std::string(layout.name));
        KeyTranslator translator;
        EXPECT_EQ(translator.Translate(layout.upKey, QtKeyOf(layout.up), false), vk::kCloseBracket);
        EXPECT_EQ(translator.Translate(layout.downKey, QtKeyOf(layout.down), false), down);
    }
    // The slash key works as the down key on every layout, whatever it prints there.
    EXPECT_EQ(KeyTranslator().Translate(x11key::kSlash, '-', false), down);
}

}  // namespace
}  // namespace vx
