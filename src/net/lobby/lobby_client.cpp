#include "net/lobby/lobby_client.h"

#include <strophe.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <vector>

#include "net/stranger_gate.h"

namespace vx::net::lobby {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kMucNs = "http://jabber.org/protocol/muc";
constexpr const char* kMucUserNs = "http://jabber.org/protocol/muc#user";
constexpr const char* kMucAdminNs = "http://jabber.org/protocol/muc#admin";
constexpr const char* kMucOwnerNs = "http://jabber.org/protocol/muc#owner";
constexpr const char* kDiscoInfoNs = "http://jabber.org/protocol/disco#info";
constexpr const char* kExtDiscoNs = "urn:xmpp:extdisco:2";
constexpr const char* kStanzaErrorNs = "urn:ietf:params:xml:ns:xmpp-stanzas";
constexpr const char* kQuickMatchRoom = "quickmatch";
// A made room whose code another room already has gets a new code, this many times.
constexpr int kMakeTries = 5;

uint64_t RandomBits() {
    static std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device();
}

std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\'': out += "&apos;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Attr(xmpp_stanza_t* stanza, const char* name) {
    const char* value = stanza ? xmpp_stanza_get_attribute(stanza, name) : nullptr;
    return value ? value : "";
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// "host", "host:port", "[v6]:port" or a bare v6 address.
void SplitServer(const std::string& server, std::string* host, uint16_t* port) {
    *host = server;
    *port = 5222;
    std::string portText;
    if (!server.empty() && server.front() == '[') {
        const auto close = server.find(']');
        *host = server.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < server.size() && server[close + 1] == ':')
            portText = server.substr(close + 2);
    } else if (std::count(server.begin(), server.end(), ':') == 1) {
        const auto colon = server.find(':');
        *host = server.substr(0, colon);
        portText = server.substr(colon + 1);
    }
    if (!portText.empty()) {
        const long value = std::strtol(portText.c_str(), nullptr, 10);
        if (value > 0 && value <= 65535) *port = static_cast<uint16_t>(value);
    }
}

struct Jid {
    std::string bare;
    std::string resource;
};
Jid SplitJid(const char* text) {
    const std::string jid = text ? text : "";
    const auto slash = jid.find('/');
    if (slash == std::string::npos) return {Lower(jid), ""};
    return {Lower(jid.substr(0, slash)), jid.substr(slash + 1)};
}

// The defined condition of an error stanza ("item-not-found", ...), or "".
std::string ErrorCondition(xmpp_stanza_t* stanza) {
    xmpp_stanza_t* error = xmpp_stanza_get_child_by_name(stanza, "error");
    for (xmpp_stanza_t* c = error ? xmpp_stanza_get_children(error) : nullptr; c;
         c = xmpp_stanza_get_next(c)) {
        const char* ns = xmpp_stanza_get_ns(c);
        const char* name = xmpp_stanza_get_name(c);
        if (ns && name && std::string_view(ns) == kStanzaErrorNs) return name;
    }
    return "";
}

void InitializeLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { xmpp_initialize(); });
}

enum class Mode : uint8_t { kMake, kJoin, kQuick, kWatch };

struct Occupant {
    std::string realJid;  // as the room shows it to its owner; may be empty
    std::string affiliation;
};

}  // namespace

struct LobbyClient::Impl {
    LobbyOptions options;
    xmpp_ctx_t* ctx = nullptr;
    xmpp_conn_t* conn = nullptr;
    std::string domain;
    std::string roomService;
    Clock::time_point startedAt = Clock::now();
    bool leaving = false;
    int nextId = 0;

    Mode mode = Mode::kMake;
    LobbyState state = LobbyState::kConnecting;
    LobbyError error = LobbyError::kNone;
    std::string settings;
    std::string typedCode;

    LobbyServices services;
    bool servicesAnswered = false;

    // The room for two.
    std::string nick;
    std::string code;
    std::string roomJid;
    bool host = false;
    bool making = false;  // the presence sent to roomJid is to make it (else to join it)
    bool inRoom = false;  // our own presence in the room came back
    int makeTries = 0;
    std::map<std::string, Occupant> occupants;
    std::string peer;

