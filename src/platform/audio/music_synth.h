// The live synthesizer: one FluidSynth synth with a General MIDI SoundFont playing one
// tune in a loop, rendered on demand into a buffer by whoever owns it. The audio
// callback plays through one while a tune has yet to be rendered ahead of time; the
// render runs through another, the same way, so the two sound alike sample for sample.
// Not thread-safe: the owner serialises every call (the audio device lock).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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

    // Plays a file already vouched for by ReadMidiFileInfo from its start, from a synth
    // as fresh as a new one (channels, voices and effects reset). Each pass lasts
    // passFrames; then the notes still held are released, ringing on under the next
    // pass, which starts at once. The first pass starts on the synth's next block
    // boundary, where a new synth would start it.
    void Play(std::vector<uint8_t> bytes, int64_t passFrames);
    // Silence at once.
    void Stop();
    // Ends the tune where it stands without starting another pass: the notes held are
    // released and ring out (the render takes what follows a pass this way).
    void Release();
    bool Playing() const { return player_ != nullptr; }
    // Whole passes played since Play, and frames into the current one.
    int64_t PassesDone() const { return passesDone_; }
    int64_t FramesIntoPass() const { return framesIntoPass_; }

    // Writes `frames` interleaved stereo float frames (silence when nothing sounds).
    void Render(float* stereo, int frames);

  private:
    void StartPlayer();
    void DropPlayer();
    void Write(float* stereo, int frames);

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    int fontId_ = -1;
    std::string error_;

    std::vector<uint8_t> bytes_;
    int64_t passFrames_ = 0;
    int64_t leadIn_ = 0;  // frames left before the first pass starts
    bool releasing_ = false;
    int64_t passesDone_ = 0;
    int64_t framesIntoPass_ = 0;
    uint64_t written_ = 0;  // frames the synth has produced, for its block boundaries
};

// The last error FluidSynth logged; its own log output is kept off standard error.
std::string LastFluidSynthError();

}  // namespace vx::audio
