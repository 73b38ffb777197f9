// Gamepads as the game sees them: a pad's lever directions become that player's up and
// down keys (the same key handlers, so the same KeyFlags), Start pauses and resumes,
// Back stops a paused match, and on the title, stage select and result screens the
// d-pad moves the hover look between the buttons while A presses one and B is RETURN
// (the same mouse handlers at the button's centre, so the same looks and sounds).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pad_state.h"

namespace vx {

struct Game;

class PadInput {
  public:
    // Takes the pads' state from one poll. Pads keep their player while they stay
    // plugged in: the first pad is player 1, the second player 2 (a freed place goes to
    // the next pad plugged in); in 1P VS CPU every pad steers player 1. A pad unplugged
    // while it steers a match pauses it. Commands that run on (a resumed match, a screen
    // change) return before the rest of the poll is looked at; the next poll sees it.
    void Apply(Game& g, const PadReadings& pads);

    // The player (1 or 2) whose lever pad id moves in the game's mode, or 0.
    int PlayerOf(const Game& g, uint32_t id) const;

  private:
    struct Known {
        uint32_t id = 0;
        int place = -1;                    // 0 first pad, 1 second, -1 none
        PadButtons last;                   // the controls as this object last acted on them
        int16_t heldUp = 0, heldDown = 0;  // the lever keys this pad holds down, 0 none
    };

    int PlayerOf(const Game& g, const Known& pad) const;
    void Forget(Game& g, Known& pad);
    void Steer(Game& g, Known& pad, const PadButtons& now);
    // False when a handler ran that may have changed the screen or run a match.
    bool Act(Game& g, Known& pad, const PadButtons& now);
    void Move(Game& g, int step);
    void Focus(Game& g, int16_t button);
    void Press(Game& g, Known& pad, int16_t button, bool withB);
    void Release(Game& g);

    std::vector<Known> pads_;
    uint8_t focusScreen_ = 0;  // the screen focus_ belongs to
    int16_t focus_ = 0;        // the button with the pad's hover look, 0 none
    int16_t pressed_ = 0;      // the button A or B holds down, 0 none
    uint32_t pressedBy_ = 0;   // the pad holding it
    bool pressedWithB_ = false;
};

}  // namespace vx
