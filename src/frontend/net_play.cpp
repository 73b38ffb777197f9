#include "frontend/net_play.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iostream>

#include "core/game.h"
#include "core/match_settings.h"
#include "draw/item_panel.h"
#include "draw/match_frame.h"
#include "draw/match_panel.h"
#include "draw/menu_buttons.h"
#include "draw/screen_pictures.h"
#include "draw/sprite_blit.h"
#include "frontend/mouse.h"
#include "frontend/stage_select.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_loop.h"
#include "match/match_sequences.h"
#include "match/screen_change.h"
#include "match/screen_wipe.h"
#include "platform/asset_paths.h"
#include "platform/version.h"
#include "sound/music.h"

namespace vx {

static_assert(match_choice::kStage == net::choice_kind::kStage &&
                  match_choice::kRetry == net::choice_kind::kRetry &&
                  match_choice::kStageSelect == net::choice_kind::kStageSelect &&
                  match_choice::kTitle == net::choice_kind::kTitle,
              "the screens' choices travel as they are");

namespace {

constexpr const char* kProgramVersion = VOLTRAX_VERSION_TEXT;

// Two bits a frame from this side's player-1 keys (or pad): bit 0 and bit 1 as a
// local match reads KeyFlags[0] and KeyFlags[1].
net::InputBits LocalKeys(const Game& g) {
    return static_cast<net::InputBits>((g.KeyFlags[0] ? 1u : 0u) | (g.KeyFlags[1] ? 2u : 0u));
}

}  // namespace

bool ParseNetPort(std::string_view text, uint16_t& port, std::string& error) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 65535) {
        error = "\"" + std::string(text) + "\" is not a port (0 to 65535)";
        return false;
    }
    port = static_cast<uint16_t>(value);
    return true;
}

bool ParseJoinAddress(std::string_view text, std::string& address, uint16_t& port, std::string& error) {
    port = net::kDefaultPort;
    const size_t colon = text.rfind(':');
    address = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos && !ParseNetPort(text.substr(colon + 1), port, error)) return false;
    if (address.empty()) {
        error = "no address to join";
        return false;
    }
    return true;
}

net::PathKind PathToAddress(std::string_view address) {
    if (address.size() > 2 && address.front() == '[' && address.back() == ']')
        address = address.substr(1, address.size() - 2);
    if (address == "localhost") return net::PathKind::kLan;
    const std::string text(address);
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        const uint32_t a = ntohl(v4.s_addr);
        const auto in = [a](uint32_t net, int bits) { return (a >> (32 - bits)) == (net >> (32 - bits)); };
        // loopback, the three private ranges, link-local and the carriers' shared range
        const bool near = in(0x7F000000, 8) || in(0x0A000000, 8) || in(0xAC100000, 12) ||
                          in(0xC0A80000, 16) || in(0xA9FE0000, 16) || in(0x64400000, 10);
        return near ? net::PathKind::kLan : net::PathKind::kDirect;
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
        const uint8_t* b = v6.s6_addr;
        const bool near =
            IN6_IS_ADDR_LOOPBACK(&v6) || (b[0] == 0xfe && (b[1] & 0xc0) == 0x80) || (b[0] & 0xfe) == 0xfc;
        return near ? net::PathKind::kLan : net::PathKind::kDirect;
    }
    return net::PathKind::kDirect;
}

std::unique_ptr<NetPlay> NetPlay::Open(Game& g, bool host, const std::string& address, uint16_t port,
                                       std::string& error) {
    if (host) {
        auto link = net::EnetLink::Host(port, "", &error, net::kMaxWatchers);
        if (!link) return nullptr;
        const uint16_t opened = link->Port();
        net::EnetLink& enet = *link;
        // Whoever comes may be near or far; a mapped router port makes it "mapped" (the owner's).
        auto play =
            std::unique_ptr<NetPlay>(new NetPlay(g, std::move(link), true, opened, net::PathKind::kDirect));
        play->watchServer_ = std::make_unique<net::WatchServer>(enet);
        return play;
    }
    auto link = net::EnetLink::Join(address, port, &error);
    if (!link) return nullptr;
    return std::unique_ptr<NetPlay>(new NetPlay(g, std::move(link), false, 0, PathToAddress(address)));
}

std::unique_ptr<NetPlay> NetPlay::Over(Game& g, std::unique_ptr<net::Link> link, bool host,
                                       net::PathKind path) {
    // The room's maker serves the watchers who come by its code on its own ENet host,
    // which lies under the path (each watcher's path is carried into it).
    net::EnetLink* enet = host ? link->Enet() : nullptr;
    auto play = std::unique_ptr<NetPlay>(new NetPlay(g, std::move(link), host, 0, path));
    if (enet != nullptr) play->watchServer_ = std::make_unique<net::WatchServer>(*enet);
    return play;
}

