#include "core/game.h"

namespace vx {

Game::Game(GamePlatform platform)
    : random(platform.random), files(platform.files), settingsFile(platform.files) {}

}  // namespace vx