    // The watch room beside a made room (its maker's side): who watches.
    std::string watchJid;
    bool inWatch = false;  // our own presence there came back, as the room's maker
    std::vector<LobbyClient::Watcher> watchers;

    // The quick-match room.
    std::string quickJid;
    bool inQuick = false;
    bool quickJoined = false;
    bool pairing = false;
    std::vector<std::string> older;
    std::vector<std::string> newer;
    std::string partner;
    Clock::time_point offeredAt;

    // The lines.
    std::string myPath;
    bool myReady = false;
    bool sentHello = false, sentSettings = false, sentPath = false, sentReady = false;
    std::string peerVersion, peerSettings, peerPath;
    bool peerReady = false;

    explicit Impl(LobbyOptions o) : options(std::move(o)) {
        InitializeLibraryOnce();
        const bool trace = std::getenv("VOLTRAX_LOBBY_TRACE") != nullptr;
        ctx = xmpp_ctx_new(nullptr, trace ? xmpp_get_default_logger(XMPP_LEVEL_DEBUG) : nullptr);
        conn = xmpp_conn_new(ctx);
        std::string host;
        uint16_t port = 5222;
        SplitServer(options.server, &host, &port);
        domain = Lower(options.domain.empty() ? host : options.domain);
        roomService = "rooms." + domain;
        quickJid = std::string(kQuickMatchRoom) + "@" + roomService;
        char nickText[16];
        std::snprintf(nickText, sizeof nickText, "p%08x", static_cast<unsigned>(RandomBits()));
        nick = nickText;
        // A jid without a local part and no password: SASL ANONYMOUS. TLS when the
        // lobby offers it, plain when it does not (a lobby on loopback).
        xmpp_conn_set_jid(conn, domain.c_str());
        xmpp_handler_add(conn, &Impl::OnPresence, nullptr, "presence", nullptr, this);
        xmpp_handler_add(conn, &Impl::OnMessage, nullptr, "message", nullptr, this);
        if (xmpp_connect_client(conn, host.c_str(), port, &Impl::OnConnection, this) != XMPP_EOK)
            Fail(LobbyError::kUnreachable);
    }

    ~Impl() {
        Leave();
        leaving = true;
        xmpp_conn_release(conn);
        xmpp_ctx_free(ctx);
    }

    // ---- sending ----

    void Send(const std::string& xml) {
        if (!conn || !xmpp_conn_is_connected(conn)) return;
        xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(ctx, xml.c_str());
        if (!stanza) return;
        xmpp_send(conn, stanza);
        xmpp_stanza_release(stanza);
    }

    std::string NewId(xmpp_handler handler) {
        const std::string id = "vx" + std::to_string(++nextId);
        xmpp_id_handler_add(conn, handler, id.c_str(), this);
        return id;
    }

    void EnterRoom(const std::string& jid) {
        Send("<presence to='" + Escape(jid + "/" + nick) + "'><x xmlns='" + kMucNs +
             "'><history maxstanzas='0'/></x></presence>");
    }
    void LeaveRoom(const std::string& jid) {
        Send("<presence type='unavailable' to='" + Escape(jid + "/" + nick) + "'/>");
    }
    void SendLine(LineKind kind, const std::string& text) {
        // A watcher talks with the room's maker alone.
        if (mode == Mode::kWatch) return SendPrivate(roomJid + "/" + peer, kind, text);
        Send("<message type='groupchat' to='" + Escape(roomJid) + "'><body>" +
             Escape(WriteLine({kind, text})) + "</body></message>");
    }
    void SendPrivate(const std::string& to, LineKind kind, const std::string& text) {
        Send("<message type='chat' to='" + Escape(to) + "'><body>" + Escape(WriteLine({kind, text})) +
             "</body></message>");
    }

    // ---- the three ways in ----

    void MakeNewRoom() {
        code = MakeRoomCode(RandomBits());
        roomJid = RoomNameFor(code) + "@" + roomService;
        making = true;
        inRoom = false;
        occupants.clear();
        EnterRoom(roomJid);
    }