NetPlay::NetPlay(Game& g, std::unique_ptr<net::Link> link, bool host, uint16_t port, net::PathKind path)
    : g_(g), port_(port), host_(host), path_(path) {
    net::PeerOptions options{host, kProgramVersion, std::nullopt, WallClockMicros()};
    if (const char* sim = std::getenv("VOLTRAX_NETSIM"); sim != nullptr && sim[0] != '\0') {
        std::string error;
        options.sim = net::ParseNetSim(sim, &error);
        if (!options.sim) std::cerr << "voltrax: VOLTRAX_NETSIM: " << error << "\n";
    }
    peer_ = std::make_unique<net::NetPeer>(std::move(link), options);
}

NetPlay::~NetPlay() {
    if (match_ && !replayKept_) match_->WriteReplay();
    if (watchServer_) watchServer_->CloseAll();
    if (g_.frameSource == this) g_.frameSource = nullptr;
    if (!peer_->Ended()) peer_->Leave();
}

int64_t NetPlay::Now() const {
    return clock();
}

std::optional<int> NetPlay::WaitingSeconds() const {
    if (finished_ || cutOff_ || !match_ || !g_.flow.InMatch() || g_.ScreenState != screen_state::kPlaying)
        return std::nullopt;
    const int64_t waited = peer_->WaitingMs();
    if (waited <= 0) return std::nullopt;
    return static_cast<int>(waited / 1000);
}

bool NetPlay::Deletable() const {
    return finished_ && !g_.flow.Busy() && g_.ScreenState == screen_state::kTitle && g_.frameSource != this;
}

void NetPlay::Pump() {
    if (finished_) return;
    peer_->Pump(Now());
    ServeWatchers();
}

void NetPlay::ServeWatchers() {
    if (watchServer_) watchServer_->Serve();
}

bool NetPlay::AtRest() const {
    // Nothing changes the screens while the flow runs a screen change or a match.
    if (g_.flow.Busy()) return false;
    // A match cut off by the link leaves the screen busy: only the title can follow.
    if (cutOff_) return true;
    switch (g_.ScreenState) {
        case screen_state::kTitle:
        case screen_state::kStageSelect:
        case screen_state::kResult:
        case screen_state::kPaused: return true;
        case screen_state::kWaiting: return guestWaiting_;
        default: return false;
    }
}

void NetPlay::Poll() {
    if (finished_) return;
    peer_->Pump(Now());
    // While the flow runs a screen change or a match, its steps do the rest.
    if (!AtRest()) return;
    if (peer_->Ended()) {
        // A stop is no fault: S on either side, or the host going back to the title, ends
        // the connection without a word, even when the link closed right after it.
        bool quiet = peer_->EndReason() == net::end_reason::kStopped || leaving_;
        while (const auto choice = peer_->TakeChoice()) quiet |= choice->kind == net::choice_kind::kTitle;
        while (const auto control = peer_->TakeControl()) quiet |= control->kind == net::control_kind::kStop;
        Finish(quiet ? std::string() : peer_->EndMessage());
        return;
    }
    if (!session_) {
        if (peer_->Ready() && g_.ScreenState == screen_state::kTitle) OpenSession();
        return;
    }
    if (g_.ScreenState == screen_state::kPaused && MatchPaused(g_)) {
        if (const auto control = peer_->TakeControl()) {
            if (control->kind == net::control_kind::kResume) {
                remoteResume_ = true;
                ResumeMatch(g_);
            } else if (control->kind == net::control_kind::kStop) {
                peer_->End(net::end_reason::kStopped, "");
                StopMatch(g_);
            }
        }
        return;
    }
    // Controls of a match that is over are of no use any more.
    while (peer_->TakeControl()) {
    }
    HearRequests();
    if (!host_ && (g_.ScreenState == screen_state::kResult || guestWaiting_)) FollowHost();
}

void NetPlay::HearRequests() {
    // Requests belong to the result screen: one that comes early waits for it, and
    // BeginMatch forgets any left over from the last one.
    if (g_.ScreenState != screen_state::kResult) return;
    const auto heard = peer_->TakeRequest();
    if (!heard) return;
    const uint8_t choice =
        heard->kind == net::request_kind::kRetry ? match_choice::kRetry : match_choice::kStageSelect;
    if (host_) {
        request_ = choice;
    } else if (heard->answer == net::request_answer::kRefuse && asked_ == choice) {
        asked_ = 0;
        refused_ = choice;
    }
}

void NetPlay::Ask(Game&, uint8_t choice) {
    if (host_ || finished_ || peer_->Ended()) return;
    if (choice == match_choice::kTitle) {
        // Leaving: the host is told and goes back to its title; this side's Poll follows.
        leaving_ = true;
        peer_->Leave();
        return;
    }
    asked_ = choice;
    refused_ = 0;
    peer_->SendRequest(
        choice == match_choice::kRetry ? net::request_kind::kRetry : net::request_kind::kStageSelect,
        net::request_answer::kAsk);
    peer_->Pump(Now());
}

