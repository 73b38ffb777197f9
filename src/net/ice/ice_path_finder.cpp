#include "net/ice/ice_path_finder.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>

#include <arpa/inet.h>
#include <gio/gio.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <nice/agent.h>

#include "net/enet_link.h"
#include "net/ice/ice_description.h"
#include "net/ice/ice_shim.h"

namespace vx::net::ice {
namespace {

constexpr guint kComponent = 1;
// Main-context dispatches per Poll(): enough for a burst of checks and datagrams, and
// a bound however busy the path is.
constexpr int kMaxIterationsPerPoll = 64;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool IsIpLiteral(const std::string& text) {
    std::array<unsigned char, 16> bytes{};
    return inet_pton(AF_INET, text.c_str(), bytes.data()) == 1 ||
           inet_pton(AF_INET6, text.c_str(), bytes.data()) == 1;
}

CandidateType FromNice(NiceCandidateType type) {
    switch (type) {
        case NICE_CANDIDATE_TYPE_HOST: return CandidateType::kHost;
        case NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE: return CandidateType::kServerReflexive;
        case NICE_CANDIDATE_TYPE_PEER_REFLEXIVE: return CandidateType::kPeerReflexive;
        case NICE_CANDIDATE_TYPE_RELAYED: return CandidateType::kRelayed;
    }
    return CandidateType::kHost;
}

NiceCandidateType ToNice(CandidateType type) {
    switch (type) {
        case CandidateType::kHost: return NICE_CANDIDATE_TYPE_HOST;
        case CandidateType::kServerReflexive: return NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE;
        case CandidateType::kPeerReflexive: return NICE_CANDIDATE_TYPE_PEER_REFLEXIVE;
        case CandidateType::kRelayed: return NICE_CANDIDATE_TYPE_RELAYED;
    }
    return NICE_CANDIDATE_TYPE_HOST;
}

std::string AddressText(const NiceAddress& address) {
    char text[NICE_ADDRESS_STRING_LEN] = {};
    nice_address_to_string(&address, text);
    return text;
}

// An address's bytes (4 or 16) and family, from its text.
struct RawAddress {
    int family = 0;
    std::array<unsigned char, 16> bytes{};
    std::size_t size = 0;
};

RawAddress Raw(const std::string& text) {
    RawAddress a;
    if (inet_pton(AF_INET, text.c_str(), a.bytes.data()) == 1) {
        a.family = AF_INET;
        a.size = 4;
    } else if (inet_pton(AF_INET6, text.c_str(), a.bytes.data()) == 1) {
        a.family = AF_INET6;
        a.size = 16;
    }
    return a;
}

// Not reachable from the internet: private, shared, loopback, link-local, unique local.
bool IsPrivate(const RawAddress& a) {
    const auto& b = a.bytes;
    if (a.family == AF_INET)
        return b[0] == 10 || b[0] == 127 || (b[0] == 172 && (b[1] & 0xf0) == 16) ||
               (b[0] == 192 && b[1] == 168) || (b[0] == 169 && b[1] == 254) ||
               (b[0] == 100 && (b[1] & 0xc0) == 64);
    if (a.family == AF_INET6) {
        static constexpr std::array<unsigned char, 16> kLoopback = {0, 0, 0, 0, 0, 0, 0, 0,
                                                                    0, 0, 0, 0, 0, 0, 0, 1};
        return b == kLoopback || (b[0] == 0xfe && (b[1] & 0xc0) == 0x80) || (b[0] & 0xfe) == 0xfc;
    }
    return false;
}

// Whether remote lies in the subnet of the interface that holds local.
bool OnSameSubnet(const RawAddress& local, const RawAddress& remote) {
    if (local.family == 0 || local.family != remote.family) return false;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool same = false;
    for (ifaddrs* i = list; i != nullptr && !same; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_netmask == nullptr || i->ifa_addr->sa_family != local.family)
            continue;
        const unsigned char* address = local.family == AF_INET
                                           ? reinterpret_cast<const unsigned char*>(
                                                 &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr)
                                           : reinterpret_cast<const unsigned char*>(
                                                 &reinterpret_cast<sockaddr_in6*>(i->ifa_addr)->sin6_addr);
        const unsigned char* mask = local.family == AF_INET
                                        ? reinterpret_cast<const unsigned char*>(
                                              &reinterpret_cast<sockaddr_in*>(i->ifa_netmask)->sin_addr)
                                        : reinterpret_cast<const unsigned char*>(
                                              &reinterpret_cast<sockaddr_in6*>(i->ifa_netmask)->sin6_addr);
        if (std::memcmp(address, local.bytes.data(), local.size) != 0) continue;
        same = true;
        for (std::size_t k = 0; k < local.size; ++k)
            if ((local.bytes[k] & mask[k]) != (remote.bytes[k] & mask[k])) same = false;
    }
    freeifaddrs(list);
    return same;
}

// The agent and its main context. The finder owns it until MakeLink hands it to the link.
struct AgentSession {
    GMainContext* context = nullptr;
    NiceAgent* agent = nullptr;
    guint stream = 0;
    LoopbackShim* shim = nullptr;  // where the path's datagrams go once the link exists
    GCancellable* cancel = nullptr;

