// The generated help text: code page 932 that converts back to the same bytes, and
// every line ended with CR LF.
#include <gtest/gtest.h>

#include <string>

#include "asset_files.h"
#include "support/files.h"

namespace vx::testing {
namespace {

TEST(GeneratedReadMe, IsCodePage932WithEveryLineEndedByCrLf) {
    const Bytes b = ReadBytes(ProgramPath("read me.txt"));
    const std::string bytes(b.begin(), b.end());
    ASSERT_GE(bytes.size(), 2u);
    const auto utf8 = Iconv(bytes, "CP932", "UTF-8");
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(Iconv(*utf8, "UTF-8", "CP932"), bytes);
    EXPECT_NE(utf8->find("ゲームの目的"), std::string::npos) << "really Japanese";
    EXPECT_NE(utf8->find("How to play"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
        }
    }
}

}  // namespace
}  // namespace vx::testing