    void FindRoom(const std::string& c) {
        code = c;
        roomJid = (mode == Mode::kWatch ? WatchRoomNameFor(code) : RoomNameFor(code)) + "@" + roomService;
        making = false;
        inRoom = false;
        occupants.clear();
        const std::string id = NewId(&Impl::OnRoomInfo);
        Send("<iq type='get' id='" + id + "' to='" + Escape(roomJid) + "'><query xmlns='" + kDiscoInfoNs +
             "'/></iq>");
    }

    void EnterQuickMatch() {
        inQuick = true;
        quickJoined = false;
        pairing = false;
        host = false;
        code.clear();
        roomJid.clear();
        older.clear();
        newer.clear();
        partner.clear();
        state = LobbyState::kEntering;
        EnterRoom(quickJid);
    }

    void LeaveQuickMatch() {
        if (!inQuick) return;
        LeaveRoom(quickJid);
        inQuick = false;
    }

    void Begin() {
        state = LobbyState::kEntering;
        const std::string id = NewId(&Impl::OnServices);
        Send("<iq type='get' id='" + id + "' to='" + Escape(domain) + "'><services xmlns='" + kExtDiscoNs +
             "'/></iq>");
        switch (mode) {
            case Mode::kMake:
                host = true;
                MakeNewRoom();
                break;
            case Mode::kJoin:
            case Mode::kWatch: {
                const auto c = ReadRoomCode(typedCode);
                if (!c) {
                    Fail(LobbyError::kRoomNotFound);
                    return;
                }
                FindRoom(*c);
                break;
            }
            case Mode::kQuick: EnterQuickMatch(); break;
        }
    }

    // A quick-match player whose pairing came to nothing waits again; anyone else fails.
    void FailOrRequeue(LobbyError why) {
        if (mode == Mode::kQuick && why != LobbyError::kVersionsDiffer && why != LobbyError::kUnreachable) {
            if (!roomJid.empty()) LeaveRoom(roomJid);
            inRoom = false;
            occupants.clear();
            peer.clear();
            EnterQuickMatch();
            return;
        }
        Fail(why);
    }

    void Fail(LobbyError why) {
        if (state == LobbyState::kFailed) return;
        error = why;
        state = LobbyState::kFailed;
        if (!roomJid.empty()) LeaveRoom(roomJid);
        LeaveWatchRoom();
        LeaveQuickMatch();
        inRoom = false;
        if (conn && xmpp_conn_is_connected(conn)) {
            xmpp_run_once(ctx, 0);  // hand the goodbyes over before the stream closes
            xmpp_disconnect(conn);
        }
    }

    void Leave() {
        if (!conn || leaving) return;
        if (state != LobbyState::kFailed && xmpp_conn_is_connected(conn)) {
            if (!roomJid.empty()) LeaveRoom(roomJid);
            LeaveWatchRoom();
            LeaveQuickMatch();
        }
        leaving = true;
        if (xmpp_conn_is_connected(conn)) {
            xmpp_run_once(ctx, 0);
            xmpp_disconnect(conn);
            for (int i = 0; i < 4 && !xmpp_conn_is_disconnected(conn); ++i) xmpp_run_once(ctx, 0);
        }
    }

    // ---- the lines ----

    void Together(const std::string& nickOfPeer) {
        peer = nickOfPeer;
        state = LobbyState::kTogether;
        SendOurLines();
    }

    void SendOurLines() {
        if (state != LobbyState::kTogether) return;
        if (!sentHello) {
            SendLine(LineKind::kHello, options.version);
            sentHello = true;
        }
        if (host && !sentSettings && !settings.empty()) {
            SendLine(LineKind::kSettings, settings);
            sentSettings = true;
        }
        if (!sentPath && !myPath.empty()) {
            SendLine(LineKind::kPath, myPath);
            sentPath = true;
        }
        if (!sentReady && myReady) {
            SendLine(LineKind::kReady, "");
            sentReady = true;
        }
    }

