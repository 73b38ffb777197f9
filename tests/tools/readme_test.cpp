#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "asset_files.h"

namespace vx::testing {
namespace {

bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return false;
    std::vector<char> src(in.begin(), in.end()), dst(in.size() * 4 + 16);
    char* ip = src.data();
    char* op = dst.data();
    size_t il = src.size(), ol = dst.size();
    const size_t rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (rc == size_t(-1) || il != 0) return false;
    out.assign(dst.data(), dst.size() - ol);
    return true;
}

std::string ReadMeBytes() {
    const std::vector<uint8_t> b = ReadAll(ProgramPath("read me.txt"));
    return std::string(b.begin(), b.end());
}

TEST(GeneratedReadMe, DecodesAsCodePage932AndEncodesBackToTheSameBytes) {
    const std::string bytes = ReadMeBytes();
    ASSERT_FALSE(bytes.empty());
    std::string utf8, again;
    ASSERT_TRUE(Convert("UTF-8", "CP932", bytes, utf8));
    ASSERT_TRUE(Convert("CP932", "UTF-8", utf8, again));
    EXPECT_EQ(again, bytes);
    // Really Japanese: double-byte lead bytes occur.
    EXPECT_NE(utf8.find("ゲームの目的"), std::string::npos);
}

TEST(GeneratedReadMe, EveryLineEndsWithCrLf) {
    const std::string bytes = ReadMeBytes();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
        }
    }
}

TEST(GeneratedReadMe, JapaneseThenEnglishCoverGoalKeysRulesStagesItemsAndOptions) {
    std::string text;
    ASSERT_TRUE(Convert("UTF-8", "CP932", ReadMeBytes(), text));
    const size_t english = text.find("How to play");
    ASSERT_NE(english, std::string::npos);
    EXPECT_LT(text.find("遊び方"), english);
    for (const char* topic : {"The goal", "Keys", "two rules", "five stages", "Items", "Options",
                              "Time limit", "Score limit", "Difficulty"})
        EXPECT_NE(text.find(topic, english), std::string::npos) << topic;
    for (const char* word :
         {"NORMAL", "ZIGZAG", "ACT-2", "IRREGULAR", "TRIPLE", "LENGTH UP", "LENGTH DOWN", "LOST FORWARD",
          "DOUBLE", "BACK BOOST", "PANIC", "RANDOM SPEED", "SHIFT CHANGE", "BLIND", "???"}) {
        EXPECT_LT(text.find(word), english) << word << " in the Japanese part";
        EXPECT_NE(text.find(word, english), std::string::npos) << word << " in the English part";
    }
}

}  // namespace
}  // namespace vx::testing
