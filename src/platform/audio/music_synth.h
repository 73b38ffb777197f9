// The sequencer device behind the "midifile" alias: one FluidSynth synth with a General
// MIDI SoundFont and a player for the open file, rendered on demand into a buffer by
// whoever owns the audio callback. Not thread-safe: the owner serialises every call
// with rendering (the audio device lock).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/midi_file.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace vx::audio {

class MusicSynth {
  public:
    // Makes the synth and loads the SoundFont; Ready() says whether both worked, and
    // error() why not.
    MusicSynth(int sampleRate, const std::filesystem::path& soundFont);
    ~MusicSynth();
    MusicSynth(const MusicSynth&) = delete;
    MusicSynth& operator=(const MusicSynth&) = delete;

    bool Ready() const { return synth_ != nullptr && fontId_ >= 0; }
    const std::string& error() const { return error_; }

    // Takes a file already vouched for by ReadMidiFileInfo; replaces any open one.
    void Open(std::vector<uint8_t> bytes, const MidiFileInfo& info);
    bool IsOpen() const { return open_; }
    void Play(int32_t fromTick);
    void Stop();
    void Close();
    // In ticks. The position reads as the length as soon as the last event has passed,
    // not when the player has let its tail ring out, so a loop restarts on the beat.
    int32_t Position();
    int32_t Length() const { return info_.lengthTicks; }

    // Writes `frames` interleaved stereo float frames (silence when nothing sounds).
    void Render(float* stereo, int frames);

  private:
    void DropPlayer();

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    int fontId_ = -1;
    std::string error_;

    bool open_ = false;
    std::vector<uint8_t> bytes_;
    MidiFileInfo info_;
    int32_t playedFrom_ = 0;
    int32_t stoppedAt_ = 0;
};

// The last error FluidSynth logged; its own log output is kept off standard error.
std::string LastFluidSynthError();

}  // namespace vx::audio