    void TakeLine(const LobbyLine& line) {
        switch (line.kind) {
            case LineKind::kHello:
                peerVersion = line.text;
                if (line.text != options.version) Fail(LobbyError::kVersionsDiffer);
                break;
            case LineKind::kSettings:
                if (!host) peerSettings = line.text;
                break;
            case LineKind::kPath: peerPath = line.text; break;
            case LineKind::kReady: peerReady = true; break;
            case LineKind::kFull:
                if (mode == Mode::kWatch) Fail(LobbyError::kWatchersFull);
                break;
            case LineKind::kOffer: break;
        }
    }

    // ---- the room for two ----

    void RoomPresence(xmpp_stanza_t* stanza, const std::string& from, const char* type) {
        const std::string t = type ? type : "";
        xmpp_stanza_t* x = xmpp_stanza_get_child_by_name_and_ns(stanza, "x", kMucUserNs);
        bool self = from == nick, created = false, kicked = false;
        for (xmpp_stanza_t* c = x ? xmpp_stanza_get_children(x) : nullptr; c; c = xmpp_stanza_get_next(c)) {
            const char* name = xmpp_stanza_get_name(c);
            if (!name || std::string_view(name) != "status") continue;
            const std::string statusCode = Attr(c, "code");
            if (statusCode == "110") self = true;
            if (statusCode == "201") created = true;
            if (statusCode == "307" || statusCode == "321" || statusCode == "322") kicked = true;
        }
        if (mode == Mode::kWatch) return WatcherPresence(stanza, from, t, self, created, kicked);
        if (t == "error") {
            const std::string condition = ErrorCondition(stanza);
            if (making) {
                NextCodeOrFail();
            } else if (condition == "item-not-found") {
                FailOrRequeue(LobbyError::kRoomNotFound);
            } else {
                FailOrRequeue(LobbyError::kRoomFull);
            }
            return;
        }
        if (self && t == "unavailable") {
            const bool wasTogether = state == LobbyState::kTogether;
            inRoom = false;
            roomJid.clear();
            FailOrRequeue(wasTogether && !kicked ? LobbyError::kOtherLeft : LobbyError::kRoomFull);
            return;
        }
        if (self) {
            if (inRoom) return;
            inRoom = true;
            if (making) {
                if (!created) {
                    NextCodeOrFail();  // a room with this code was there already
                    return;
                }
                making = false;
                state = LobbyState::kWaiting;
                if (mode == Mode::kQuick)
                    OfferRoomToPartner();
                else
                    OpenWatchRoom();
                return;
            }
            if (created) {  // the room was not there: we only made an empty one
                FailOrRequeue(LobbyError::kRoomNotFound);
                return;
            }
            if (occupants.size() >= 2) {
                FailOrRequeue(LobbyError::kRoomFull);
            } else if (occupants.empty()) {
                FailOrRequeue(LobbyError::kRoomNotFound);
            } else {
                Together(occupants.begin()->first);
            }
            return;
        }
        if (t == "unavailable") {
            occupants.erase(from);
            if (from == peer) FailOrRequeue(LobbyError::kOtherLeft);
            return;
        }
        xmpp_stanza_t* item = x ? xmpp_stanza_get_child_by_name(x, "item") : nullptr;
        occupants[from] = Occupant{Attr(item, "jid"), Attr(item, "affiliation")};
        if (!inRoom || !host) return;
        if (peer.empty()) {
            AdmitGuest(from);
            Together(from);
        } else if (from != peer) {
            const std::string id = NewId(&Impl::OnIgnoredAnswer);
            Send("<iq type='set' id='" + id + "' to='" + Escape(roomJid) + "'><query xmlns='" + kMucAdminNs +
                 "'><item nick='" + Escape(from) + "' role='none'><reason>" +
                 Escape(LobbyErrorWords(LobbyError::kRoomFull)) + "</reason></item></query></iq>");
        }
    }

    void NextCodeOrFail() {
        if (roomJid.size() > 0 && inRoom) LeaveRoom(roomJid);
        inRoom = false;
        if (++makeTries >= kMakeTries) {
            FailOrRequeue(LobbyError::kUnreachable);
            return;
        }
        MakeNewRoom();
    }

