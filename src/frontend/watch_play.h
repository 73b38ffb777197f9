// Watching a host's network matches in the window: the host's matches are shown as its
// players see them (the field, scores, items, sounds, the result), frame by frame, from
// the frames the host sent. A MatchWatcher follows the host in a Game of its own; each
// match it sets up and each frame's keys it steps are queued here, and the window's
// match loop plays them again in the window's Game through this MatchFrameSource, one
// frame a turn (two while more than three seconds are queued), freezing while none
// has come. The watcher waits on the guest's waiting screen for the next match and never
// chooses, pauses or stops anything of the players'; leaving ends only the watching.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "core/game.h"
#include "core/match_frame_source.h"
#include "match/match_state.h"
#include "net/packets.h"
#include "platform/clock.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace vx {

namespace net {
class Link;
class MatchWatcher;
}  // namespace net

class WatchPlay : public MatchFrameSource {
  public:
    // Joins the host at address:port as a watcher. Null with a reason in error when the
    // link cannot be opened.
    static std::unique_ptr<WatchPlay> Open(Game& g, const std::string& address, uint16_t port,
                                           std::string& error);
    // Watches over a link already made (a room's match by its code: the path the lobby's
    // two sides found).
    static std::unique_ptr<WatchPlay> Over(Game& g, std::unique_ptr<net::Link> link);
    // Says goodbye to the host if it is still there.
    ~WatchPlay() override;

    // Call often from the window's event loop: receives what the host sent, and once
    // nothing runs on the screens shows the waiting screen, starts each match the host
    // started, and goes back to the title when the watching ends.
    void Poll();
    // Only receives: safe at any time, also from inside a match.
    void Pump();
    // This side stops watching (ゲーム > stop, closing the window): the match on screen
    // ends without a result and the title follows, without a message.
    void Leave();

    // The host answered and the waiting screen (or a match) is on screen.
    bool Following() const { return session_; }
    bool Finished() const { return finished_; }
    // The watching is over and the title is on screen: the owner may delete this (after
    // showing the end message, when there is one).
    bool Deletable() const;
    // Why the watching ended (MatchWatcher's words), empty when this side left.
    const std::string& EndMessage() const { return message_; }
    // Where the summary line of each match followed goes (as `--watch --headless
    // --verbose` prints it); null for nowhere.
    std::ostream* verbose = nullptr;
    std::function<int64_t()> clock = SteadyNowMs;

    // MatchFrameSource: the match loop plays the queued frames; nothing is chosen here.
    void BeginMatch(Game& g) override;
    MatchRecords& Records() override { return r_; }
    bool PlayTurn(Game& g) override;
    bool EndConfirmed() const override { return true; }  // every frame shown is confirmed
    void MatchEnded(Game&, bool) override { inMatch_ = false; }
    void Paused(Game&) override {}
    void Resumed(Game&) override {}
    void Stopped(Game& g) override;
    bool MayChoose() const override { return false; }
    bool MayPause() const override { return false; }
    void Chose(Game&, uint8_t, uint8_t) override {}
    void Ask(Game&, uint8_t) override {}

  private:
    // What the watcher passed on: a match set up (with its first state) or a frame's keys.
    struct Entry {
        struct Start {
            net::StartPacket start;
            uint32_t joinedAtFrame = 0;
            MatchState state;
        };
        std::unique_ptr<Start> start;  // null for a frame
        KeyFlagSet keys{};
    };

    WatchPlay(Game& g, std::unique_ptr<net::Link> link);
    bool AtRest() const;
    void ShowWaiting();
    void StartNextMatch();
    void Finish(const std::string& message);

    Game& g_;
    // The watcher's own Game: the matches come with their seeds, and nothing of it is
    // shown or heard.
    MixingRandom random_;
    ProgramFiles files_;
    NullHost noWindow_;
    SilentWavePlayer noEffects_;
    SilentSequencer noMusic_;
    Game shadow_;
    net::Link* link_ = nullptr;  // owned by watcher_
    std::unique_ptr<net::MatchWatcher> watcher_;
    std::deque<Entry> queue_;
    std::unique_ptr<Entry::Start> starting_;  // the match StartMatch is about to begin
    MatchRecords r_;
    bool reported_ = false;  // the summary line of the watcher's match is out
    bool session_ = false;   // the waiting screen or a match is on screen
    bool waiting_ = false;   // the waiting screen is up
    bool inMatch_ = false;   // BeginMatch ran and the match has not ended
    bool cutOff_ = false;    // a match ended without its result
    bool leaving_ = false;   // this side left
    bool finished_ = false;
    std::string message_;
};

}  // namespace vx
