#include "sound/effects.h"

#include <string>

#include "core/game.h"
#include "platform/asset_paths.h"

namespace vx {

void PlayEffect(Game& g, std::string_view name, uint8_t mode) {
    if (!g.Options.On(Switch::kEffects)) return;
    if (mode != effect_mode::kStart && mode != effect_mode::kToTheEnd) return;
    const std::string gamePath = asset::EffectSound(name);
    g.wavePlayer.PlayWave(g.files.Resolve(gamePath), mode == effect_mode::kToTheEnd);
}

}  // namespace vx