    AgentSession() : context(g_main_context_new()), cancel(g_cancellable_new()) {}
    ~AgentSession() {
        g_cancellable_cancel(cancel);
        if (agent != nullptr) {
            if (stream != 0) nice_agent_attach_recv(agent, stream, kComponent, context, nullptr, nullptr);
            // Gives the relay allocation back (best effort: what goes out now goes).
            nice_agent_close_async(agent, nullptr, nullptr);
            Iterate();
            g_object_unref(agent);
        }
        Iterate();
        g_object_unref(cancel);
        g_main_context_unref(context);
    }
    AgentSession(const AgentSession&) = delete;
    AgentSession& operator=(const AgentSession&) = delete;

    // Runs what is due on the context without waiting.
    void Iterate() {
        for (int i = 0; i < kMaxIterationsPerPoll && g_main_context_iteration(context, FALSE); ++i) {
        }
    }
    void Send(const uint8_t* data, std::size_t size) {
        nice_agent_send(agent, stream, kComponent, static_cast<guint>(size),
                        reinterpret_cast<const gchar*>(data));
    }

    static void OnReceived(NiceAgent*, guint, guint, guint size, gchar* data, gpointer self) {
        auto* session = static_cast<AgentSession*>(self);
        if (session->shim != nullptr) session->shim->ToEnet(reinterpret_cast<const uint8_t*>(data), size);
    }
};

// ENet over the path: the agent, the shim and the EnetLink, all turned from Poll().
class IceLink : public Link {
  public:
    IceLink(std::unique_ptr<AgentSession> session, std::unique_ptr<LoopbackShim> shim,
            std::unique_ptr<EnetLink> enet)
        : session_(std::move(session)), shim_(std::move(shim)), enet_(std::move(enet)) {
        shim_->SetEnetPort(enet_->Port());  // a guest's ENet has none until it first sends
        session_->shim = shim_.get();
    }
    ~IceLink() override {
        enet_.reset();
        ToPath();
        session_->shim = nullptr;
    }

    void SetGreeting(const PacketBytes& hello) override { enet_->SetGreeting(hello); }
    void Poll(std::vector<LinkEvent>& events, DropCounts& drops) override {
        session_->Iterate();  // the path's datagrams reach ENet's socket
        enet_->Poll(events, drops);
        ToPath();
    }
    void Send(const PacketBytes& bytes, bool reliable) override { enet_->Send(bytes, reliable); }
    void Flush() override {
        enet_->Flush();
        ToPath();
    }
    void Close() override {
        enet_->Close();
        ToPath();
    }
    void Abandon() override {
        enet_->Abandon();
        ToPath();
    }
    bool Connected() const override { return enet_->Connected(); }
    uint64_t BytesSent() const override { return enet_->BytesSent(); }
    uint64_t BytesReceived() const override { return enet_->BytesReceived(); }
    GateCounts Gate() const override { return enet_->Gate(); }
    EnetLink* Enet() override { return enet_.get(); }

