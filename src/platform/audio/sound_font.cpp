#include "platform/audio/sound_font.h"

#include <fluidsynth.h>

#include <algorithm>
#include <vector>

namespace vx::audio {

namespace fs = std::filesystem;

namespace {

// A dangling alternatives link is common (default-GM.sf3 pointing at nothing), so a
// candidate counts only when it leads to a regular file.
bool IsUsable(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

std::optional<fs::path> FluidSynthDefault() {
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr) return std::nullopt;
    char* value = nullptr;
    std::optional<fs::path> result;
    if (fluid_settings_dupstr(settings, "synth.default-soundfont", &value) == FLUID_OK && value != nullptr) {
        result = fs::path(value);
        fluid_free(value);
    }
    delete_fluid_settings(settings);
    return result;
}

}  // namespace

std::optional<fs::path> FindGeneralMidiSoundFont() {
    const fs::path systemDefault = "/usr/share/sounds/sf2/default-GM.sf2";
    if (IsUsable(systemDefault)) return systemDefault;
    if (const auto configured = FluidSynthDefault(); configured && IsUsable(*configured)) return configured;
    for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/sounds/sf3", "/usr/share/soundfonts"}) {
        std::vector<fs::path> found;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path ext = it->path().extension();
            if ((ext == ".sf2" || ext == ".sf3") && IsUsable(it->path())) found.push_back(it->path());
        }
        std::sort(found.begin(), found.end());
        if (!found.empty()) return found.front();
    }
    return std::nullopt;
}

}  // namespace vx::audio
