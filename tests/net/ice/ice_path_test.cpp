// Two IcePathFinders in one process find their way to each other on loopback and carry
// network play: straight between host candidates (a whole match through the ENet shim,
// over IPv4 and IPv6), and through a TURN relay alone (a coturn of the test's own, with
// credentials made the TURN REST way, as the lobby hands them out). Lines from a
// stranger that cannot be used are refused with the reason.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <glib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "net/ice/ice_description.h"
#include "net/ice/ice_path_finder.h"
#include "platform/clock.h"
#include "support/net_pair.h"

namespace vx::net::ice {
namespace {

namespace fs = std::filesystem;
using State = PathFinder::State;

PathOptions Side(bool controlling) {
    PathOptions options;
    options.controlling = controlling;
    return options;
}

IceOptions On(const std::string& address) {
    IceOptions ice;
    ice.localAddresses = {address};
    return ice;
}

uint16_t FreeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(fd);
    return ntohs(a.sin_port);
}

// A coturn of the test's own on 127.0.0.1 and free ports, taking only credentials made
// from its secret the TURN REST way; stopped by its pid.
class TurnServer {
  public:
    TurnServer() {
        for (const char* path : {"/usr/bin/turnserver", "/usr/local/bin/turnserver"})
            if (::access(path, X_OK) == 0) binary_ = path;
        if (binary_.empty()) return;
        dir_ = fs::temp_directory_path() / ("voltrax_turn_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::random_device random;
        for (int i = 0; i < 4; ++i) secret_ += std::to_string(random());
        port_ = FreeUdpPort();
        const uint16_t relayLow = FreeUdpPort();
        const uint16_t relayHigh = static_cast<uint16_t>(std::min(65535, relayLow + 40));
        const std::vector<std::string> args = {binary_,
                                               "-n",
                                               "--listening-ip=127.0.0.1",
                                               "--relay-ip=127.0.0.1",
                                               "--listening-port=" + std::to_string(port_),
                                               "--min-port=" + std::to_string(relayLow),
                                               "--max-port=" + std::to_string(relayHigh),
                                               "--use-auth-secret",
                                               "--static-auth-secret=" + secret_,
                                               "--realm=voltrax.test",
                                               "--allow-loopback-peers",
                                               "--no-tls",
                                               "--no-dtls",
                                               "--no-tcp",
                                               "--no-tcp-relay",
                                               "--no-cli",
                                               "--userdb=" + (dir_ / "turndb").string(),
                                               "--pidfile=" + (dir_ / "turnserver.pid").string(),
                                               "--log-file=stdout",
                                               "--simple-log"};
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const std::string log = (dir_ / "turnserver.log").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ready_ = pid_ > 0 && AnswersBindingRequest();
    }
    ~TurnServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            bool gone = false;
            for (int i = 0; i < 300 && !gone; ++i) {
                gone = ::waitpid(pid_, &status, WNOHANG) == pid_;
                if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (!gone) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            }
        }
        if (!dir_.empty()) fs::remove_all(dir_);
    }
    bool Installed() const { return !binary_.empty(); }
    bool Ready() const { return ready_; }
    const std::string& Secret() const { return secret_; }

    // username "<expiry>:<name>", password base64(HMAC-SHA1(secret, username)).
    RelayServer Relay(const std::string& name, int64_t validSeconds, const std::string& secret) const {
        RelayServer relay;
        relay.host = "127.0.0.1";
        relay.port = port_;
        relay.username = std::to_string(static_cast<int64_t>(::time(nullptr)) + validSeconds) + ":" + name;
        GHmac* hmac =
            g_hmac_new(G_CHECKSUM_SHA1, reinterpret_cast<const guchar*>(secret.data()), secret.size());
        g_hmac_update(hmac, reinterpret_cast<const guchar*>(relay.username.data()),
                      static_cast<gssize>(relay.username.size()));
        guint8 digest[20];
        gsize length = sizeof digest;
        g_hmac_get_digest(hmac, digest, &length);
        g_hmac_unref(hmac);
        gchar* text = g_base64_encode(digest, length);
        relay.password = text;
        g_free(text);
        return relay;
    }