    // The guest becomes a member and the room members-only: nobody else gets in.
    void AdmitGuest(const std::string& guest) {
        const std::string realJid = SplitJid(occupants[guest].realJid.c_str()).bare;
        if (realJid.empty()) return;  // the room hides it: the kick above keeps others out
        std::string id = NewId(&Impl::OnIgnoredAnswer);
        Send("<iq type='set' id='" + id + "' to='" + Escape(roomJid) + "'><query xmlns='" + kMucAdminNs +
             "'><item affiliation='member' jid='" + Escape(realJid) + "'/></query></iq>");
        id = NewId(&Impl::OnIgnoredAnswer);
        Send("<iq type='set' id='" + id + "' to='" + Escape(roomJid) + "'><query xmlns='" + kMucOwnerNs +
             "'><x xmlns='jabber:x:data' type='submit'>"
             "<field var='FORM_TYPE'><value>http://jabber.org/protocol/muc#roomconfig</value></field>"
             "<field var='muc#roomconfig_membersonly'><value>1</value></field>"
             "</x></query></iq>");
    }

    // ---- watching ----

    // The maker's watch room: made beside the room, open to anyone with the code (the
    // players' room closes once its guest is in). A watch room someone else made first
    // is left: that room's match then has no watchers.
    void OpenWatchRoom() {
        watchJid = WatchRoomNameFor(code) + "@" + roomService;
        inWatch = false;
        watchers.clear();
        EnterRoom(watchJid);
    }
    void LeaveWatchRoom() {
        if (watchJid.empty()) return;
        LeaveRoom(watchJid);
        watchJid.clear();
        inWatch = false;
        watchers.clear();
    }

    // The maker hears who comes and goes in its watch room; a watcher past kMaxWatchers
    // is told the match is full and sent out.
    void MakerWatchPresence(xmpp_stanza_t* stanza, const std::string& from, const char* type) {
        const std::string t = type ? type : "";
        xmpp_stanza_t* x = xmpp_stanza_get_child_by_name_and_ns(stanza, "x", kMucUserNs);
        bool self = from == nick, created = false;
        for (xmpp_stanza_t* c = x ? xmpp_stanza_get_children(x) : nullptr; c; c = xmpp_stanza_get_next(c)) {
            const char* name = xmpp_stanza_get_name(c);
            if (!name || std::string_view(name) != "status") continue;
            if (Attr(c, "code") == "110") self = true;
            if (Attr(c, "code") == "201") created = true;
        }
        if (t == "error" || (self && t == "unavailable")) {
            watchJid.clear();
            inWatch = false;
            watchers.clear();
            return;
        }
        if (self) {
            if (!created && !inWatch) return LeaveWatchRoom();
            inWatch = true;
            return;
        }
        if (!inWatch) return;
        const auto known =
            std::find_if(watchers.begin(), watchers.end(), [&](const auto& w) { return w.nick == from; });
        if (t == "unavailable") {
            if (known != watchers.end()) watchers.erase(known);
            return;
        }
        if (known != watchers.end()) return;
        const std::string to = watchJid + "/" + from;
        if (watchers.size() >= kMaxWatchers) {
            SendPrivate(to, LineKind::kFull, "");
            const std::string id = NewId(&Impl::OnIgnoredAnswer);
            Send("<iq type='set' id='" + id + "' to='" + Escape(watchJid) + "'><query xmlns='" + kMucAdminNs +
                 "'><item nick='" + Escape(from) + "' role='none'/></query></iq>");
            return;
        }
        watchers.push_back({from, "", ""});
        SendPrivate(to, LineKind::kHello, options.version);
    }

    void MakerHearsWatcher(const std::string& from, const LobbyLine& line) {
        for (auto& w : watchers) {
            if (w.nick != from) continue;
            if (line.kind == LineKind::kHello) w.version = line.text;
            if (line.kind == LineKind::kPath) w.path = line.text;
        }
    }