  private:
    // ENet's datagrams onto the path. A guest's ENet has its port once it first sent.
    void ToPath() {
        if (enet_ != nullptr) shim_->SetEnetPort(enet_->Port());
        shim_->Drain([this](const uint8_t* data, std::size_t size) { session_->Send(data, size); });
    }

    std::unique_ptr<AgentSession> session_;
    std::unique_ptr<LoopbackShim> shim_;
    std::unique_ptr<EnetLink> enet_;
};

// A watcher's path into the room maker's ENet host: the agent and a shim whose ENet is
// the host's own port, so the watcher's datagrams reach that host from the shim's port.
class IceForward : public PathForward {
  public:
    IceForward(std::unique_ptr<AgentSession> session, std::unique_ptr<LoopbackShim> shim, uint16_t enetPort)
        : session_(std::move(session)), shim_(std::move(shim)) {
        shim_->SetEnetPort(enetPort);
        session_->shim = shim_.get();
    }
    ~IceForward() override { session_->shim = nullptr; }
    void Poll() override {
        session_->Iterate();
        shim_->Drain([this](const uint8_t* data, std::size_t size) { session_->Send(data, size); });
    }

  private:
    std::unique_ptr<AgentSession> session_;
    std::unique_ptr<LoopbackShim> shim_;
};

}  // namespace

struct IcePathFinder::Impl {
    PathOptions options;
    IceOptions ice;
    std::unique_ptr<AgentSession> session = std::make_unique<AgentSession>();
    State state = State::kGathering;
    std::string failure;
    bool gathered = false;
    std::string localLine;
    std::vector<Candidate> gatheredAll;  // every local candidate, offered or not
    bool offersRelay = false;
    std::optional<Description> remote;
    bool remoteApplied = false;
    int pendingLookups = 0;
    std::string stunIp;
    std::string relayIp;
    int64_t startMs = NowMs();
    int64_t checkStartMs = 0;
    PathKind path = PathKind::kDirect;

    void Fail(const std::string& why) {
        if (state == State::kFailed) return;
        state = State::kFailed;
        failure = why;
    }
    std::string NoPath() const {
        const bool relayThere =
            offersRelay ||
            (remote && std::any_of(remote->candidates.begin(), remote->candidates.end(),
                                   [](const Candidate& c) { return c.type == CandidateType::kRelayed; }));
        return relayThere ? "No way through to the other player, not even through the relay."
                          : "No way through to the other player, and there was no relay to fall back on.";
    }

    void Start() {
        NiceAgent* agent = nice_agent_new(session->context, NICE_COMPATIBILITY_RFC5245);
        session->agent = agent;
        g_object_set(agent, "controlling-mode", options.controlling ? TRUE : FALSE, "ice-tcp", FALSE, "upnp",
                     FALSE, "force-relay", options.relayOnly ? TRUE : FALSE, nullptr);
        session->stream = nice_agent_add_stream(agent, 1);
        if (session->stream == 0) return Fail("The connection could not be set up on this computer.");
        for (const std::string& text : ice.localAddresses) {
            NiceAddress address;
            nice_address_init(&address);
            if (!nice_address_set_from_string(&address, text.c_str()))
                return Fail("\"" + text + "\" is not an address of this computer.");
            nice_agent_add_local_address(agent, &address);
        }
        g_signal_connect(agent, "candidate-gathering-done", G_CALLBACK(OnGatheringDone), this);
        g_signal_connect(agent, "component-state-changed", G_CALLBACK(OnComponentState), this);
        nice_agent_attach_recv(agent, session->stream, kComponent, session->context, AgentSession::OnReceived,
                               session.get());
        if (options.relayOnly && !options.relay)
            return Fail("Playing through the relay only was chosen, but no relay was named.");
        if (!options.stunHost.empty()) Resolve(options.stunHost, &stunIp);
        if (options.relay) Resolve(options.relay->host, &relayIp);
        if (pendingLookups == 0) Gather();
    }

