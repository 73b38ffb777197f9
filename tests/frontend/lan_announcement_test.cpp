// What a host on this network says about its game, and what a stranger may send instead.
#include <gtest/gtest.h>

#include "core/stage_tables.h"
#include "frontend/lan_announcement.h"

namespace {

using vx::LanGame;

TEST(LanAnnouncement, GamesReadBackAndAnythingElseIsRefusedWithAReason) {
    const LanGame byAddress{"2.1", vx::kStageCount, 47150, "", "kitchen-pc"};
    const LanGame byRoom{"2.1-rc1", 1, 0, "7KQ4MX", "Hana のパソコン"};
    for (const LanGame& game : {byAddress, byRoom}) {
        const std::string bytes = vx::WriteLanAnnouncement(game);
        std::string why = "stale";
        EXPECT_EQ(vx::ReadLanAnnouncement(bytes, &why), game) << bytes;
        EXPECT_EQ(why, "");
    }
    EXPECT_EQ(vx::WriteLanAnnouncement(byAddress),
              "VOLTRAX1 2.1 " + std::to_string(vx::kStageCount) + " 47150 - kitchen-pc");

    const std::string tooLate = std::to_string(vx::kStageCount + 1);
    for (const std::string& bytes : {
             std::string(""),
             std::string("VOLTRAX1 2.1 1 47150 -"),                   // no name
             std::string("VOLTRAX2 2.1 1 47150 - pc"),                // another format
             std::string("VOLTRAX1  2.1 1 47150 - pc"),               // empty version
             std::string("VOLTRAX1 2.1 0 47150 - pc"),                // stage 0
             std::string("VOLTRAX1 2.1 " + tooLate + " 47150 - pc"),  // past the last stage
             std::string("VOLTRAX1 2.1 01 47150 - pc"),               // not as written
             std::string("VOLTRAX1 2.1 1 65536 - pc"),                // port out of range
             std::string("VOLTRAX1 2.1 1 -5 - pc"),
             std::string("VOLTRAX1 2.1 1 0 - pc"),                // no way to join
             std::string("VOLTRAX1 2.1 1 0 7kq4mx pc"),           // a code as typed, not as written
             std::string("VOLTRAX1 2.1 1 0 7KQ4M0 pc"),           // outside the alphabet
             std::string("VOLTRAX1 2.1 1 47150 -  pc"),           // name with a space in front
             std::string("VOLTRAX1 2.1 1 47150 - p\nc"),          // control character
             std::string("VOLTRAX1 2.1 1 47150 - p\xC3"),         // cut UTF-8
             std::string("VOLTRAX1 2.1 1 47150 - \xED\xA0\x80"),  // a surrogate
             std::string("VOLTRAX1 2.1 1 47150 - ") + std::string(64, 'n'),
             std::string("VOLTRAX1 2.1 1 47150 - pc\0x", 27),
         }) {
        std::string why;
        EXPECT_FALSE(vx::ReadLanAnnouncement(bytes, &why)) << bytes;
        EXPECT_NE(why, "") << bytes;
    }

    // Whatever the machine is called, the datagram stays readable.
    for (const std::string& raw : {std::string(""), std::string(" \t "), std::string("a\x01\xFF b  "),
                                   std::string(40, 'x') + "のパソコン" + std::string(40, 'y')}) {
        LanGame game = byAddress;
        game.hostName = raw;
        const auto read = vx::ReadLanAnnouncement(vx::WriteLanAnnouncement(game), nullptr);
        ASSERT_TRUE(read) << raw;
        EXPECT_LE(read->hostName.size(), vx::kMaxLanHostName);
    }
    EXPECT_EQ(vx::LanHostName("a\x01\xFF b  "), "a  b");
    EXPECT_EQ(vx::LanHostName(" "), "VOLTRAX");
}

}  // namespace
