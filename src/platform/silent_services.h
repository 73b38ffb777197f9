// Stand-ins for a Game with no window or no sound: every service a Game needs exists
// from its construction, so the game never asks whether one is there. Tests, tools and
// benchmarks that only step, draw into surfaces or read settings use these.
#pragma once

#include <filesystem>

#include "platform/host.h"
#include "platform/sequencer.h"
#include "platform/wave_player.h"

namespace vx {

// A host with no window: nothing is shown, the clock stands at 0 and the program counts
// as ending from the start, so it calls no tick and the game's flow runs no step, instead
// of waiting for a time or an event that can never come.
class NullHost : public Host {
  public:
    int64_t NowMs() override { return 0; }
    void WakeAfter(int64_t /*deadlineMs*/) override {}
    void WakeAfterEvents() override {}
    void Present(int /*x*/, int /*y*/, int /*w*/, int /*h*/) override {}
    void Refresh() override {}
    void SetMousePointer(MousePointer /*pointer*/) override {}
    void EndProgram() override {}
    bool Ending() const override { return true; }
};

// Plays nothing; returns at once even when asked to wait for the end.
class SilentWavePlayer : public WavePlayer {
  public:
    void PlayWave(const std::filesystem::path& /*path*/, bool /*waitToEnd*/) override {}
};

// Plays no tune.
class SilentSequencer : public Sequencer {
  public:
    void PlayLooping(const std::filesystem::path& /*midiFile*/) override {}
    void Stop() override {}
};

}  // namespace vx
