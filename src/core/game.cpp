#include "core/game.h"

namespace vx {

Game::Game(GamePlatform platform)
    : host(platform.host),
      random(platform.random),
      files(platform.files),
      settingsFile(platform.files),
      wavePlayer(platform.wavePlayer),
      sequencer(platform.sequencer) {}

}  // namespace vx
