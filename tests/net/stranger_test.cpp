// A host in its own process on a real loopback socket, against strangers that speak ENet
// by hand from their own loopback addresses: a silent first connection, a Hello of
// another version, garbage, floods of half-open connections (with forged cookies and
// with real ones), a large fragmented packet, and a house of watchers behind one
// address on a host open to watchers. After each the host is still waiting,
// a genuine guest gets in within 3 s, the host's memory has grown by less than 4 MB, and
// no stranger that never proved its address got more bytes back than it sent.
#include <enet/enet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "net/join_cookie.h"
#include "net/net_peer.h"
#include "platform/clock.h"

namespace vx::net {
namespace {

constexpr long kMemoryGrowthLimitKb = 4 * 1024;

long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Nap() {
    std::this_thread::sleep_for(std::chrono::microseconds(500));
}

// What the host's process reports when its guest is in (or its time is up).
struct HostReport {
    bool ready = false;
    bool ended = false;
    int64_t readyAtMs = 0;
    long residentStartKb = 0;
    long residentMostKb = 0;
    GateCounts gate;
};

// `voltrax --host` in miniature: a NetPeer hosting on 127.0.0.1 in a child process,
// pumped every half millisecond until its guest has been in for lingerMs, for 15 s at most.
class HostProcess {
  public:
    HostProcess(int64_t lingerMs, std::size_t watchers) {
        int portPipe[2], reportPipe[2];
        if (pipe(portPipe) != 0 || pipe(reportPipe) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(portPipe[0]);
            close(reportPipe[0]);
            std::string error;
            auto link = EnetLink::Host(0, "127.0.0.1", &error, watchers);
            const uint16_t port = link ? link->Port() : 0;
            (void)!write(portPipe[1], &port, sizeof port);
            if (!link) _exit(1);
            NetPeer host(std::move(link), PeerOptions{true, "2.1", std::nullopt, 1});
            HostReport report;
            report.residentStartKb = report.residentMostKb = ResidentKb();
            const int64_t endMs = SteadyNowMs() + 15000;
            for (int64_t now = SteadyNowMs(); now < endMs; now = SteadyNowMs()) {
                host.Pump(now);
                report.residentMostKb = std::max(report.residentMostKb, ResidentKb());
                if (host.Ended()) report.ended = true;
                if (host.Ready() && !report.ready) report.ready = true, report.readyAtMs = now;
                if (report.ended || (report.ready && now - report.readyAtMs >= lingerMs)) break;
                Nap();
            }
            report.gate = host.Gate();
            (void)!write(reportPipe[1], &report, sizeof report);
            _exit(0);
        }
        close(portPipe[1]);
        close(reportPipe[1]);
        if (read(portPipe[0], &port_, sizeof port_) != sizeof port_) port_ = 0;
        close(portPipe[0]);
        reportFd_ = reportPipe[0];
    }
    ~HostProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(reportFd_);
    }
    uint16_t Port() const { return port_; }
    // The report once it came, without waiting.
    std::optional<HostReport> Report() {
        pollfd p{reportFd_, POLLIN, 0};
        HostReport report;
        if (poll(&p, 1, 0) != 1 || read(reportFd_, &report, sizeof report) != sizeof report)
            return std::nullopt;
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return report;
    }

  private:
    pid_t pid_ = -1;
    uint16_t port_ = 0;
    int reportFd_ = -1;
};

// A small ENet speaker on its own loopback address, counting every byte both ways.
class Stranger {
  public:
    Stranger(const char* ip, uint16_t hostPort, std::size_t slots = 1) {
        ENetAddress self{};
        enet_address_set_host_ip(&self, ip);
        host_ = enet_host_create(&self, slots, 2, 0, 0);
        enet_address_set_host_ip(&target_, "127.0.0.1");
        target_.port = hostPort;
    }
    ~Stranger() { enet_host_destroy(host_); }