    // A watcher in the watch room: the room's maker is its owner, and the watcher's
    // lines go to it alone.
    void WatcherPresence(xmpp_stanza_t* stanza, const std::string& from, const std::string& t, bool self,
                         bool created, bool kicked) {
        if (t == "error") return Fail(LobbyError::kRoomNotFound);
        if (self && t == "unavailable") {
            inRoom = false;
            roomJid.clear();
            return Fail(kicked ? LobbyError::kWatchersFull : LobbyError::kOtherLeft);
        }
        if (self) {
            if (inRoom) return;
            inRoom = true;
            if (created) return Fail(LobbyError::kRoomNotFound);  // we only made an empty one
            for (const auto& [name, occupant] : occupants)
                if (occupant.affiliation == "owner") return Together(name);
            return Fail(LobbyError::kRoomNotFound);
        }
        if (t == "unavailable") {
            occupants.erase(from);
            if (from == peer) Fail(LobbyError::kOtherLeft);
            return;
        }
        xmpp_stanza_t* x = xmpp_stanza_get_child_by_name_and_ns(stanza, "x", kMucUserNs);
        xmpp_stanza_t* item = x ? xmpp_stanza_get_child_by_name(x, "item") : nullptr;
        occupants[from] = Occupant{Attr(item, "jid"), Attr(item, "affiliation")};
    }

    // ---- quick match ----

    void QuickPresence(xmpp_stanza_t* stanza, const std::string& from, const char* type) {
        const std::string t = type ? type : "";
        xmpp_stanza_t* x = xmpp_stanza_get_child_by_name_and_ns(stanza, "x", kMucUserNs);
        bool self = from == nick;
        for (xmpp_stanza_t* c = x ? xmpp_stanza_get_children(x) : nullptr; c; c = xmpp_stanza_get_next(c)) {
            const char* name = xmpp_stanza_get_name(c);
            if (name && std::string_view(name) == "status" && Attr(c, "code") == "110") self = true;
        }
        if (!inQuick) return;
        if (t == "error") {
            Fail(LobbyError::kUnreachable);
            return;
        }
        auto drop = [&from](std::vector<std::string>& list) {
            list.erase(std::remove(list.begin(), list.end(), from), list.end());
        };
        if (self) {
            if (t != "unavailable") quickJoined = true;
        } else if (t == "unavailable") {
            drop(older);
            drop(newer);
        } else if (std::find(older.begin(), older.end(), from) == older.end() &&
                   std::find(newer.begin(), newer.end(), from) == newer.end()) {
            (quickJoined ? newer : older).push_back(from);
        }
        // The oldest waiting player pairs itself with the first that came after it.
        if (quickJoined && !pairing && older.empty() && !newer.empty()) {
            pairing = true;
            partner = newer.front();
            host = true;
            makeTries = 0;
            MakeNewRoom();
        }
    }

    void OfferRoomToPartner() {
        Send("<message type='chat' to='" + Escape(quickJid + "/" + partner) + "'><body>" +
             Escape(WriteLine({LineKind::kOffer, code})) + "</body></message>");
        LeaveQuickMatch();
        offeredAt = Clock::now();
    }

    void QuickOffer(const std::string& from, const LobbyLine& line) {
        if (!inQuick || pairing || std::find(older.begin(), older.end(), from) == older.end()) return;
        pairing = true;
        LeaveQuickMatch();
        host = false;
        FindRoom(line.text);
    }

    // ---- libstrophe's callbacks ----

    static void OnConnection(xmpp_conn_t*, xmpp_conn_event_t event, int, xmpp_stream_error_t*, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (self->leaving) return;
        if (event == XMPP_CONN_CONNECT) {
            if (self->state == LobbyState::kConnecting) self->Begin();
            return;
        }
        if (event == XMPP_CONN_DISCONNECT || event == XMPP_CONN_FAIL) {
            if (self->state != LobbyState::kFailed) {
                self->error = LobbyError::kUnreachable;
                self->state = LobbyState::kFailed;
            }
        }
    }

