// A match whose frames do not come from this program's keys alone (a network match):
// the match loop lets it set each match up, play each frame's turn and hear of pauses,
// resumes, stops and ends; the screens around a match let it decide who may choose.
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

// The choices made on the stage select and result screens.
namespace match_choice {
constexpr uint8_t kStage = 1;  // OK on the stage select screen, with the stage
constexpr uint8_t kRetry = 2;
constexpr uint8_t kStageSelect = 3;
constexpr uint8_t kTitle = 4;
}  // namespace match_choice

class MatchFrameSource {
  public:
    virtual ~MatchFrameSource() = default;

    // Sets up a new match on g: settings, seed, frame 0. Its records are Records().
    virtual void BeginMatch(Game& g) = 0;
    virtual MatchRecords& Records() = 0;
    // One frame's turn: erases, steps as many frames as it takes (none while waiting),
    // draws. False when the match cannot go on (the other side is gone).
    virtual bool PlayTurn(Game& g) = 0;
    // The match's end is certain (from frames both sides agree on), not only predicted.
    virtual bool EndConfirmed() const = 0;
    // The match reached its result (complete) or was stopped or cut off (not).
    virtual void MatchEnded(Game& g, bool complete) = 0;
    // This side's match was paused, or is resuming.
    virtual void Paused(Game& g) = 0;
    virtual void Resumed(Game& g) = 0;
    // The paused match is being stopped to the title on this side.
    virtual void Stopped(Game& g) = 0;

    // Whether this side may pause the match (one who only watches may not).
    virtual bool MayPause() const { return true; }
    // Whether this side makes the choices between matches (the other follows).
    virtual bool MayChoose() const = 0;
    // This side chose on the stage select or result screen (stage only for kStage).
    virtual void Chose(Game& g, uint8_t choice, uint8_t stage) = 0;
    // The side that does not choose pressed a result button: it asks the other for a
    // retry or the stage select, or leaves (kTitle).
    virtual void Ask(Game& g, uint8_t choice) = 0;
};

}  // namespace vx
