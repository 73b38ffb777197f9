#include "draw/messages.h"

#include <array>

#include "core/game.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

struct MessagePart {
    int32_t x, y, w, h, xs, ys;
};

struct Message {
    std::string_view name;
    int parts;
    std::array<MessagePart, 2> part;
};

// Sources that run past the sheet's right edge are clipped by the transfer.
constexpr std::array<Message, 9> kMessages = {{
    {"Ready", 1, {{{154, 145, 224, 51, 0, 360}}}},
    {"Go!", 1, {{{190, 145, 144, 51, 271, 360}}}},
    {"TimeUp", 1, {{{30, 145, 434, 50, 398, 0}}}},
    {"GameSet", 1, {{{54, 145, 434, 51, 425, 500}}}},
    {"Draw", 1, {{{21, 145, 434, 50, 398, 205}}}},
    {"you_win", 1, {{{30, 145, 434, 51, 398, 51}}}},
    {"you_lose", 1, {{{30, 145, 434, 51, 401, 103}}}},
    {"Player1_win", 2, {{{53, 120, 434, 50, 415, 256}, {93, 180, 434, 50, 415, 306}}}},
    {"Player2_win", 2, {{{53, 120, 434, 50, 415, 357}, {93, 180, 434, 50, 415, 306}}}},
}};

}  // namespace

void ShowMessage(Game& g, std::string_view name) {
    for (const Message& m : kMessages) {
        if (m.name != name) continue;
        for (int i = 0; i < m.parts; ++i) {
            const MessagePart& p = m.part[static_cast<size_t>(i)];
            DrawSprite(g, p.x, p.y, p.w, p.h, p.xs, p.ys);
        }
        RefreshMainPict(g);
        return;
    }
}

}  // namespace vx
