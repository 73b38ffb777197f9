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

void MusicSynth::Open(std::vector<uint8_t> bytes, const MidiFileInfo& info) {
    Close();
    bytes_ = std::move(bytes);
    info_ = info;
    open_ = true;
    playedFrom_ = 0;
    stoppedAt_ = 0;
}

void MusicSynth::Play(int32_t fromTick) {
    if (!open_ || !Ready()) return;
    // A fresh player for every start: FluidSynth's player, once done, keeps its own
    // idea of where its playlist stands, and a new one always starts clean.
    DropPlayer();
    fluid_synth_all_notes_off(synth_, -1);
    playedFrom_ = std::clamp(fromTick, 0, info_.lengthTicks);
    stoppedAt_ = playedFrom_;
    // An empty tune has nothing to play; its position already equals its length.
    if (info_.lengthTicks == 0) return;
    player_ = new_fluid_player(synth_);
    if (player_ == nullptr) return;
    if (fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK) {
        DropPlayer();
        return;
    }
    if (playedFrom_ > 0) fluid_player_seek(player_, playedFrom_);
    fluid_player_play(player_);
}

void MusicSynth::Stop() {
    if (player_ != nullptr) stoppedAt_ = Position();
    DropPlayer();
    if (synth_ != nullptr) fluid_synth_all_sounds_off(synth_, -1);
}

void MusicSynth::Close() {
    Stop();
    open_ = false;
    bytes_.clear();
    info_ = {};
    playedFrom_ = stoppedAt_ = 0;
}

int32_t MusicSynth::Position() {
    if (player_ == nullptr) return stoppedAt_;
    if (fluid_player_get_status(player_) == FLUID_PLAYER_DONE) return info_.lengthTicks;
    // Before the player's first tick it still reports 0, not where it was told to start.
    const int32_t tick = fluid_player_get_current_tick(player_);
    return std::clamp(std::max(tick, playedFrom_), 0, info_.lengthTicks);
}

void MusicSynth::Render(float* stereo, int frames) {
    if (synth_ == nullptr || (player_ == nullptr && fluid_synth_get_active_voice_count(synth_) == 0)) {
        std::memset(stereo, 0, sizeof(float) * 2 * static_cast<size_t>(frames));
        return;
    }
    fluid_synth_write_float(synth_, frames, stereo, 0, 2, stereo, 1, 2);
}

}  // namespace vx::audio
