// The lobby client against a real lobby (server/run.sh: Prosody and coturn on loopback):
// rooms by code, quick match, the lines exchanged before play, the failures a player
// sees, and TURN credentials that the relay takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "net/lobby/lobby_client.h"
#include "net/lobby/lobby_server.h"

namespace {

using namespace vx::net::lobby;
using vx::testing::LobbyServer;
using vx::testing::PumpUntil;
using namespace std::chrono_literals;

class Lobby : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (vx::testing::MissingLobbyTools().empty()) server_ = new LobbyServer();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        const std::string missing = vx::testing::MissingLobbyTools();
        if (!missing.empty()) GTEST_SKIP() << missing;
        ASSERT_TRUE(server_->Ready()) << server_->Why();
    }

    std::unique_ptr<LobbyClient> Client(const std::string& version = "2.1") {
        return std::make_unique<LobbyClient>(LobbyOptions{server_->Address(), LobbyServer::kDomain, version});
    }
    static bool Pump(const std::vector<LobbyClient*>& clients, const std::function<bool()>& done,
                     std::chrono::milliseconds limit = 10s) {
        return PumpUntil(
            [&] {
                for (auto* c : clients) c->Poll();
            },
            done, limit);
    }
    static std::unique_ptr<LobbyClient> Host(std::unique_ptr<LobbyClient> c, const std::string& settings) {
        c->MakeRoom(settings);
        Pump({c.get()},
             [&] { return c->State() != LobbyState::kConnecting && c->State() != LobbyState::kEntering; });
        return c;
    }

    static LobbyServer* server_;
};
LobbyServer* Lobby::server_ = nullptr;

