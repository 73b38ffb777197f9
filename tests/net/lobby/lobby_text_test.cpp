// Room codes and the lobby's lines: what a player may type, what a stranger may send.
#include <gtest/gtest.h>

#include <set>

#include "net/lobby/lobby_text.h"

namespace {

using namespace vx::net::lobby;

TEST(RoomCodesAndLines, MadeCodesUseTheLookAlikeFreeAlphabetAndTypedOnesReadInAnyCase) {
    std::set<std::string> made;
    for (uint64_t bits : {0ull, 1ull, 31ull, 0xFFFFFFFFFFFFFFFFull, 0x123456789ABCDEFull}) {
        const std::string code = MakeRoomCode(bits);
        ASSERT_EQ(code.size(), kCodeLength);
        EXPECT_EQ(ReadRoomCode(code), code);
        EXPECT_EQ(code.find_first_of("01OIL"), std::string::npos) << code;
        made.insert(code);
    }
    EXPECT_EQ(made.size(), 5u);

    struct Case {
        const char* typed;
        const char* code;  // nullptr: refused
    };
    for (const Case& c : std::initializer_list<Case>{{"abc234", "ABC234"},
                                                     {"AbC-234", "ABC234"},
                                                     {" abc 234 ", "ABC234"},
                                                     {"abc23", nullptr},
                                                     {"abc2345", nullptr},
                                                     {"abc2O4", nullptr},
                                                     {"abc214", nullptr},
                                                     {"abcl34", nullptr},
                                                     {"abc\xc3\xa9", nullptr},
                                                     {"", nullptr}}) {
        const auto read = ReadRoomCode(c.typed);
        if (c.code) {
            EXPECT_EQ(read, std::string(c.code)) << c.typed;
        } else {
            EXPECT_FALSE(read) << c.typed;
        }
    }
    EXPECT_EQ(RoomNameFor("ABC234"), "vx-abc234");
}

TEST(RoomCodesAndLines, ReadLinesWriteBackTheSameAndAnythingElseIsRefusedWithAReason) {
    for (const char* body :
         {"vx1 hello 2.1", "vx1 settings stage=3 time=120", "vx1 path a b <c> & 'd'", "vx1 ready",
          "vx1 offer ABC234", "vx1 full", "vx1 hello 2.1+git~1", "vx1 path  spaced "}) {
        std::string why;
        const auto line = ReadLine(body, &why);
        ASSERT_TRUE(line) << body << ": " << why;
        EXPECT_EQ(WriteLine(*line), body);
    }
    const std::string longPath = "vx1 path " + std::string(kMaxPathText + 1, 'x');
    for (const std::string& body :
         {std::string("vx2 hello 2.1"), std::string("hello 2.1"), std::string("vx1 hello"),
          std::string("vx1 hello 2 1"), std::string("vx1 ready now"), std::string("vx1 full 9"),
          std::string("vx1 ready "), std::string("vx1 offer abc234"), std::string("vx1 offer ABC10O"),
          std::string("vx1 path"), std::string("vx1 path x\n"), std::string("vx1 settings \xc3\xa9"),
          std::string("vx1 goodbye"), longPath,
          std::string("vx1 hello ") + std::string(kMaxVersionText + 1, '1')}) {
        std::string why;
        EXPECT_FALSE(ReadLine(body, &why)) << body;
        EXPECT_FALSE(why.empty()) << body;
    }
}

TEST(RoomCodesAndLines, ServicesGiveTheFirstUsableUdpRelayAndStunServer) {
    const std::vector<ServiceEntry> entries = {
        {"turn", "udp", "relay.example", "3478", "", "secret"},         // no name
        {"turn", "tcp", "relay.example", "3478", "1700000000", "pw"},   // not UDP
        {"turn", "udp", "relay.example", "99999", "1700000000", "pw"},  // no port
        {"stun", "udp", "stun.example", "3479", "", ""},
        {"turn", "udp", "relay.example", "3480", "1700000000", "pw"},
        {"turn", "udp", "other.example", "3481", "1700000001", "pw2"},
    };
    const LobbyServices found = PickServices(entries);
    ASSERT_TRUE(found.relay);
    EXPECT_EQ(found.relay->host, "relay.example");
    EXPECT_EQ(found.relay->port, 3480);
    EXPECT_EQ(found.relay->username, "1700000000");
    EXPECT_EQ(found.stunHost, "stun.example");
    EXPECT_EQ(found.stunPort, 3479);
    EXPECT_FALSE(PickServices({}).relay);
}

}  // namespace