    static int OnPresence(xmpp_conn_t*, xmpp_stanza_t* stanza, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (self->leaving || self->state == LobbyState::kFailed) return 1;
        const Jid from = SplitJid(xmpp_stanza_get_from(stanza));
        if (from.resource.empty()) return 1;
        const char* type = xmpp_stanza_get_type(stanza);
        if (from.bare == self->quickJid) {
            self->QuickPresence(stanza, from.resource, type);
        } else if (!self->watchJid.empty() && from.bare == self->watchJid) {
            self->MakerWatchPresence(stanza, from.resource, type);
        } else if (!self->roomJid.empty() && from.bare == self->roomJid) {
            self->RoomPresence(stanza, from.resource, type);
        }
        return 1;
    }

    static int OnMessage(xmpp_conn_t*, xmpp_stanza_t* stanza, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (self->leaving || self->state == LobbyState::kFailed) return 1;
        const Jid from = SplitJid(xmpp_stanza_get_from(stanza));
        const char* typeText = xmpp_stanza_get_type(stanza);
        const std::string type = typeText ? typeText : "normal";
        // An empty <body/> has no text child: anyone in a room can send one.
        char* bodyText = xmpp_message_get_body(stanza);
        const std::string body = bodyText ? bodyText : "";
        if (bodyText) xmpp_free(self->ctx, bodyText);
        if (body.empty() || from.resource.empty()) return 1;
        const auto line = ReadLine(body, nullptr);
        if (!line) return 1;
        if (type == "groupchat" && from.bare == self->roomJid && from.resource == self->peer &&
            self->state == LobbyState::kTogether && line->kind != LineKind::kOffer) {
            self->TakeLine(*line);
        } else if (type == "chat" && self->mode == Mode::kWatch && from.bare == self->roomJid &&
                   self->occupants.count(from.resource) != 0 &&
                   self->occupants[from.resource].affiliation == "owner") {
            self->TakeLine(*line);
        } else if (type == "chat" && !self->watchJid.empty() && from.bare == self->watchJid) {
            self->MakerHearsWatcher(from.resource, *line);
        } else if (type == "chat" && from.bare == self->quickJid && line->kind == LineKind::kOffer) {
            self->QuickOffer(from.resource, *line);
        }
        return 1;
    }

    static int OnRoomInfo(xmpp_conn_t*, xmpp_stanza_t* stanza, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (self->leaving || self->state == LobbyState::kFailed) return 0;
        const char* type = xmpp_stanza_get_type(stanza);
        if (type && std::string_view(type) == "error") {
            if (ErrorCondition(stanza) == "item-not-found") {
                self->FailOrRequeue(LobbyError::kRoomNotFound);
                return 0;
            }
        } else {
            xmpp_stanza_t* query = xmpp_stanza_get_child_by_name(stanza, "query");
            for (xmpp_stanza_t* c = query ? xmpp_stanza_get_children(query) : nullptr; c;
                 c = xmpp_stanza_get_next(c)) {
                const char* name = xmpp_stanza_get_name(c);
                if (name && std::string_view(name) == "feature" && Attr(c, "var") == "muc_membersonly") {
                    self->FailOrRequeue(LobbyError::kRoomFull);
                    return 0;
                }
            }
        }
        self->EnterRoom(self->roomJid);
        return 0;
    }

    static int OnServices(xmpp_conn_t*, xmpp_stanza_t* stanza, void* data) {
        auto* self = static_cast<Impl*>(data);
        if (self->leaving) return 0;
        std::vector<ServiceEntry> entries;
        xmpp_stanza_t* list = xmpp_stanza_get_child_by_name_and_ns(stanza, "services", kExtDiscoNs);
        for (xmpp_stanza_t* c = list ? xmpp_stanza_get_children(list) : nullptr; c;
             c = xmpp_stanza_get_next(c)) {
            const char* name = xmpp_stanza_get_name(c);
            if (!name || std::string_view(name) != "service") continue;
            entries.push_back({Attr(c, "type"), Attr(c, "transport"), Attr(c, "host"), Attr(c, "port"),
                               Attr(c, "username"), Attr(c, "password")});
        }
        self->services = PickServices(entries);
        self->servicesAnswered = true;
        return 0;
    }

    static int OnIgnoredAnswer(xmpp_conn_t*, xmpp_stanza_t*, void*) { return 0; }