    void SendRaw(const PacketBytes& bytes) {
        ENetBuffer buffer{const_cast<uint8_t*>(bytes.data()), bytes.size()};
        rawSent_ += bytes.size();
        enet_socket_send(host_->socket, &target_, &buffer, 1);
    }
    // Reads what came on the socket without ENet (for strangers that never service it).
    void DrainRaw() {
        uint8_t data[4096];
        ENetBuffer buffer{data, sizeof data};
        ENetAddress from{};
        int n;
        while ((n = enet_socket_receive(host_->socket, &from, &buffer, 1)) > 0) {
            rawReceived_ += static_cast<uint64_t>(n);
            if (auto cookie = ReadCookieReply(data, static_cast<std::size_t>(n))) cookie_ = *cookie;
        }
    }
    // Asks the host for a cookie and waits up to a second for it.
    std::optional<uint32_t> AskCookie() {
        cookie_.reset();
        SendRaw(CookieRequest());
        for (int64_t end = SteadyNowMs() + 1000; !cookie_ && SteadyNowMs() < end; Nap()) DrainRaw();
        return cookie_;
    }
    void Connect(uint32_t data) {
        peer_ = enet_host_connect(host_, &target_, 2, data);
        enet_host_flush(host_);
    }
    // Runs ENet for this stranger; counts connects and disconnects.
    void Service() {
        ENetEvent event;
        while (enet_host_service(host_, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) ++connects;
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) ++disconnects;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                if (event.packet->dataLength > 3) heard.push_back(event.packet->data[2]);
                enet_packet_destroy(event.packet);
            }
        }
    }
    // Sends on the last connection made.
    void Send(const PacketBytes& bytes, bool reliable) {
        ENetPacket* packet =
            enet_packet_create(bytes.data(), bytes.size(), reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
        if (enet_peer_send(peer_, reliable ? 1 : 0, packet) != 0) enet_packet_destroy(packet);
        enet_host_flush(host_);
    }
    uint64_t Sent() const { return host_->totalSentData + rawSent_; }
    uint64_t Received() const { return host_->totalReceivedData + rawReceived_; }

    int connects = 0;
    int disconnects = 0;
    std::vector<uint8_t> heard;  // the packet type of each packet received

  private:
    ENetHost* host_ = nullptr;
    ENetPeer* peer_ = nullptr;
    ENetAddress target_{};
    uint64_t rawSent_ = 0;
    uint64_t rawReceived_ = 0;
    std::optional<uint32_t> cookie_;
};

struct Scene {
    uint16_t port = 0;
    std::vector<std::unique_ptr<Stranger>> verified;    // proved their address: serviced
    std::vector<std::unique_ptr<Stranger>> unverified;  // never did: bytes back <= bytes sent
    std::vector<std::unique_ptr<Stranger>> halfOpen;    // proved it, then never answers
    std::function<void()> everyTurn;                    // what the strangers keep doing
};

// A stranger that proved its address and holds a finished connection.
Stranger& Connected(Scene& s, const char* ip) {
    auto& st = *s.verified.emplace_back(std::make_unique<Stranger>(ip, s.port));
    const auto cookie = st.AskCookie();
    EXPECT_TRUE(cookie.has_value()) << "the host answers a cookie request";
    st.Connect(cookie.value_or(0));
    for (int64_t end = SteadyNowMs() + 2000; st.connects == 0 && SteadyNowMs() < end; Nap()) st.Service();
    EXPECT_EQ(st.connects, 1) << "a stranger with a cookie is let in";
    return st;
}

struct Case {
    const char* what;
    std::function<void(Scene&)> act;  // before the guest comes
    int64_t lingerMs = 0;             // how long the host runs on after its guest is in
    std::function<void(const HostReport&, Scene&)> check;
    std::size_t watchers = 0;    // the host's watcher slots
    const char* guestFrom = "";  // the guest's own address (any when empty)
};

