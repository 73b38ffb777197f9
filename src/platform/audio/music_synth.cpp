#include "platform/audio/music_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace vx::audio {

namespace {

std::mutex logMutex;
std::string lastError;

void KeepFluidSynthLog(int level, const char* message, void*) {
    if (level > FLUID_ERR || message == nullptr) return;
    std::lock_guard lock(logMutex);
    lastError = message;
}

void QuietFluidSynthLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, KeepFluidSynthLog, nullptr);
    });
}

}  // namespace

std::string LastFluidSynthError() {
    std::lock_guard lock(logMutex);
    return lastError;
}

MusicSynth::MusicSynth(int sampleRate, const std::filesystem::path& soundFont) {
    QuietFluidSynthLog();
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) {
        error_ = "cannot make synthesiser settings";
        return;
    }
    fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
    // Every call is serialised by the audio device lock already.
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    // Two quiet tunes need few voices; a cap keeps the worst case cheap.
    fluid_settings_setint(settings_, "synth.polyphony", 64);
    fluid_settings_setnum(settings_, "synth.gain", 0.4);
    fluid_settings_setint(settings_, "synth.chorus.active", 0);
    // The player's clock is the samples rendered, not the wall clock, so a tune sounds
    // the same whether the device asks for it or a render runs through it at full speed.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    // The loop's next pass must not cut the last notes of the one before.
    fluid_settings_setint(settings_, "player.reset-synth", 0);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) {
        error_ = "cannot make the synthesiser: " + LastFluidSynthError();
        return;
    }
    fontId_ = fluid_synth_sfload(synth_, soundFont.c_str(), 1);
    if (fontId_ < 0) error_ = "cannot load SoundFont " + soundFont.string() + ": " + LastFluidSynthError();
}

MusicSynth::~MusicSynth() {
    DropPlayer();
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    if (settings_ != nullptr) delete_fluid_settings(settings_);
}

void MusicSynth::DropPlayer() {
    if (player_ == nullptr) return;
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
}

// A fresh player for every pass: FluidSynth's player, once done, keeps its own idea of
// where its playlist stands, and a new one always starts clean.
void MusicSynth::StartPlayer() {
    player_ = new_fluid_player(synth_);
    if (player_ == nullptr) return;
    if (fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK) {
        DropPlayer();
        return;
    }
    fluid_player_play(player_);
}

void MusicSynth::Play(std::vector<uint8_t> bytes, int64_t passFrames) {
    Stop();
    bytes_ = std::move(bytes);
    passFrames_ = passFrames;
    passesDone_ = framesIntoPass_ = 0;
    // An empty tune has nothing to play.
    if (!Ready() || passFrames_ <= 0) return;
    fluid_synth_system_reset(synth_);
    // A player's first events sound from the first block the synth computes after it
    // starts; the rest of the block under way is what the synth had before the reset.
    const int block = fluid_synth_get_internal_bufsize(synth_);
    leadIn_ = static_cast<int64_t>((block - written_ % static_cast<uint64_t>(block)) %
                                   static_cast<uint64_t>(block));
    StartPlayer();
}

void MusicSynth::Stop() {
    DropPlayer();
    releasing_ = false;
    leadIn_ = 0;
    if (synth_ != nullptr) fluid_synth_all_sounds_off(synth_, -1);
}

void MusicSynth::Release() {
    DropPlayer();
    releasing_ = true;
    if (synth_ != nullptr) fluid_synth_all_notes_off(synth_, -1);
}

void MusicSynth::Write(float* stereo, int frames) {
    fluid_synth_write_float(synth_, frames, stereo, 0, 2, stereo, 1, 2);
    written_ += static_cast<uint64_t>(frames);
}

void MusicSynth::Render(float* stereo, int frames) {
    if (synth_ == nullptr ||
        (player_ == nullptr && !releasing_ && fluid_synth_get_active_voice_count(synth_) == 0)) {
        std::memset(stereo, 0, sizeof(float) * 2 * static_cast<size_t>(frames));
        return;
    }
    for (int done = 0; done < frames;) {
        float* out = stereo + 2 * static_cast<ptrdiff_t>(done);
        const int64_t left = frames - done;
        if (leadIn_ > 0) {
            const int count = static_cast<int>(std::min(left, leadIn_));
            Write(out, count);
            std::memset(out, 0, sizeof(float) * 2 * static_cast<size_t>(count));
            leadIn_ -= count;
            done += count;
        } else if (player_ != nullptr) {
            const int count = static_cast<int>(std::min(left, passFrames_ - framesIntoPass_));
            Write(out, count);
            done += count;
            framesIntoPass_ += count;
            if (framesIntoPass_ == passFrames_) {
                ++passesDone_;
                framesIntoPass_ = 0;
                DropPlayer();
                fluid_synth_all_notes_off(synth_, -1);
                StartPlayer();
            }
        } else {
            Write(out, static_cast<int>(left));
            done = frames;
        }
    }
}

}  // namespace vx::audio
