// From a key event (X11 key code, Qt key, press or release) to the key the game knows.
#include "frontend/key_translator.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

// X11 key codes of the US layout's keys.
constexpr uint32_t kNoScan = 0, kScanA = 38, kScanQ = 24, kScanZ = 52, kScanEsc = 9, kScanBackslash = 51;

TEST(KeyTranslatorTest, EachKeyGivesItsGameKeyOnEveryLayout) {
    const struct {
        uint32_t scan;
        int qtKey;
        int expected;
        const char* why;
    } cases[] = {
        {kScanA, qtkey::kA, vk::kA, "match key"},
        {kScanZ, qtkey::kZ, vk::kZ, "match key"},
        {33, 'P', vk::kP, "command"},
        {27, 'R', vk::kR, "command"},
        {39, 'S', vk::kS, "command"},
        {kScanEsc, qtkey::kEscape, vk::kEscape, "command"},
        {41, 'F', 0, "other letters are ignored"},
        {65, ' ', 0, "space is ignored"},
        // Player 2's keys go by the physical key, whatever the layout prints.
        {x11key::kRightBrace, '+', vk::kCloseBracket, "German: right of U-umlaut"},
        {x11key::kIso102nd, qtkey::kLess, vk::kOem102, "German: left of Y"},
        {x11key::kRo, qtkey::kBackslash, vk::kOem102, "Japanese ro"},
        {x11key::kSlash, '-', vk::kOem102, "slash stands in for a missing ISO key"},
        {kScanBackslash, qtkey::kBackslash, 0, "US backslash is the key above Enter"},
        // Letters go by character, so AZERTY players press the key labelled A ...
        {kScanQ, qtkey::kA, vk::kA, "AZERTY A where QWERTY has Q"},
        // ... and non-Latin layouts find them where US keyboards have them.
        {kScanA, 0x424, vk::kA, "Russian: the A key"},
        {kScanZ, 0x42f, vk::kZ, "Russian: the Z key"},
        {kScanQ, 0x419, 0, "Russian: the Q key"},
        // Without key codes the Qt key decides.
        {kNoScan, qtkey::kBracketRight, vk::kCloseBracket, "no key code"},
        {kNoScan, qtkey::kLess, vk::kOem102, "no key code"},
        {kNoScan, qtkey::kGreater, vk::kOem102, "no key code"},
        {kNoScan, qtkey::kSlash, vk::kOem102, "no key code"},
        {kNoScan, qtkey::kUnderscore, vk::kOem102, "no key code"},
        {kNoScan, qtkey::kA, vk::kA, "no key code"},
    };
    for (const auto& c : cases) {
        KeyTranslator t;
        EXPECT_EQ(t.Translate(c.scan, c.qtKey, false), c.expected) << c.why << ", press";
        EXPECT_EQ(t.Translate(c.scan, c.qtKey, true), c.expected) << c.why << ", release";
    }
}

TEST(KeyTranslatorTest, ReleaseGivesWhatThePressGaveEvenIfTheCharacterChanged) {
    KeyTranslator t;
    ASSERT_EQ(t.Translate(kScanA, qtkey::kA, false), vk::kA);
    // A layout switch (or a dead key) between press and release changes the character.
    EXPECT_EQ(t.Translate(kScanA, 'Q', true), vk::kA);
    EXPECT_EQ(t.HeldCount(), 0u);
}

TEST(KeyTranslatorTest, AutoRepeatKeepsThePressReleasePairing) {
    KeyTranslator t;
    EXPECT_EQ(t.Translate(kScanZ, qtkey::kZ, false), vk::kZ);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.Translate(kScanZ, qtkey::kZ, true, true), 0) << "the key is still held";
        EXPECT_EQ(t.Translate(kScanZ, qtkey::kZ, false, true), vk::kZ) << "a repeat sets the flag again";
    }
    EXPECT_EQ(t.HeldCount(), 1u);
    EXPECT_EQ(t.Translate(kScanZ, qtkey::kZ, true), vk::kZ);
    EXPECT_EQ(t.HeldCount(), 0u);
}

}  // namespace
}  // namespace vx