    void Poll() {
        if (!ctx || leaving) return;
        if (conn && !xmpp_conn_is_disconnected(conn)) xmpp_run_once(ctx, 0);
        const auto now = Clock::now();
        if (state == LobbyState::kConnecting && now - startedAt > options.connectTimeout)
            Fail(LobbyError::kUnreachable);
        // Quick match: a partner that never came to our room; back to waiting.
        if (mode == Mode::kQuick && host && state == LobbyState::kWaiting && !inQuick &&
            now - offeredAt > options.partnerTimeout)
            FailOrRequeue(LobbyError::kOtherLeft);
    }
};

LobbyClient::LobbyClient(LobbyOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}
LobbyClient::~LobbyClient() = default;

void LobbyClient::MakeRoom(std::string settings) {
    impl_->mode = Mode::kMake;
    impl_->settings = std::move(settings);
}
void LobbyClient::JoinRoom(std::string_view typedCode) {
    impl_->mode = Mode::kJoin;
    impl_->typedCode = std::string(typedCode);
}
void LobbyClient::QuickMatch(std::string settings) {
    impl_->mode = Mode::kQuick;
    impl_->settings = std::move(settings);
}
void LobbyClient::WatchRoom(std::string_view typedCode) {
    impl_->mode = Mode::kWatch;
    impl_->typedCode = std::string(typedCode);
    impl_->nick[0] = 'w';
}
void LobbyClient::Poll() {
    impl_->Poll();
}
LobbyState LobbyClient::State() const {
    return impl_->state;
}
LobbyError LobbyClient::Error() const {
    return impl_->error;
}
std::string LobbyClient::ErrorWords() const {
    if (impl_->error == LobbyError::kVersionsDiffer && !impl_->peerVersion.empty())
        return "The other player has VOLTRAX " + impl_->peerVersion + ", this is " + impl_->options.version +
               ".";
    if (impl_->error == LobbyError::kOtherLeft && impl_->mode == Mode::kWatch)
        return "The players of that room left the lobby.";
    return LobbyErrorWords(impl_->error);
}
bool LobbyClient::IsHost() const {
    return impl_->host && impl_->state >= LobbyState::kWaiting;
}
const std::string& LobbyClient::Code() const {
    return impl_->code;
}
bool LobbyClient::ServicesAnswered() const {
    return impl_->servicesAnswered;
}
const LobbyServices& LobbyClient::Services() const {
    return impl_->services;
}
void LobbyClient::SendPath(std::string line) {
    impl_->myPath = std::move(line);
    impl_->SendOurLines();
}
void LobbyClient::SendReady() {
    impl_->myReady = true;
    impl_->SendOurLines();
}
const std::string& LobbyClient::PeerVersion() const {
    return impl_->peerVersion;
}
const std::string& LobbyClient::PeerSettings() const {
    return impl_->peerSettings;
}
const std::string& LobbyClient::PeerPath() const {
    return impl_->peerPath;
}
bool LobbyClient::PeerReady() const {
    return impl_->peerReady;
}
const std::vector<LobbyClient::Watcher>& LobbyClient::Watchers() const {
    return impl_->watchers;
}
void LobbyClient::SendPathToWatcher(const std::string& nick, const std::string& line) {
    if (!impl_->inWatch) return;
    for (const auto& w : impl_->watchers)
        if (w.nick == nick) impl_->SendPrivate(impl_->watchJid + "/" + nick, LineKind::kPath, line);
}
void LobbyClient::Leave() {
    impl_->Leave();
}

const char* LobbyErrorWords(LobbyError error) {
    switch (error) {
        case LobbyError::kNone: return "";
        case LobbyError::kUnreachable: return "The lobby cannot be reached.";
        case LobbyError::kRoomNotFound: return "No room has that code.";
        case LobbyError::kRoomFull: return "That room already has its two players.";
        case LobbyError::kVersionsDiffer: return "The other player has another version of VOLTRAX.";
        case LobbyError::kOtherLeft: return "The other player left.";
        case LobbyError::kWatchersFull:
            static_assert(kMaxWatchers == 8);
            return "That match already has 8 watchers, as many as it takes.";
    }
    return "";
}

}  // namespace vx::net::lobby
