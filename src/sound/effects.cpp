#include "sound/effects.h"

#include <string>

#include "core/game.h"

namespace vx {

void PlayEffect(Game& g, std::string_view name, uint8_t mode) {
    if (!g.Options.On(Switch::kEffects)) return;
    if (mode != effect_mode::kStart && mode != effect_mode::kToTheEnd) return;
    const std::string gamePath = "\\dat\\" + std::string(name) + ".wav";
    g.wavePlayer.PlayWave(g.files.Resolve(gamePath), mode == effect_mode::kToTheEnd);
}

}  // namespace vx