  private:
    // A STUN binding request answered: the server listens (at most 5 s).
    bool AnswersBindingRequest() const {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port_);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const unsigned char request[20] = {0, 1, 0, 0, 0x21, 0x12, 0xa4, 0x42, 1,  2,
                                           3, 4, 5, 6, 7,    8,    9,    10,   11, 12};
        bool answered = false;
        for (int i = 0; i < 50 && !answered; ++i) {
            ::sendto(fd, request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
            pollfd p{fd, POLLIN, 0};
            unsigned char reply[512];
            answered = ::poll(&p, 1, 100) == 1 && ::recv(fd, reply, sizeof reply, 0) >= 20 && reply[0] == 1 &&
                       reply[1] == 1;
        }
        ::close(fd);
        return answered;
    }

    std::string binary_;
    fs::path dir_;
    std::string secret_;
    uint16_t port_ = 0;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// Polls both finders until both are ready, exchanges their lines, then polls until both
// have a path or one failed; at most limitMs of real time.
bool Connect(PathFinder& a, PathFinder& b, int64_t limitMs = 15000) {
    const int64_t end = SteadyNowMs() + limitMs;
    bool exchanged = false;
    while (SteadyNowMs() < end) {
        a.Poll();
        b.Poll();
        if (a.GetState() == State::kFailed || b.GetState() == State::kFailed) return false;
        if (!exchanged && a.GetState() == State::kReady && b.GetState() == State::kReady) {
            std::string error;
            if (!a.SetRemoteDescription(b.LocalDescription(), &error)) return false;
            if (!b.SetRemoteDescription(a.LocalDescription(), &error)) return false;
            exchanged = true;
        }
        if (a.GetState() == State::kConnected && b.GetState() == State::kConnected) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Both peers' handshake over their links, on the real clock (the path's own timers run on
// it), at most 5 s.
bool Handshake(testing::NetPair& pair) {
    const int64_t start = SteadyNowMs();
    for (int i = 0; i < 5000 && SteadyNowMs() - start < 5000; ++i) {
        pair.nowMs = 1 + SteadyNowMs() - start;
        pair.host->Turn(pair.nowMs, false);
        pair.guest->Turn(pair.nowMs, false);
        if (pair.host->peer.Ready() && pair.guest->peer.Ready()) return true;
        if (pair.host->peer.Ended() || pair.guest->peer.Ended()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(IcePath, HostCandidatesOnLoopbackMeetAsLanAndCarryAWholeMatchOverIpv4AndIpv6) {
    for (const char* address : {"127.0.0.1", "::1"}) {
        SCOPED_TRACE(address);
        IcePathFinder host(Side(true), On(address));
        IcePathFinder guest(Side(false), On(address));
        ASSERT_TRUE(Connect(host, guest)) << host.Failure() << " / " << guest.Failure();
        EXPECT_NE(host.LocalDescription().find(std::string("host,") + address + ","), std::string::npos)
            << host.LocalDescription();
        EXPECT_EQ(host.Path(), PathKind::kLan);
        EXPECT_EQ(guest.Path(), PathKind::kLan);

        std::string error;
        auto hostLink = host.MakeLink(true, &error);
        ASSERT_TRUE(hostLink) << error;
        auto guestLink = guest.MakeLink(false, &error);
        ASSERT_TRUE(guestLink) << error;
        EXPECT_FALSE(host.MakeLink(true, &error)) << "a finder hands its path on once";
        EXPECT_EQ(host.Path(), PathKind::kLan) << "the path is still named once handed on";

        testing::NetPair pair(std::move(hostLink), std::move(guestLink), {});
        ASSERT_TRUE(Handshake(pair)) << pair.host->peer.EndMessage() << pair.guest->peer.EndMessage();
        StartPacket start;
        start.stage = 2;
        start.ruleKind = rule_kind::kTime;
        start.timeLimit = 3;
        start.scoreLimit = 1;
        start.seed = 0x1ce;
        pair.StartMatch(start, 1);
        ASSERT_TRUE(pair.RunUntil([&] { return pair.BothOver(); })) << pair.host->match->SummaryLine();
        const NetMatch& h = *pair.host->match;
        const NetMatch& g = *pair.guest->match;
        EXPECT_EQ(h.Session().EndFrame(), g.Session().EndFrame());
        EXPECT_EQ(h.Hash(), g.Hash());
        EXPECT_TRUE(h.ConfirmedInputs() == g.ConfirmedInputs());
        EXPECT_GT(pair.host->peer.BytesReceived(), 1000u);
    }
}

TEST(IcePath, RelayOnlyPlayersMeetThroughTurnWithTimeLimitedCredentialsAndNotWithoutThem) {
    TurnServer turn;
    if (!turn.Installed()) GTEST_SKIP() << "turnserver (coturn) is not installed";
    ASSERT_TRUE(turn.Ready()) << "turnserver did not answer on 127.0.0.1";

    PathOptions hostOptions = Side(true);
    hostOptions.relay = turn.Relay("host", 600, turn.Secret());
    hostOptions.relayOnly = true;
    PathOptions guestOptions = Side(false);
    guestOptions.relay = turn.Relay("guest", 600, turn.Secret());
    guestOptions.relayOnly = true;
    IcePathFinder host(hostOptions, On("127.0.0.1"));
    IcePathFinder guest(guestOptions, On("127.0.0.1"));
    ASSERT_TRUE(Connect(host, guest)) << host.Failure() << " / " << guest.Failure();
    for (const PathFinder* side : {&host, &guest}) {
        Description offered;
        std::string error;
        ASSERT_TRUE(ReadDescription(side->LocalDescription(), &offered, &error)) << error;
        for (const Candidate& c : offered.candidates)
            EXPECT_EQ(c.type, CandidateType::kRelayed) << side->LocalDescription();
        EXPECT_EQ(side->Path(), PathKind::kRelay);
    }

    std::string error;
    auto hostLink = host.MakeLink(true, &error);
    ASSERT_TRUE(hostLink) << error;
    auto guestLink = guest.MakeLink(false, &error);
    ASSERT_TRUE(guestLink) << error;
    testing::NetPair pair(std::move(hostLink), std::move(guestLink), {});
    ASSERT_TRUE(Handshake(pair)) << pair.host->peer.EndMessage() << pair.guest->peer.EndMessage();
    // A choice goes one way; leaving, the other way ends the host's side.
    pair.host->peer.SendChoice(choice_kind::kStage, 3);
    std::optional<ChoicePacket> choice;
    const int64_t start = SteadyNowMs();
    for (int i = 0; i < 5000 && SteadyNowMs() - start < 5000 && !pair.host->peer.Ended(); ++i) {
        pair.nowMs += 1;
        pair.host->Turn(pair.nowMs, false);
        pair.guest->Turn(pair.nowMs, false);
        if (!choice && (choice = pair.guest->peer.TakeChoice())) pair.guest->peer.Leave();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->value, 3);
    EXPECT_EQ(pair.host->peer.EndReason(), end_reason::kPeerLeft);

    // Credentials of another secret, or out of date, get no relay: relay-only has no way.
    for (const RelayServer& refused :
         {turn.Relay("host", 600, "not the secret"), turn.Relay("host", -60, turn.Secret())}) {
        PathOptions options = Side(true);
        options.relay = refused;
        options.relayOnly = true;
        IcePathFinder finder(options, On("127.0.0.1"));
        const int64_t begin = SteadyNowMs();
        for (int i = 0; i < 20000 && SteadyNowMs() - begin < 20000 && finder.GetState() == State::kGathering;
             ++i) {
            finder.Poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(finder.GetState(), State::kFailed) << refused.username;
        EXPECT_EQ(finder.Failure(), "The relay did not answer, and this side plays through the relay only.");
    }
}

TEST(IcePath, TheSelectedPairNamesThePath) {
    using T = CandidateType;
    const struct {
        T local;
        const char* localAddress;
        T remote;
        const char* remoteAddress;
        PathKind path;
    } pairs[] = {
        {T::kRelayed, "203.0.113.1", T::kHost, "198.51.100.2", PathKind::kRelay},
        {T::kHost, "192.168.1.2", T::kRelayed, "198.51.100.2", PathKind::kRelay},
        {T::kServerReflexive, "203.0.113.1", T::kRelayed, "198.51.100.2", PathKind::kRelay},
        {T::kServerReflexive, "203.0.113.1", T::kHost, "198.51.100.2", PathKind::kPunched},
        {T::kHost, "192.168.1.2", T::kPeerReflexive, "198.51.100.2", PathKind::kPunched},
        {T::kHost, "192.168.1.2", T::kHost, "192.168.1.3", PathKind::kLan},
        {T::kHost, "10.1.0.2", T::kHost, "172.20.0.9", PathKind::kLan},
        {T::kHost, "2001:db8::1", T::kHost, "fd00::5", PathKind::kLan},
        {T::kHost, "127.0.0.1", T::kHost, "127.0.0.1", PathKind::kLan},
        {T::kHost, "10.1.0.2", T::kHost, "198.51.100.2", PathKind::kDirect},
        {T::kHost, "2001:db8::1", T::kHost, "2a00:1450::8", PathKind::kDirect},
    };
    for (const auto& p : pairs)
        EXPECT_EQ(PathName(PathOfPair(p.local, p.localAddress, p.remote, p.remoteAddress)), PathName(p.path))
            << p.localAddress << " -> " << p.remoteAddress;
}

TEST(IceDescription, LinesFromAStrangerAreReadStrictlyAndRefusedWithTheReason) {
    Description d;
    d.ufrag = "Ab3+";
    d.pwd = "abcdefghijklmnopqrstu/";
    d.candidates = {{CandidateType::kHost, "192.168.1.20", false, 50000, 2130706431, "1"},
                    {CandidateType::kServerReflexive, "203.0.113.7", false, 61000, 1694498815, "2"},
                    {CandidateType::kRelayed, "2001:db8::5", true, 3478, 16777215, "3"}};
    const std::string line = WriteDescription(d);
    Description back;
    std::string error;
    ASSERT_TRUE(ReadDescription(line, &back, &error)) << error;
    EXPECT_EQ(back.ufrag, d.ufrag);
    EXPECT_EQ(back.pwd, d.pwd);
    ASSERT_EQ(back.candidates.size(), 3u);
    EXPECT_EQ(back.candidates[2].address, "2001:db8::5");
    EXPECT_TRUE(back.candidates[2].ipv6);
    EXPECT_EQ(back.candidates[1].type, CandidateType::kServerReflexive);

    // Too many candidates for one line: the best ones stay, within 4000 bytes and 32.
    Description many = d;
    many.candidates.clear();
    for (int i = 0; i < 60; ++i)
        many.candidates.push_back(
            {CandidateType::kRelayed, "2001:db8:1234:5678:9abc:def0:1234:" + std::to_string(1000 + i), true,
             static_cast<uint16_t>(40000 + i), static_cast<uint32_t>(1000 + i), std::string(32, 'f')});
    const std::string long_line = WriteDescription(many);
    EXPECT_LE(long_line.size(), kMaxDescriptionBytes);
    ASSERT_TRUE(ReadDescription(long_line, &back, &error)) << error;
    EXPECT_LE(back.candidates.size(), kMaxCandidates);
    EXPECT_EQ(back.candidates.front().priority, 1059u);

    const std::string head = "VXICE1 Ab3+ abcdefghijklmnopqrstu/ ";
    const std::string good = "host,10.0.0.2,5000,100,1";
    std::string thirtyThree = head;
    for (int i = 0; i < 33; ++i)
        thirtyThree += (i ? " host,10.0.0.2," : "host,10.0.0.2,") + std::to_string(1000 + i) + ",100,1";
    const struct {
        std::string text;
        const char* reason;
    } refusals[] = {
        {"", "does not start with VXICE1"},
        {"VXICE2 Ab3+ abcdefghijklmnopqrstu/ " + good, "does not start with VXICE1"},
        {"VXICE1 Ab3+ abcdefghijklmnopqrstu/", "no candidates"},
        {head + good + " ", "empty fields"},
        {head + " " + good, "empty fields"},
        {head + good + "\t", "control characters"},
        {head + good + "\xc3\xa9", "outside printable ASCII"},
        {"VXICE1 Ab3 abcdefghijklmnopqrstu/ " + good, "user fragment"},
        {"VXICE1 Ab3+ abcdefghijklmnopqrst " + good, "password"},
        {"VXICE1 Ab3+ abcdefghijklmnopqrstu- " + good, "password"},
        {head + "host,10.0.0.2,5000,100", "five fields"},
        {head + "host,10.0.0.2,5000,100,1,x", "five fields"},
        {head + "tcp,10.0.0.2,5000,100,1", "type"},
        {head + "host,example.org,5000,100,1", "not an IP address"},
        {head + "host,fe80::1%eth0,5000,100,1", "not an IP address"},
        {head + "host,::0:1,5000,100,1", "not written plainly"},
        {head + "host,0.0.0.0,5000,100,1", "unspecified"},
        {head + "host,::,5000,100,1", "unspecified"},
        {head + "host,239.1.2.3,5000,100,1", "multicast"},
        {head + "host,ff02::1,5000,100,1", "multicast"},
        {head + "host,::ffff:10.0.0.2,5000,100,1", "IPv6 clothing"},
        {head + "host,10.0.0.2,0,100,1", "port"},
        {head + "host,10.0.0.2,65536,100,1", "port"},
        {head + "host,10.0.0.2,05000,100,1", "port"},
        {head + "host,10.0.0.2,5000,0,1", "priority"},
        {head + "host,10.0.0.2,5000,4294967296,1", "priority"},
        {head + "host,10.0.0.2,5000,-100,1", "priority"},
        {head + "host,10.0.0.2,5000,100,", "foundation"},
        {head + "host,10.0.0.2,5000,100,a!b", "foundation"},
        {head + "host,10.0.0.2,5000,100," + std::string(33, 'a'), "foundation"},
        {head + good + " relay,10.0.0.2,5000,7,2", "repeats"},
        {thirtyThree, "more than 32"},
        {head + good + std::string(4000, 'x'), "longer than 4000 bytes"},
    };
    for (const auto& r : refusals) {
        Description untouched = d;
        EXPECT_FALSE(ReadDescription(r.text, &untouched, &error)) << r.text;
        EXPECT_EQ(error.rfind("The other player's connection line cannot be used: ", 0), 0u) << error;
        EXPECT_NE(error.find(r.reason), std::string::npos) << r.text << " -> " << error;
        EXPECT_EQ(untouched.ufrag, d.ufrag);
    }

    // The finder reads through the same reader, takes one line only, and a relay-only
    // side takes no line without a relay in it.
    IcePathFinder finder(Side(false), On("127.0.0.1"));
    EXPECT_FALSE(finder.SetRemoteDescription("VXICE1 garbage", &error));
    EXPECT_NE(error.find("no candidates"), std::string::npos) << error;
    EXPECT_TRUE(finder.SetRemoteDescription(head + good, &error)) << error;
    EXPECT_FALSE(finder.SetRemoteDescription(head + good, &error));
    EXPECT_EQ(error, "The other player's connection line came twice.");
    PathOptions relayOnly = Side(false);
    relayOnly.relayOnly = true;
    IcePathFinder lonely(relayOnly, On("127.0.0.1"));
    EXPECT_EQ(lonely.GetState(), State::kFailed);
    EXPECT_EQ(lonely.Failure(), "Playing through the relay only was chosen, but no relay was named.");
    EXPECT_FALSE(lonely.SetRemoteDescription(head + good, &error));
    EXPECT_NE(error.find("offers no relay"), std::string::npos) << error;

    // A well-formed line whose only address answers nothing: the checks give up and say so.
    IceOptions impatient = On("127.0.0.1");
    impatient.checkLimitMs = 1500;
    IcePathFinder alone(Side(true), impatient);
    ASSERT_TRUE(alone.SetRemoteDescription(
        head + "host,127.0.0.1," + std::to_string(FreeUdpPort()) + ",100,1", &error))
        << error;
    const int64_t begin = SteadyNowMs();
    for (int i = 0; i < 10000 && SteadyNowMs() - begin < 10000 && alone.GetState() != State::kFailed; ++i) {
        alone.Poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(alone.GetState(), State::kFailed);
    EXPECT_EQ(alone.Failure(), "No way through to the other player, and there was no relay to fall back on.");
    EXPECT_FALSE(alone.MakeLink(true, &error));
}

}  // namespace
}  // namespace vx::net::ice