    // A server's address: at once for an address, through GLib's resolver (answered on
    // our context, so in a later Poll) for a name.
    struct Lookup {
        Impl* impl;
        std::string* target;
    };
    void Resolve(const std::string& host, std::string* target) {
        if (IsIpLiteral(host)) {
            *target = host;
            return;
        }
        ++pendingLookups;
        g_main_context_push_thread_default(session->context);
        GResolver* resolver = g_resolver_get_default();
        g_resolver_lookup_by_name_async(resolver, host.c_str(), session->cancel, OnResolved,
                                        new Lookup{this, target});
        g_object_unref(resolver);
        g_main_context_pop_thread_default(session->context);
    }
    static void OnResolved(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Lookup> lookup(static_cast<Lookup*>(data));
        GError* error = nullptr;
        GList* addresses = g_resolver_lookup_by_name_finish(G_RESOLVER(source), result, &error);
        if (error != nullptr) {
            const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
            g_error_free(error);
            if (cancelled) return;  // the finder is gone
        }
        if (addresses != nullptr) {
            gchar* text = g_inet_address_to_string(G_INET_ADDRESS(addresses->data));
            *lookup->target = text;
            g_free(text);
            g_resolver_free_addresses(addresses);
        }
        Impl* impl = lookup->impl;
        if (--impl->pendingLookups == 0 && impl->state == State::kGathering) impl->Gather();
    }

    void Gather() {
        NiceAgent* agent = session->agent;
        if (!stunIp.empty())
            g_object_set(agent, "stun-server", stunIp.c_str(), "stun-server-port", guint{options.stunPort},
                         nullptr);
        if (options.relay && !relayIp.empty()) {
            const RelayServer& relay = *options.relay;
            nice_agent_set_relay_info(agent, session->stream, kComponent, relayIp.c_str(), relay.port,
                                      relay.username.c_str(), relay.password.c_str(),
                                      NICE_RELAY_TYPE_TURN_UDP);
        }
        if (options.relayOnly && relayIp.empty())
            return Fail("The relay's name could not be found, and this side plays through the relay only.");
        if (!nice_agent_gather_candidates(agent, session->stream))
            Fail("This computer has no network address to offer the other player.");
    }

    static void OnGatheringDone(NiceAgent*, guint, gpointer self) {
        static_cast<Impl*>(self)->FinishGathering();
    }

