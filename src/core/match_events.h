// What one frame of a match did that the player sees or hears, in the order it happened:
// sounds, goals and the item's start and end. The step only records them; the drawing
// and the sound follow from them afterwards, so a frame can be stepped again (as a
// network match's rollback does) without drawing or playing anything twice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vx {

namespace match_sound {
constexpr uint8_t kPaddleHit = 1;  // a puck in play meets a paddle
constexpr uint8_t kBurst = 2;      // a puck bursts: in a goal or meeting another puck
}  // namespace match_sound

struct MatchEvent {
    enum class Kind : uint8_t {
        kSound,        // sound: a match_sound id, started and left to run
        kGoal,         // player 0 or 1 scored; score is that player's new score
        kItemStarted,  // the capsule was caught: kind and owner's icons, name strip, effect
        kItemEnded,    // the effect ran out: kind, owner, undone (false while Double waits)
    };
    Kind kind = Kind::kSound;
    uint8_t sound = 0;
    uint8_t player = 0;
    uint8_t score = 0;
    uint8_t itemKind = 0;
    int16_t owner = 0;  // -1 player 1, +1 player 2
    bool undone = false;
    bool operator==(const MatchEvent&) const = default;
};

// A frame's events. The most a frame can make is far below the capacity: three steps of
// at most three pucks, each meeting at most four paddles and bursting once, one
// collision a step, one item change.
struct MatchEvents {
    static constexpr int kCapacity = 64;
    std::array<MatchEvent, kCapacity> list{};
    uint8_t count = 0;

    void Add(const MatchEvent& e) {
        if (count < kCapacity) list[count++] = e;
    }
    void Sound(uint8_t id) { Add({MatchEvent::Kind::kSound, id}); }
    const MatchEvent* begin() const { return list.data(); }
    const MatchEvent* end() const { return list.data() + count; }
    bool operator==(const MatchEvents& o) const {
        if (count != o.count) return false;
        for (int i = 0; i < count; ++i)
            if (!(list[static_cast<size_t>(i)] == o.list[static_cast<size_t>(i)])) return false;
        return true;
    }
};

}  // namespace vx
