#include "frontend/key_translator.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

constexpr uint32_t kNoScan = 0;
// X11 key codes of the US layout's letter keys.
constexpr uint32_t kScanA = 38;
constexpr uint32_t kScanQ = 24;
constexpr uint32_t kScanZ = 52;
constexpr uint32_t kScanEsc = 9;

TEST(KeyTranslatorTest, MatchKeysAndCommandsGiveTheirVirtualKeys) {
    KeyTranslator t;
    EXPECT_EQ(t.Translate(kScanA, qtkey::kA, false), vk::kA);
    EXPECT_EQ(t.Translate(kScanZ, qtkey::kZ, false), vk::kZ);
    EXPECT_EQ(t.Translate(33, 'P', false), vk::kP);
    EXPECT_EQ(t.Translate(27, 'R', false), vk::kR);
    EXPECT_EQ(t.Translate(39, 'S', false), vk::kS);
    EXPECT_EQ(t.Translate(kScanEsc, qtkey::kEscape, false), vk::kEscape);
    EXPECT_EQ(t.Translate(41, 'F', false), 0) << "other letters are ignored";
    // The replay viewer's keys (X11 key codes of a US keyboard); + also unshifted, as =.
    const struct {
        uint32_t scan;
        int qt;
        int code;
    } viewerKeys[] = {{65, ' ', vk::kSpace},          {114, qtkey::kRight, vk::kRight},
                      {113, qtkey::kLeft, vk::kLeft}, {110, qtkey::kHome, vk::kHome},
                      {21, '+', vk::kPlus},           {21, '=', vk::kPlus},
                      {20, '-', vk::kMinus}};
    for (const auto& k : viewerKeys) EXPECT_EQ(t.Translate(k.scan, k.qt, false), k.code) << k.qt;
}

// What the keys around Enter and the bottom row's right end print on each layout (from
// the X keyboard tables us, jp, de and fr), and what player 2 gets from them: up is the
// key printing "]" beside Enter, or the key where US keyboards have it; down is the key
// left of Z, ろ, or the slash key where neither exists.
struct LayoutKey {
    const char* layout;
    uint32_t scan;
    int prints;  // Qt key of the unshifted character
    int expected;
};
constexpr int kDeadCircumflex = 0x01001252;
constexpr LayoutKey kPlayerTwoKeys[] = {
    {"us", 35, ']', vk::kCloseBracket},
    {"us", 51, '\\', 0},
    {"us", 61, '/', vk::kOem102},
    {"us", 34, '[', 0},
    {"jp", 51, ']', vk::kCloseBracket},
    {"jp", 51, '}', vk::kCloseBracket},
    {"jp", 35, '[', 0},
    {"jp", 35, '{', 0},
    {"jp", 97, '\\', vk::kOem102},
    {"jp", 61, '/', vk::kOem102},
    {"jp", 34, '@', 0},
    {"de", 35, '+', vk::kCloseBracket},
    {"de", 51, '#', 0},
    {"de", 94, '<', vk::kOem102},
    {"de", 61, '-', vk::kOem102},
    {"fr", 35, '$', vk::kCloseBracket},
    {"fr", 51, '*', 0},
    {"fr", 94, '<', vk::kOem102},
    {"fr", 61, '!', vk::kOem102},
    {"fr", 34, kDeadCircumflex, 0},
};

TEST(KeyTranslatorTest, PlayerTwoKeysSitBesideEnterAndAtTheBottomRightOnEveryLayout) {
    for (const LayoutKey& k : kPlayerTwoKeys) {
        KeyTranslator t;
        EXPECT_EQ(t.Translate(k.scan, k.prints, false), k.expected)
            << k.layout << " key " << k.scan << " printing " << k.prints;
        EXPECT_EQ(t.Translate(k.scan, k.prints, true), k.expected) << "its release";
    }
}

TEST(KeyTranslatorTest, LettersGoByCharacterSoAzertyPlayersPressTheKeyLabelledA) {
    KeyTranslator t;
    EXPECT_EQ(t.Translate(kScanQ, qtkey::kA, false), vk::kA) << "AZERTY: A sits where QWERTY has Q";
    EXPECT_EQ(t.Translate(kScanQ, qtkey::kA, true), vk::kA);
}

TEST(KeyTranslatorTest, NonLatinLayoutsFindTheLettersWhereUsKeyboardsHaveThem) {
    KeyTranslator t;
    constexpr int kCyrillicEf = 0x424;  // what the A key gives on a Russian layout
    constexpr int kCyrillicYa = 0x42f;  // and the Z key
    EXPECT_EQ(t.Translate(kScanA, kCyrillicEf, false), vk::kA);
    EXPECT_EQ(t.Translate(kScanZ, kCyrillicYa, false), vk::kZ);
    EXPECT_EQ(t.Translate(kScanQ, 0x419, false), 0);
}

TEST(KeyTranslatorTest, ReleaseGivesWhatThePressGaveEvenIfTheCharacterChanged) {
    KeyTranslator t;
    ASSERT_EQ(t.Translate(kScanA, qtkey::kA, false), vk::kA);
    // A layout switch (or a dead key) between press and release changes the character.
    EXPECT_EQ(t.Translate(kScanA, 'Q', true), vk::kA);
    EXPECT_EQ(t.HeldCount(), 0u);
    // A release whose press we never saw translates on its own.
    EXPECT_EQ(t.Translate(kScanZ, qtkey::kZ, true), vk::kZ);
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

TEST(KeyTranslatorTest, WithoutScanCodesTheQtKeyDecides) {
    KeyTranslator t;
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kBracketRight, false), vk::kCloseBracket);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kLess, false), vk::kOem102);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kGreater, false), vk::kOem102);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kSlash, false), vk::kOem102);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kUnderscore, false), vk::kOem102);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kA, false), vk::kA);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kBracketRight, true), vk::kCloseBracket);
    EXPECT_EQ(t.Translate(kNoScan, qtkey::kA, true), vk::kA);
}

TEST(KeyTranslatorTest, ChosenKeysGoByPlaceAndTakeTheStandardKeyOfTheirRowOutOfPlay) {
    KeyTranslator t;
    KeyBindings keys{};
    keys[static_cast<size_t>(KeyAction::Player2Down)] = {24, "Q"};  // the US Q place
    keys[static_cast<size_t>(KeyAction::Pause)] = {65, "Space"};
    t.SetBindings(keys);
    struct Case {
        uint32_t scan;
        int qtKey;
        int expected;
        const char* why;
    } cases[] = {
        {24, 'Q', vk::kOem102, "the chosen key"},
        {24, 'A', vk::kOem102, "by place: AZERTY prints A there"},
        {x11key::kIso102nd, qtkey::kLess, 0, "the standard key of a rebound row"},
        {x11key::kSlash, qtkey::kSlash, 0, "its stand-in too"},
        {65, ' ', vk::kP, "pause on its new key"},
        {33, 'P', 0, "P no longer pauses"},
        {kScanA, qtkey::kA, vk::kA, "rows left alone keep their keys"},
        {x11key::kRightBrace, qtkey::kBracketRight, vk::kCloseBracket, "player 2 up unchanged"},
    };
    for (const Case& c : cases) EXPECT_EQ(t.Translate(c.scan, c.qtKey, false), c.expected) << c.why;
    t.SetBindings(KeyBindings{});
    EXPECT_EQ(t.Translate(x11key::kIso102nd, qtkey::kLess, false), vk::kOem102) << "standard keys back";
    EXPECT_EQ(t.Translate(24, 'Q', false), 0);
}

}  // namespace
}  // namespace vx