    void FinishGathering() {
        if (gathered || state == State::kFailed) return;
        gathered = true;
        Description local;
        gchar* ufrag = nullptr;
        gchar* pwd = nullptr;
        nice_agent_get_local_credentials(session->agent, session->stream, &ufrag, &pwd);
        local.ufrag = ufrag != nullptr ? ufrag : "";
        local.pwd = pwd != nullptr ? pwd : "";
        g_free(ufrag);
        g_free(pwd);
        GSList* list = nice_agent_get_local_candidates(session->agent, session->stream, kComponent);
        for (GSList* i = list; i != nullptr; i = i->next) {
            const auto* c = static_cast<const NiceCandidate*>(i->data);
            if (c->transport != NICE_CANDIDATE_TRANSPORT_UDP) continue;
            Candidate candidate;
            candidate.type = FromNice(c->type);
            candidate.address = AddressText(c->addr);
            candidate.ipv6 = nice_address_ip_version(&c->addr) == 6;
            candidate.port = static_cast<uint16_t>(nice_address_get_port(&c->addr));
            candidate.priority = c->priority;
            candidate.foundation = c->foundation;
            gatheredAll.push_back(candidate);
            if (options.relayOnly && candidate.type != CandidateType::kRelayed) continue;
            if (candidate.type == CandidateType::kRelayed) offersRelay = true;
            local.candidates.push_back(candidate);
        }
        g_slist_free_full(list, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
        if (local.candidates.empty())
            return Fail(options.relayOnly
                            ? "The relay did not answer, and this side plays through the relay only."
                            : "This computer has no network address to offer the other player.");
        localLine = WriteDescription(local);
        state = State::kReady;
        if (remote) ApplyRemote();
    }

    void ApplyRemote() {
        if (remoteApplied || state == State::kFailed) return;
        remoteApplied = true;
        nice_agent_set_remote_credentials(session->agent, session->stream, remote->ufrag.c_str(),
                                          remote->pwd.c_str());
        GSList* list = nullptr;
        for (const Candidate& c : remote->candidates) {
            NiceCandidate* n = nice_candidate_new(ToNice(c.type));
            n->stream_id = session->stream;
            n->component_id = kComponent;
            n->transport = NICE_CANDIDATE_TRANSPORT_UDP;
            nice_address_set_from_string(&n->addr, c.address.c_str());
            nice_address_set_port(&n->addr, c.port);
            n->priority = c.priority;
            g_strlcpy(n->foundation, c.foundation.c_str(), sizeof n->foundation);
            list = g_slist_append(list, n);
        }
        const int added = nice_agent_set_remote_candidates(session->agent, session->stream, kComponent, list);
        g_slist_free_full(list, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
        if (added <= 0) return Fail("None of the other player's addresses can be tried from here.");
        state = State::kChecking;
        checkStartMs = NowMs();
    }

    static void OnComponentState(NiceAgent*, guint, guint, guint componentState, gpointer self) {
        auto* impl = static_cast<Impl*>(self);
        if (componentState == NICE_COMPONENT_STATE_CONNECTED ||
            componentState == NICE_COMPONENT_STATE_READY) {
            if (impl->state == State::kChecking) impl->state = State::kConnected;
        } else if (componentState == NICE_COMPONENT_STATE_FAILED) {
            impl->Fail(impl->NoPath());
        }
    }

    // The type a candidate of the selected pair really has: a peer-reflexive one learned
    // during the checks may be a host candidate whose line had not arrived yet.
    static CandidateType TypeOf(const NiceCandidate* c, const std::vector<Candidate>& known) {
        const std::string address = AddressText(c->addr);
        const auto port = static_cast<uint16_t>(nice_address_get_port(&c->addr));
        for (const Candidate& k : known)
            if (k.address == address && k.port == port) return k.type;
        return FromNice(c->type);
    }

    PathKind SelectedPath() const {
        NiceCandidate* local = nullptr;
        NiceCandidate* other = nullptr;
        if (!nice_agent_get_selected_pair(session->agent, session->stream, kComponent, &local, &other))
            return PathKind::kDirect;
        return PathOfPair(TypeOf(local, gatheredAll), AddressText(local->addr),
                          TypeOf(other, remote ? remote->candidates : std::vector<Candidate>{}),
                          AddressText(other->addr));
    }
};

PathKind PathOfPair(CandidateType local, const std::string& localAddress, CandidateType remote,
                    const std::string& remoteAddress) {
    if (local == CandidateType::kRelayed || remote == CandidateType::kRelayed) return PathKind::kRelay;
    if (local != CandidateType::kHost || remote != CandidateType::kHost) return PathKind::kPunched;
    const RawAddress theirs = Raw(remoteAddress);
    return OnSameSubnet(Raw(localAddress), theirs) || IsPrivate(theirs) ? PathKind::kLan : PathKind::kDirect;
}

IcePathFinder::IcePathFinder(const PathOptions& options, const IceOptions& ice)
    : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
    impl_->ice = ice;
    impl_->Start();
}

IcePathFinder::~IcePathFinder() {
    if (impl_->session && impl_->session->agent != nullptr)
        g_signal_handlers_disconnect_by_data(impl_->session->agent, impl_.get());
}

void IcePathFinder::Poll() {
    Impl& s = *impl_;
    if (!s.session) return;
    s.session->Iterate();
    const int64_t now = NowMs();
    if (s.state == State::kGathering && s.pendingLookups == 0 && now - s.startMs > s.ice.gatherLimitMs) {
        s.FinishGathering();  // the servers that have not answered by now are left out
        if (s.state == State::kGathering) s.Fail("Finding this computer's addresses took too long.");
    }
    if (s.state == State::kGathering && now - s.startMs > 2 * s.ice.gatherLimitMs)
        s.Fail("The game's servers could not be found.");
    if (s.state == State::kChecking) {
        // The signal may have come before the checks were ours to watch: ask as well.
        const NiceComponentState component =
            nice_agent_get_component_state(s.session->agent, s.session->stream, kComponent);
        if (component == NICE_COMPONENT_STATE_CONNECTED || component == NICE_COMPONENT_STATE_READY)
            s.state = State::kConnected;
        else if (now - s.checkStartMs > s.ice.checkLimitMs)
            s.Fail(s.NoPath());
    }
}

PathFinder::State IcePathFinder::GetState() const {
    return impl_->state;
}

std::string IcePathFinder::LocalDescription() const {
    return impl_->localLine;
}

bool IcePathFinder::SetRemoteDescription(const std::string& text, std::string* error) {
    Impl& s = *impl_;
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (s.remote) {
        *error = "The other player's connection line came twice.";
        return false;
    }
    Description remote;
    if (!ReadDescription(text, &remote, error)) return false;
    if (s.options.relayOnly) {
        std::erase_if(remote.candidates,
                      [](const Candidate& c) { return c.type != CandidateType::kRelayed; });
        if (remote.candidates.empty()) {
            *error =
                "The other player's connection line offers no relay, and this side plays through the relay "
                "only.";
            return false;
        }
    }
    s.remote = std::move(remote);
    if (s.gathered) s.ApplyRemote();
    return true;
}

PathKind IcePathFinder::Path() const {
    const Impl& s = *impl_;
    if (s.session && s.state == State::kConnected) return s.SelectedPath();
    return s.path;
}

std::string IcePathFinder::Failure() const {
    return impl_->failure;
}

std::unique_ptr<Link> IcePathFinder::MakeLink(bool hostSide, std::string* error) {
    Impl& s = *impl_;
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (!s.session || s.state != State::kConnected) {
        *error = s.session ? "There is no way through to the other player yet."
                           : "The connection was handed on already.";
        return nullptr;
    }
    auto shim = LoopbackShim::Open(error);
    if (!shim) return nullptr;
    auto enet = hostSide ? EnetLink::Host(0, "127.0.0.1", error, kMaxWatchers)
                         : EnetLink::Join("127.0.0.1", shim->Port(), error);
    if (!enet) return nullptr;
    s.path = s.SelectedPath();
    g_signal_handlers_disconnect_by_data(s.session->agent, impl_.get());
    return std::make_unique<IceLink>(std::move(s.session), std::move(shim), std::move(enet));
}

std::unique_ptr<PathForward> IcePathFinder::ForwardToPort(uint16_t enetPort, std::string* error) {
    Impl& s = *impl_;
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (!s.session || s.state != State::kConnected) {
        *error =
            s.session ? "There is no way through to the watcher yet." : "The path was handed on already.";
        return nullptr;
    }
    auto shim = LoopbackShim::Open(error);
    if (!shim) return nullptr;
    s.path = s.SelectedPath();
    g_signal_handlers_disconnect_by_data(s.session->agent, impl_.get());
    return std::make_unique<IceForward>(std::move(s.session), std::move(shim), enetPort);
}

}  // namespace vx::net::ice