void NetPlay::AnswerRequest(bool accept) {
    if (!host_ || request_ == 0 || peer_->Ended() || g_.flow.Busy() ||
        g_.ScreenState != screen_state::kResult)
        return;
    const uint8_t asked = request_;
    request_ = 0;
    if (accept) {
        // As if the host had pressed the same button: the guest follows as it always does.
        ChooseOnResult(g_, asked == match_choice::kRetry ? button::kRetry : button::kStageSelect);
        return;
    }
    peer_->SendRequest(
        asked == match_choice::kRetry ? net::request_kind::kRetry : net::request_kind::kStageSelect,
        net::request_answer::kRefuse);
    peer_->Pump(Now());
}

bool NetPlay::MaySwapSides() const {
    return host_ && session_ && !finished_ && !g_.flow.Busy() && g_.ScreenState == screen_state::kStageSelect;
}

void NetPlay::SetGuestOnLeft(bool onLeft) {
    if (!MaySwapSides()) return;
    guestOnLeft_ = onLeft;
    peer_->SendChoice(net::choice_kind::kSides, onLeft ? 1 : 0);
    peer_->Pump(Now());
}

void NetPlay::SetInputDelay(std::optional<uint32_t> frames) {
    if (frames) frames = std::min(*frames, net::kMaxInputDelay);
    inputDelay_ = frames;
    if (match_) match_->SetFixedInputDelay(inputDelay_);
}

std::optional<net::LinkFigures> NetPlay::Figures() const {
    if (!match_ || finished_) return std::nullopt;
    switch (g_.ScreenState) {
        case screen_state::kPlaying:
        case screen_state::kPaused:
        case screen_state::kResumeRequested: return match_->Figures(Now());
        default: return std::nullopt;
    }
}

void NetPlay::OpenSession() {
    session_ = true;
    g_.frameSource = this;
    EnterScreen(g_, Screen::kLeavingTitle);
    g_.GameMode = game_mode::kVs2P;
    if (host_) {
        ShowStageSelect(g_);
    } else {
        ShowGuestWaiting();
    }
}

void NetPlay::ShowGuestWaiting() {
    guestWaiting_ = true;
    if (MusicWanted(g_)) SwitchToOpeningMusic(g_);
    vx::ShowGuestWaiting(g_);
}

void NetPlay::FollowHost() {
    const auto choice = peer_->TakeChoice();
    if (!choice) return;
    switch (choice->kind) {
        case net::choice_kind::kSides: guestOnLeft_ = choice->value != 0; break;
        case net::choice_kind::kStage:
        case net::choice_kind::kRetry:
            asked_ = refused_ = 0;
            if (const auto start = peer_->TakeStart()) {
                start_ = *start;
                guestWaiting_ = false;
                g_.StageNo = start_.stage;
                g_.GameMode = game_mode::kVs2P;
                g_.MatchRequest = match_request::kNone;
                EnterScreen(g_, Screen::kToMatch);
                if (choice->kind == net::choice_kind::kStage) {
                    StartMatch(g_);
                } else {
                    RetryMatch(g_);
                }
            }
            break;
        case net::choice_kind::kStageSelect:
            asked_ = refused_ = 0;
            g_.MatchRequest = match_request::kNone;
            EnterScreen(g_, Screen::kBusy);
            ShowGuestWaiting();
            break;
        case net::choice_kind::kTitle: Finish(""); return;
        default: break;
    }
}

void NetPlay::SendStart(uint8_t stage) {
    // The host's options (its menu's choices, whatever the last match was played with).
    const match_settings::Values chosen = match_settings::FromOptions(g_.Options, stage);
    start_.stage = chosen.stage;
    start_.ruleKind = chosen.ruleKind;
    start_.timeLimit = chosen.timeLimit;
    start_.scoreLimit = chosen.scoreLimit;
    start_.difficulty = chosen.difficulty;
    start_.seed = DrawMatchSeed(g_);
    peer_->SendStart(start_);
}

void NetPlay::Chose(Game& g, uint8_t choice, uint8_t stage) {
    request_ = 0;  // whatever the guest asked, this is the answer
    if (choice == match_choice::kStage || choice == match_choice::kRetry) SendStart(stage);
    peer_->SendChoice(choice, choice == match_choice::kStage ? stage : 0);
    peer_->Pump(Now());
    if (choice == match_choice::kTitle) {
        // The guest goes back to its title too; neither side has anything to say.
        peer_->End(net::end_reason::kStopped, "");
        finished_ = true;
        g.frameSource = nullptr;
    }
}

