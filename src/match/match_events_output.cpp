#include "match/match_events_output.h"

#include "core/game.h"
#include "draw/item_panel.h"
#include "draw/match_panel.h"
#include "sound/effects.h"

namespace vx {

std::string_view EffectOf(uint8_t matchSound) {
    return matchSound == match_sound::kPaddleHit ? effect::kPaddleHit : effect::kBurst;
}

void OutputMatchEvents(Game& g, const MatchEvents& events, uint8_t output) {
    const bool pictures = (output & event_output::kPictures) != 0;
    const bool sounds = (output & event_output::kSounds) != 0;
    for (const MatchEvent& e : events) {
        switch (e.kind) {
            case MatchEvent::Kind::kSound:
                if (sounds) PlayEffect(g, EffectOf(e.sound), effect_mode::kStart);
                break;
            case MatchEvent::Kind::kGoal:
                if (pictures) DrawScoreOf(g, e.player, e.score);
                break;
            case MatchEvent::Kind::kItemStarted:
                if (pictures) DrawItemStarted(g, e.itemKind, e.owner);
                break;
            case MatchEvent::Kind::kItemEnded:
                if (pictures) DrawItemEnded(g, e.itemKind, e.owner, e.undone);
                break;
        }
    }
}

}  // namespace vx
