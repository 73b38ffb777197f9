#include "draw/messages.h"

#include <array>

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

struct MessagePart {
    int32_t x, y;        // on the screen
    const char* sprite;  // in the sheet layout
};

struct Message {
    std::string_view name;
    int parts;
    std::array<MessagePart, 2> part;
};

// Sprites that run past the sheet's right edge are clipped by the transfer.
constexpr std::array<Message, 9> kMessages = {{
    {"Ready", 1, {{{154, 145, "msg.ready"}}}},
    {"Go!", 1, {{{190, 145, "msg.go"}}}},
    {"TimeUp", 1, {{{30, 145, "msg.time_up"}}}},
    {"GameSet", 1, {{{54, 145, "msg.game_set"}}}},
    {"Draw", 1, {{{21, 145, "msg.draw"}}}},
    {"you_win", 1, {{{30, 145, "msg.you_win"}}}},
    {"you_lose", 1, {{{30, 145, "msg.you_lose"}}}},
    {"Player1_win", 2, {{{53, 120, "msg.player1"}, {93, 180, "msg.win"}}}},
    {"Player2_win", 2, {{{53, 120, "msg.player2"}, {93, 180, "msg.win"}}}},
}};

}  // namespace

void ShowMessage(Game& g, std::string_view name) {
    for (const Message& m : kMessages) {
        if (m.name != name) continue;
        for (int i = 0; i < m.parts; ++i) {
            const MessagePart& p = m.part[static_cast<size_t>(i)];
            const SheetSprite& s = Sheet(p.sprite);
            DrawSprite(g, p.x, p.y, s.w, s.h, s.x, s.y);
        }
        RefreshMainPict(g);
        return;
    }
}

}  // namespace vx
