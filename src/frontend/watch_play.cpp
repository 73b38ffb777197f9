#include "frontend/watch_play.h"

#include <filesystem>

#include "core/game.h"
#include "draw/item_panel.h"
#include "draw/match_frame.h"
#include "draw/match_panel.h"
#include "draw/screen_pictures.h"
#include "draw/sprite_blit.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_events_output.h"
#include "match/match_loop.h"
#include "match/match_sequences.h"
#include "match/screen_change.h"
#include "match/screen_wipe.h"
#include "net/enet_link.h"
#include "net/net_match.h"
#include "net/watch_client.h"
#include "platform/asset_paths.h"
#include "platform/version.h"
#include "sound/music.h"

namespace vx {

namespace {

// More than this many frames queued (three seconds behind the host's frames as they
// came: more than the waiting screen and the intro take) and two are shown a turn until
// the watcher has caught up.
constexpr std::size_t kCatchUpFrames = 90;
// A window that stopped showing (minimised, a dialog open) keeps at most this many
// frames; the match on screen is then cut short rather than the memory growing.
constexpr std::size_t kMostQueued = 60 * 30 * 10;

}  // namespace

std::unique_ptr<WatchPlay> WatchPlay::Open(Game& g, const std::string& address, uint16_t port,
                                           std::string& error) {
    auto link = net::EnetLink::Join(address, port, &error);
    if (!link) return nullptr;
    return std::unique_ptr<WatchPlay>(new WatchPlay(g, std::move(link)));
}

std::unique_ptr<WatchPlay> WatchPlay::Over(Game& g, std::unique_ptr<net::Link> link) {
    return std::unique_ptr<WatchPlay>(new WatchPlay(g, std::move(link)));
}

WatchPlay::WatchPlay(Game& g, std::unique_ptr<net::Link> link)
    : g_(g),
      random_(1, [] { return uint64_t{0}; }),
      files_(std::filesystem::temp_directory_path()),
      shadow_(GamePlatform{random_, files_, noWindow_, noEffects_, noMusic_}),
      link_(link.get()) {
    watcher_ = std::make_unique<net::MatchWatcher>(std::move(link), VOLTRAX_VERSION_TEXT, shadow_);
    watcher_->onMatchSetUp = [this] {
        Entry entry;
        entry.start = std::make_unique<Entry::Start>();
        entry.start->start = watcher_->Start();
        entry.start->joinedAtFrame = watcher_->JoinedAtFrame();
        entry.start->state = watcher_->State();
        queue_.push_back(std::move(entry));
        reported_ = false;
    };
    watcher_->onFrameStepped = [this](const KeyFlagSet& keys) {
        Entry entry;
        entry.keys = keys;
        queue_.push_back(std::move(entry));
    };
}

WatchPlay::~WatchPlay() {
    if (g_.frameSource == this) g_.frameSource = nullptr;
    if (!watcher_->Ended()) watcher_->Leave();
}

bool WatchPlay::Deletable() const {
    return finished_ && !g_.flow.Busy() && g_.ScreenState == screen_state::kTitle && g_.frameSource != this;
}

void WatchPlay::Pump() {
    if (finished_) return;
    watcher_->Pump(clock());
    if (watcher_->MatchOver() && !reported_) {
        reported_ = true;
        if (verbose != nullptr) *verbose << watcher_->SummaryLine() << std::endl;
    }
    // Frames of a match the window is not showing are of no use to it.
    if (queue_.size() > kMostQueued && !inMatch_)
        while (!queue_.empty() && !queue_.front().start) queue_.pop_front();
}

void WatchPlay::Leave() {
    if (finished_ || leaving_) return;
    leaving_ = true;
    watcher_->Leave();
}

bool WatchPlay::AtRest() const {
    if (g_.flow.Busy()) return false;
    if (cutOff_ || !session_) return true;
    switch (g_.ScreenState) {
        case screen_state::kResult: return true;
        case screen_state::kWaiting: return waiting_;
        default: return false;
    }
}

void WatchPlay::Poll() {
    if (finished_) return;
    Pump();
    if (!AtRest()) return;
    if (leaving_) {
        Finish("");
        return;
    }
    if (!session_) {
        if (watcher_->Ended()) {
            Finish(watcher_->EndMessage());
        } else if (link_->Connected() && g_.ScreenState == screen_state::kTitle) {
            session_ = true;
            g_.frameSource = this;
            EnterScreen(g_, Screen::kLeavingTitle);
            g_.GameMode = game_mode::kVs2P;
            ShowWaiting();
        }
        return;
    }
    // Frames left over from a match cut short go; the next match starts from its own.
    while (!queue_.empty() && !queue_.front().start) queue_.pop_front();
    if (!queue_.empty()) {
        StartNextMatch();
    } else if (watcher_->Ended()) {
        Finish(watcher_->EndMessage());
    } else if (cutOff_) {
        cutOff_ = false;
        EnterScreen(g_, Screen::kBusy);
        ShowWaiting();
    }
}

void WatchPlay::ShowWaiting() {
    // The guest's waiting picture without a stage number, until the host starts a match.
    waiting_ = true;
    if (MusicWanted(g_)) SwitchToOpeningMusic(g_);
    ShowGuestWaiting(g_);
}

void WatchPlay::StartNextMatch() {
    starting_ = std::move(queue_.front().start);
    queue_.pop_front();
    waiting_ = cutOff_ = false;
    g_.StageNo = starting_->start.stage;
    g_.GameMode = game_mode::kVs2P;
    g_.MatchRequest = match_request::kNone;
    EnterScreen(g_, Screen::kToMatch);
    StartMatch(g_);
}

void WatchPlay::BeginMatch(Game& g) {
    inMatch_ = true;
    if (!starting_) return;  // cannot happen: only StartNextMatch starts a match
    // As the players' sides set their matches up (NetMatch), from the watcher's state.
    net::ApplyStart(g, starting_->start);
    g.Scores = {0, 0};
    RestoreMatchState(g, r_, starting_->state);
    g.MatchRequest = match_request::kNone;
    g.ScreenState = screen_state::kPlaying;
    if (starting_->joinedAtFrame > 0) {
        // Come in mid-match: the panel shows the state's scores, clock and item.
        DrawScore(g, 0);
        DrawScore(g, 1);
        if (g.RuleKind == rule_kind::kTime) g.ClockChanged = true;
        RepaintItemPanel(g, r_.item);
    }
    starting_.reset();
}

bool WatchPlay::PlayTurn(Game& g) {
    // The next match began at the host before this one was shown to its end (or the
    // window fell far behind): this one is cut short.
    const bool nextMatch = !queue_.empty() && queue_.front().start;
    if (leaving_ || nextMatch || queue_.size() > kMostQueued || (queue_.empty() && watcher_->Ended())) {
        inMatch_ = false;
        cutOff_ = true;
        return false;
    }
    EraseFrame(g, r_.pucks, r_.paddles, r_.item, r_.sprites);
    const int frames = queue_.size() > kCatchUpFrames ? 2 : 1;
    for (int i = 0; i < frames && !queue_.empty() && !queue_.front().start; ++i) {
        const KeyFlagSet keys = queue_.front().keys;
        queue_.pop_front();
        const MatchEvents events = StepMatchFrame(g, r_, game_mode::kVs2P, keys);
        OutputMatchEvents(g, events, event_output::kAll);
    }
    DrawFrame(g, r_.pucks, r_.paddles, r_.item, r_.sprites);
    return true;
}

void WatchPlay::Stopped(Game&) {
    // Never paused, so never stopped from the pause screen; a stop leaves all the same.
    Leave();
}

void WatchPlay::Finish(const std::string& message) {
    message_ = message;
    finished_ = true;
    inMatch_ = waiting_ = false;
    g_.frameSource = nullptr;
    if (g_.ScreenState == screen_state::kTitle && !session_) return;
    // Whatever played stops at once, a match's tune too.
    StopMusic(g_);
    g_.MatchRequest = match_request::kNone;
    ApplySettings(g_);
    EnterScreen(g_, Screen::kToTitle);
    ShowTitle(g_, false);
}

}  // namespace vx