void NetPlay::BeginMatch(Game& g) {
    if (match_ && !replayKept_) match_->WriteReplay();
    match_.reset();
    // Player 1 plays on the left: the host, unless it let the guest have that side.
    const int localPlayer = host_ == guestOnLeft_ ? 1 : 0;
    match_ = std::make_unique<net::NetMatch>(g, *peer_, localPlayer, start_, ++matchNo_);
    match_->SetFixedInputDelay(inputDelay_);
    if (watchServer_) watchServer_->SetMatch(match_.get(), start_, matchNo_);
    peer_->TakeRequest();
    request_ = asked_ = refused_ = 0;
    replayKept_ = false;
    remotePause_ = remoteResume_ = false;
}

bool NetPlay::PlayTurn(Game& g) {
    if (peer_->Ended()) {
        cutOff_ = true;
        return false;
    }
    while (const auto control = peer_->TakeControl()) {
        if (control->kind == net::control_kind::kPause && g.MatchRequest != match_request::kPause) {
            remotePause_ = true;
            g.MatchRequest = match_request::kPause;
        }
    }
    MatchRecords& r = match_->Records();
    const uint64_t rolledBack = match_->Session().RolledBackFrames();
    EraseFrame(g, r.pucks, r.paddles, r.item, r.sprites);
    match_->Tick(Now(), LocalKeys(g));
    if (match_->Session().RolledBackFrames() != rolledBack) {
        // Frames run again may have undone a goal, a second of the clock or an item that
        // the first run drew: the panel is drawn again from the corrected state.
        DrawScore(g, 0);
        DrawScore(g, 1);
        if (g.RuleKind == rule_kind::kTime) g.ClockChanged = true;
        RepaintItemPanel(g, r.item);
    }
    DrawFrame(g, r.pucks, r.paddles, r.item, r.sprites);
    // The players' turn is done: now the watchers.
    ServeWatchers();
    cutOff_ = peer_->Ended();
    return !cutOff_;
}

bool NetPlay::EndConfirmed() const {
    return match_ && match_->Session().EndFrame().has_value();
}

void NetPlay::MatchEnded(Game&, bool complete) {
    if (watchServer_ && match_) {
        // The match's last frames go out at once; the watchers then wait for the next.
        watchServer_->Serve();
        watchServer_->SetMatch(nullptr, start_, matchNo_);
    }
    if (!match_ || replayKept_) return;
    const Replay agreed = match_->WriteReplay();
    replayKept_ = true;
    if (verbose != nullptr)
        *verbose << match_->SummaryLine(&agreed) << (complete ? "" : " (cut short)")
                 << " path=" << net::PathName(path_) << std::endl;
}

void NetPlay::Paused(Game&) {
    if (!remotePause_) peer_->SendControl(net::control_kind::kPause, match_->Session().Frame());
    remotePause_ = false;
    peer_->Pump(Now());
}

void NetPlay::Resumed(Game&) {
    if (!remoteResume_) peer_->SendControl(net::control_kind::kResume, match_->Session().Frame());
    remoteResume_ = false;
    peer_->Pump(Now());
}

void NetPlay::Stopped(Game& g) {
    MatchEnded(g, false);
    peer_->End(net::end_reason::kStopped, "");
    peer_->Pump(Now());
    finished_ = true;
    g.frameSource = nullptr;
}

void NetPlay::KeepDesyncEvidence() {
    if (!match_ || g_.ReplayFolder.empty()) return;
    const int64_t date = static_cast<int64_t>(WallClockMicros() / 1000000);
    const auto folder = net::NetMatch::DesyncFolder(g_.ReplayFolder, host_, date);
    std::string error;
    if (!match_->WriteDesyncEvidence(folder, error)) {
        std::cerr << "voltrax: " << error << "\n";
        return;
    }
    desyncFolder_ = folder.string();
    message_ += " What happened is kept in " + desyncFolder_ + ".";
}

void NetPlay::Finish(const std::string& message) {
    message_ = message;
    if (watchServer_) watchServer_->CloseAll();
    endReason_ = message.empty() ? net::end_reason::kNone : peer_->EndReason();
    if (endReason_ == net::end_reason::kOutOfStep) KeepDesyncEvidence();
    if (match_ && !replayKept_) MatchEnded(g_, false);
    finished_ = true;
    g_.frameSource = nullptr;
    guestWaiting_ = false;
    ReturnToTitle();
}

void NetPlay::ReturnToTitle() {
    if (g_.ScreenState == screen_state::kTitle && !session_) return;
    // Whatever played stops at once, a match's tune too.
    StopMusic(g_);
    g_.MatchRequest = match_request::kNone;
    ApplySettings(g_);
    EnterScreen(g_, Screen::kToTitle);
    ShowTitle(g_, false);
}

}  // namespace vx