TEST_F(Lobby, TwoPlayersMeetByCodeTradeTheirLinesAndKeepOthersOut) {
    auto host = Host(Client(), "stage=3 time=120");
    ASSERT_EQ(host->State(), LobbyState::kWaiting) << host->ErrorWords();
    ASSERT_TRUE(ReadRoomCode(host->Code()));
    EXPECT_TRUE(host->IsHost());

    // Typed in lower case with a hyphen, as a player might.
    std::string typed = host->Code().substr(0, 3) + "-" + host->Code().substr(3);
    for (char& c : typed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto guest = Client();
    guest->JoinRoom(typed);
    host->SendPath("host candidates");  // before the guest is in: sent when it arrives
    ASSERT_TRUE(Pump({host.get(), guest.get()}, [&] {
        return host->State() == LobbyState::kTogether && guest->State() == LobbyState::kTogether &&
               !guest->PeerPath().empty();
    })) << guest->ErrorWords();
    EXPECT_FALSE(guest->IsHost());
    EXPECT_EQ(guest->Code(), host->Code());
    EXPECT_EQ(guest->PeerSettings(), "stage=3 time=120");
    EXPECT_EQ(guest->PeerVersion(), "2.1");
    EXPECT_EQ(guest->PeerPath(), "host candidates");

    guest->SendPath("guest candidates");
    guest->SendReady();
    host->SendReady();
    ASSERT_TRUE(Pump({host.get(), guest.get()}, [&] { return host->PeerReady() && guest->PeerReady(); }));
    EXPECT_EQ(host->PeerPath(), "guest candidates");
    EXPECT_TRUE(host->PeerSettings().empty());

    // A third player with the right code finds the room full; a wrong code, no room.
    auto third = Client();
    third->JoinRoom(host->Code());
    auto lost = Client();
    lost->JoinRoom(host->Code() == "222222" ? "333333" : "222222");
    auto typo = Client();
    typo->JoinRoom("ABC10O");  // 1 and 0/O are not in any code
    ASSERT_TRUE(Pump({host.get(), guest.get(), third.get(), lost.get(), typo.get()}, [&] {
        return third->State() == LobbyState::kFailed && lost->State() == LobbyState::kFailed &&
               typo->State() == LobbyState::kFailed;
    }));
    EXPECT_EQ(third->Error(), LobbyError::kRoomFull) << third->ErrorWords();
    EXPECT_EQ(lost->Error(), LobbyError::kRoomNotFound) << lost->ErrorWords();
    EXPECT_EQ(typo->Error(), LobbyError::kRoomNotFound);
    EXPECT_EQ(host->State(), LobbyState::kTogether);
    EXPECT_EQ(guest->State(), LobbyState::kTogether);

    // The guest goes: the host hears it.
    guest.reset();
    ASSERT_TRUE(Pump({host.get()}, [&] { return host->State() == LobbyState::kFailed; }));
    EXPECT_EQ(host->Error(), LobbyError::kOtherLeft);
    EXPECT_EQ(host->ErrorWords(), "The other player left.");
}

TEST_F(Lobby, WatchersComeByCodeBesideThePlayersEachHearsTheMakerAloneAndANinthIsTurnedAway) {
    auto host = Host(Client(), "stage=1");
    ASSERT_EQ(host->State(), LobbyState::kWaiting) << host->ErrorWords();
    std::vector<std::unique_ptr<LobbyClient>> watchers;
    std::vector<LobbyClient*> all = {host.get()};
    auto watch = [&](const std::string& code, const std::string& version) {
        watchers.push_back(Client(version));
        watchers.back()->WatchRoom(code);
        all.push_back(watchers.back().get());
        return watchers.back().get();
    };
    auto together = [&] {
        return std::count_if(watchers.begin(), watchers.end(),
                             [](auto& w) { return w->State() == LobbyState::kTogether; });
    };
    // One before the guest, then the guest, who still finds a room for two.
    LobbyClient* early = watch(host->Code(), "2.1");
    ASSERT_TRUE(Pump(all, [&] { return early->State() == LobbyState::kTogether; })) << early->ErrorWords();
    auto guest = Client();
    guest->JoinRoom(host->Code());
    all.push_back(guest.get());
    ASSERT_TRUE(Pump(all, [&] { return guest->State() == LobbyState::kTogether; })) << guest->ErrorWords();
    for (int i = 0; i < 7; ++i) watch(host->Code(), "2.1");
    ASSERT_TRUE(Pump(
        all, [&] { return together() == 8 && host->Watchers().size() == 8; }, 20s));
    LobbyClient* ninth = watch(host->Code(), "2.1");
    LobbyClient* lost = watch(host->Code() == "222222" ? "333333" : "222222", "2.1");
    ASSERT_TRUE(Pump(
        all, [&] { return ninth->State() == LobbyState::kFailed && lost->State() == LobbyState::kFailed; }));
    EXPECT_EQ(ninth->Error(), LobbyError::kWatchersFull) << ninth->ErrorWords();
    EXPECT_EQ(lost->Error(), LobbyError::kRoomNotFound);

    // Lines between the maker and each watcher go to that one alone; the guest hears none.
    for (auto& w : watchers)
        if (w->State() == LobbyState::kTogether) w->SendPath("seen");
    for (const auto& w : host->Watchers()) host->SendPathToWatcher(w.nick, "for " + w.nick);
    ASSERT_TRUE(Pump(all, [&] {
        const auto& known = host->Watchers();
        return std::all_of(
                   watchers.begin(), watchers.end(),
                   [](auto& w) { return w->State() != LobbyState::kTogether || !w->PeerPath().empty(); }) &&
               std::all_of(known.begin(), known.end(), [](auto& w) { return w.path == "seen"; });
    }));
    std::set<std::string> heard;
    for (auto& w : watchers)
        if (w->State() == LobbyState::kTogether) heard.insert(w->PeerPath());
    EXPECT_EQ(heard.size(), 8u);
    EXPECT_EQ(host->Watchers().front().version, "2.1");
    EXPECT_TRUE(guest->PeerPath().empty());
    auto third = Client();
    third->JoinRoom(host->Code());
    all.push_back(third.get());
    ASSERT_TRUE(Pump(all, [&] { return third->State() == LobbyState::kFailed; }));
    EXPECT_EQ(third->Error(), LobbyError::kRoomFull);
    EXPECT_EQ(guest->State(), LobbyState::kTogether);
    EXPECT_EQ(host->State(), LobbyState::kTogether);

    // A watcher that goes frees its place, which a watcher of another version takes and
    // hears why it cannot watch.
    early->Leave();
    ASSERT_TRUE(Pump(all, [&] { return host->Watchers().size() == 7; }));
    LobbyClient* other = watch(host->Code(), "2.2");
    ASSERT_TRUE(Pump(all, [&] { return other->State() == LobbyState::kFailed; }));
    EXPECT_EQ(other->Error(), LobbyError::kVersionsDiffer);
}

TEST_F(Lobby, ProgramsOfDifferentVersionsAreToldSo) {
    auto host = Host(Client("2.1"), "stage=1");
    ASSERT_EQ(host->State(), LobbyState::kWaiting) << host->ErrorWords();
    auto guest = Client("2.2");
    guest->JoinRoom(host->Code());
    ASSERT_TRUE(Pump({host.get(), guest.get()}, [&] {
        return host->State() == LobbyState::kFailed && guest->State() == LobbyState::kFailed;
    }));
    EXPECT_EQ(host->Error(), LobbyError::kVersionsDiffer);
    EXPECT_EQ(guest->Error(), LobbyError::kVersionsDiffer);
    EXPECT_NE(guest->ErrorWords().find("2.1"), std::string::npos) << guest->ErrorWords();
}

TEST_F(Lobby, QuickMatchPairsTheFirstTwoWaitingAndThenTheNextTwo) {
    std::vector<std::unique_ptr<LobbyClient>> players;
    std::vector<LobbyClient*> all;
    auto arrive = [&](const std::string& settings) {
        players.push_back(Client());
        players.back()->QuickMatch(settings);
        all.push_back(players.back().get());
        // In the waiting room before the next arrives, so the order is known.
        Pump(all, [&] { return players.back()->State() != LobbyState::kConnecting; });
        Pump(
            all, [] { return false; }, 300ms);
    };
    arrive("first");
    arrive("second");
    arrive("third");
    auto together = [&](std::size_t a, std::size_t b) {
        return players[a]->State() == LobbyState::kTogether && players[b]->State() == LobbyState::kTogether;
    };
    ASSERT_TRUE(Pump(all, [&] { return together(0, 1); })) << players[1]->ErrorWords();
    EXPECT_TRUE(players[0]->IsHost());
    EXPECT_FALSE(players[1]->IsHost());
    EXPECT_EQ(players[0]->Code(), players[1]->Code());
    ASSERT_TRUE(Pump(all, [&] { return players[1]->PeerSettings() == "first"; }));
    EXPECT_EQ(players[2]->State(), LobbyState::kEntering);

    arrive("fourth");
    ASSERT_TRUE(Pump(all, [&] { return together(2, 3); })) << players[3]->ErrorWords();
    EXPECT_TRUE(players[2]->IsHost());
    EXPECT_NE(players[2]->Code(), players[0]->Code());
    ASSERT_TRUE(Pump(all, [&] { return players[3]->PeerSettings() == "third"; }));
    EXPECT_TRUE(together(0, 1));
}

TEST_F(Lobby, TheRelayTakesTheCredentialsTheLobbyHandsOut) {
    auto c = Client();
    c->MakeRoom("stage=1");
    ASSERT_TRUE(Pump({c.get()}, [&] { return c->ServicesAnswered(); }));
    const auto& services = c->Services();
    ASSERT_TRUE(services.relay.has_value());
    EXPECT_EQ(services.relay->host, "127.0.0.1");
    EXPECT_EQ(services.relay->port, server_->TurnPort());
    EXPECT_EQ(services.stunHost, "127.0.0.1");
    // Time-limited: "expiry:..." or "expiry", never a fixed name.
    EXPECT_GT(std::stoll(services.relay->username), 1700000000LL);

    const std::string port = std::to_string(server_->TurnPort());
    auto allocate = [&](const std::string& password) {
        return vx::testing::RunBounded({"turnutils_uclient", "-y", "-n", "2", "-m", "1", "-p", port, "-u",
                                        services.relay->username, "-w", password, "127.0.0.1"},
                                       20s);
    };
    EXPECT_EQ(allocate(services.relay->password), 0);
    EXPECT_NE(allocate(services.relay->password + "x"), 0);
}

// Its own lobby, since it stops it.
TEST(LobbyStopped, APlayerWhoseLobbyStopsOrIsGoneHearsItIsUnreachable) {
    const std::string missing = vx::testing::MissingLobbyTools();
    if (!missing.empty()) GTEST_SKIP() << missing;
    LobbyServer server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    LobbyClient waiting(LobbyOptions{server.Address(), LobbyServer::kDomain, "2.1"});
    waiting.MakeRoom("stage=1");
    ASSERT_TRUE(
        PumpUntil([&] { waiting.Poll(); }, [&] { return waiting.State() == LobbyState::kWaiting; }, 10s));

    server.Stop();
    ASSERT_TRUE(
        PumpUntil([&] { waiting.Poll(); }, [&] { return waiting.State() == LobbyState::kFailed; }, 10s));
    EXPECT_EQ(waiting.Error(), LobbyError::kUnreachable);

    LobbyClient late(LobbyOptions{server.Address(), LobbyServer::kDomain, "2.1"});
    late.JoinRoom("ABCDEF");
    ASSERT_TRUE(PumpUntil([&] { late.Poll(); }, [&] { return late.State() == LobbyState::kFailed; }, 15s));
    EXPECT_EQ(late.Error(), LobbyError::kUnreachable);
    EXPECT_EQ(late.ErrorWords(), "The lobby cannot be reached.");
}

}  // namespace