// Whether a stranger was told the match has its watchers (watch_end::kFull) and let go.
bool ToldFull(const Stranger& st) {
    return st.disconnects == 1 &&
           std::find(st.heard.begin(), st.heard.end(), packet_type::kWatchEnd) != st.heard.end();
}

PacketBytes Noise(std::mt19937& rng, std::size_t most) {
    PacketBytes bytes(1 + rng() % most);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

TEST(StrangerTest, StrangersLeaveTheHostWaitingAndTheGuestGetsIn) {
    ASSERT_EQ(enet_initialize(), 0);
    const Case cases[] = {
        {"a silent first connection", [](Scene& s) { Connected(s, "127.0.0.2"); }, 0, nullptr},
        {"a Hello of another version",
         [](Scene& s) {
             Stranger& st = Connected(s, "127.0.0.2");
             st.Send(Encode(MakeHello("0.9")), true);
         },
         0,
         [](const HostReport& r, Scene& s) {
             EXPECT_GE(r.gate.candidatesDropped, 1u);
             EXPECT_EQ(s.verified[0]->disconnects, 1) << "the stranger was let go";
         }},
        {"garbage",
         [](Scene& s) {
             Stranger& st = Connected(s, "127.0.0.2");
             std::mt19937 rng(7);
             for (int i = 0; i < 50; ++i) st.Send(Noise(rng, 200), i % 2 == 0);
             auto& raw = *s.unverified.emplace_back(std::make_unique<Stranger>("127.0.0.3", s.port));
             for (int i = 0; i < 200; ++i) raw.SendRaw(Noise(rng, 1200));
         },
         0, [](const HostReport& r, Scene&) { EXPECT_GE(r.gate.candidatesDropped, 1u); }},
        {"floods of half-open connections",
         [](Scene& s) {
             // One connect with a forged cookie (ENet alone would answer it again and again)...
             auto& single = *s.unverified.emplace_back(std::make_unique<Stranger>("127.0.0.7", s.port));
             std::mt19937 rng(9);
             single.Connect(static_cast<uint32_t>(rng()));
             // ... many, each a new connection from one address ...
             auto& forged = *s.unverified.emplace_back(std::make_unique<Stranger>("127.0.0.4", s.port, 64));
             for (int i = 0; i < 64; ++i) forged.Connect(static_cast<uint32_t>(rng()));
             // ... connects with a real cookie that never finish the handshake ...
             auto& halfOpen = *s.halfOpen.emplace_back(std::make_unique<Stranger>("127.0.0.5", s.port, 16));
             const auto cookie = halfOpen.AskCookie();
             ASSERT_TRUE(cookie.has_value());
             for (int i = 0; i < 16; ++i) halfOpen.Connect(*cookie);
             // ... and cookie requests far past the rate the host answers at.
             auto& asking = *s.unverified.emplace_back(std::make_unique<Stranger>("127.0.0.6", s.port));
             for (int i = 0; i < 2000; ++i) asking.SendRaw(CookieRequest());
             s.everyTurn = [&single, &forged, &asking, &halfOpen] {
                 single.DrainRaw();
                 forged.DrainRaw();
                 asking.DrainRaw();
                 halfOpen.DrainRaw();
             };
         },
         kHalfOpenLimitMs + 1000,
         [](const HostReport& r, Scene&) {
             EXPECT_GE(r.gate.refused, 65u) << "forged cookies";
             EXPECT_GT(r.gate.cookiesWithheld, 0u) << "requests past the rate";
             EXPECT_EQ(r.gate.halfOpenFreed, kSlotsPerAddress) << "one address's half-open slots are freed";
         }},
        {"a large fragmented packet",
         [](Scene& s) {
             Stranger& st = Connected(s, "127.0.0.2");
             st.Send(PacketBytes(8 << 20, 'V'), true);
         },
         0, nullptr},
        {"a house of watchers behind one address, and a flood of half-open connections",
         [](Scene& s) {
             // Five ask to watch from one address: four are let in, the fifth hears it is full...
             for (std::size_t i = 0; i <= kWatchersPerAddress; ++i)
                 Connected(s, "127.0.0.2").Send(Encode(MakeWatch("2.1")), true);
             // ... while another address's half-open connections still get two slots only.
             auto& halfOpen = *s.halfOpen.emplace_back(std::make_unique<Stranger>("127.0.0.5", s.port, 16));
             const auto cookie = halfOpen.AskCookie();
             ASSERT_TRUE(cookie.has_value());
             for (int i = 0; i < 16; ++i) halfOpen.Connect(*cookie);
             s.everyTurn = [&halfOpen] { halfOpen.DrainRaw(); };
         },
         kHalfOpenLimitMs + 1000,
         [](const HostReport& r, Scene& s) {
             for (std::size_t i = 0; i < kWatchersPerAddress; ++i)
                 EXPECT_EQ(s.verified[i]->disconnects, 0) << "watcher " << i << " was let go";
             EXPECT_TRUE(ToldFull(*s.verified[kWatchersPerAddress])) << "the fifth watcher of one address";
             EXPECT_EQ(r.gate.halfOpenFreed, kSlotsPerAddress) << "one address's half-open slots are freed";
         },
         kMaxWatchers, "127.0.0.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The host stays a moment after its guest is in, so its last answer reaches the guest.
        const int64_t lingerMs = std::max<int64_t>(c.lingerMs, 500);
        HostProcess hostProcess(lingerMs, c.watchers);
        ASSERT_NE(hostProcess.Port(), 0);
        Scene scene;
        scene.port = hostProcess.Port();
        c.act(scene);
        auto turn = [&] {
            for (auto& st : scene.verified) st->Service();
            if (scene.everyTurn) scene.everyTurn();
        };
        for (int64_t end = SteadyNowMs() + 1000; SteadyNowMs() < end; Nap()) turn();

        std::string error;
        const int64_t joinedMs = SteadyNowMs();
        NetPeer guest(EnetLink::Join("127.0.0.1", scene.port, &error, c.guestFrom),
                      PeerOptions{false, "2.1", std::nullopt, 2});
        std::optional<HostReport> report;
        // The host may report its guest in before the guest has read the host's answer: wait for both.
        for (int64_t end = joinedMs + 3000 + lingerMs + 2000;
             (!report || !guest.Ready()) && SteadyNowMs() < end; Nap()) {
            guest.Pump(SteadyNowMs());
            turn();
            if (!report) report = hostProcess.Report();
        }
        ASSERT_TRUE(report.has_value()) << "the host never reported";
        EXPECT_FALSE(report->ended) << "the host stopped waiting";
        EXPECT_TRUE(report->ready && guest.Ready()) << guest.EndMessage();
        EXPECT_LE(report->readyAtMs - joinedMs, 3000) << "the guest got in late";
        EXPECT_LT(report->residentMostKb - report->residentStartKb, kMemoryGrowthLimitKb);
        for (auto& st : scene.unverified) {
            st->DrainRaw();
            EXPECT_LE(st->Received(), st->Sent()) << "an unverified stranger got more bytes back";
            std::printf("[ %s ] unverified stranger: %llu bytes sent, %llu received\n", c.what,
                        static_cast<unsigned long long>(st->Sent()),
                        static_cast<unsigned long long>(st->Received()));
        }
        for (const auto* list : {&scene.verified, &scene.halfOpen})
            for (auto& st : *list)
                std::printf("[ %s ] stranger with a cookie%s: %llu bytes sent, %llu received\n", c.what,
                            list == &scene.halfOpen ? ", never finishing" : "",
                            static_cast<unsigned long long>(st->Sent()),
                            static_cast<unsigned long long>(st->Received()));
        std::printf("[ %s ] host memory grew %ld kB; guest in after %lld ms\n", c.what,
                    report->residentMostKb - report->residentStartKb,
                    static_cast<long long>(report->readyAtMs - joinedMs));
        if (c.check) c.check(*report, scene);
    }
}

}  // namespace
}  // namespace vx::net
