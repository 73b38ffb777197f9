#include "paddles/paddle_movement.h"

#include "core/stage_tables.h"

namespace vx {

namespace {

constexpr int32_t kStep = 8;
// The limit test uses the full back paddle's reach whatever its current length, so a
// shortened paddle stops at the same heights.
constexpr int32_t kLimitReach = 45;
constexpr int32_t kHalfWidth = 5;  // the sprite is 10 pixels wide from the first move on

bool IsHeld(bool flag) {
    return flag;
}

// Flag pair to move code: only one of the two held makes a move.
uint8_t CodeFromFlags(bool upHeld, bool downHeld, uint8_t up, uint8_t down) {
    if (IsHeld(upHeld) && !IsHeld(downHeld)) return up;
    if (IsHeld(downHeld) && !IsHeld(upHeld)) return down;
    return move_code::kNone;
}

bool MayMove(const Paddle& back, bool up) {
    const bool roomAbove = back.y - kLimitReach >= table::kFieldTop;
    const bool roomBelow = back.y + kLimitReach <= table::kFieldBottom;
    // A reversed sign turns "up" into a downward move, so the other edge limits it.
    if (back.directionSign == 1) return up ? roomAbove : roomBelow;
    if (back.directionSign == -1) return up ? roomBelow : roomAbove;
    return false;
}

void SetPaddleBounds(Paddle& p) {
    MakeRect(p.bounds, p.x - kHalfWidth, p.y - p.halfLength, p.x + kHalfWidth, p.y + p.halfLength);
}

}  // namespace

void MovePaddlesFromKeys(const KeyFlagSet& keys, Paddles& paddles) {
    const uint8_t player1 = CodeFromFlags(keys[0], keys[1], move_code::kPlayer1Up, move_code::kPlayer1Down);
    if (player1 != move_code::kNone) MovePaddles(player1, paddles);
    const uint8_t player2 = CodeFromFlags(keys[3], keys[2], move_code::kPlayer2Up, move_code::kPlayer2Down);
    if (player2 != move_code::kNone) MovePaddles(player2, paddles);
}

void MovePaddles(uint8_t code, Paddles& paddles) {
    if (code >= move_code::kPlayer1Up && code <= move_code::kPlayer2Down) {
        const bool player1 = code <= move_code::kPlayer1Down;
        const bool up = code == move_code::kPlayer1Up || code == move_code::kPlayer2Up;
        Paddle& back = paddles[player1 ? 0 : 2];
        Paddle& front = paddles[player1 ? 1 : 3];
        if (MayMove(back, up)) {
            const int32_t backStep = up ? -kStep : kStep;
            back.y += backStep * back.directionSign;
            front.y -= backStep * front.directionSign;
            SetPaddleBounds(back);
            SetPaddleBounds(front);
        }
    }
    for (Paddle& p : paddles) p.prevBounds = p.bounds;
}

}  // namespace vx
