// Keeps the include directions of src/ one way: each folder may include its own files
// and those of the layers below it; the match step's folders reach no drawing, sound,
// window or clock; only the shell may reach Qt, only the sound and gamepad back-ends SDL
// or FluidSynth, only net/ ENet and only net/lobby/ libstrophe. A failure names the file,
// the line and the rule it breaks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Lower numbers sit lower. A folder may include folders of a lower rank; folders of one
// rank may include each other only where they share the shell's rank.
const std::map<std::string, int> kLayerRank = {
    {"platform", 0},   {"platform/audio", 1}, {"platform/pads", 1},              // stand-ins
    {"core", 2},                                                                 // shared ground
    {"stage", 3},      {"puck", 4},           {"paddles", 5},       {"sim", 6},  // the match step
    {"sound", 7},      {"draw", 8},                                              // output
    {"match", 9},      {"net", 10},           {"frontend", 11},                  // flow
    {"net/lobby", 10},  // the lobby's back-end: may use net/, which may not use it
    {"net/ice", 11},    // back-end of online play's paths (libnice, NAT-PMP, UPnP)
    {"window", 12},    {"help", 12},          {"about", 12},        {".", 12},  // shell
};
constexpr int kShellRank = 12;
// The match step is a function of the state and the keys: below drawing and sound by
// rank, and kept from the platform's screen, sound, host and clock by name.
constexpr int kTopStepRank = 6;
const std::set<std::string> kOutsideTheStep = {
    "platform/host.h",
    "platform/headless_host.h",
    "platform/clock.h",
    "platform/surface.h",
    "platform/wave_player.h",
    "platform/sequencer.h",
    "platform/silent_services.h",
    "core/wait_rule.h",
    "core/match_frame_source.h",
};
// The back-ends that may reach SDL (sound and gamepads) or FluidSynth (sound).
const std::set<std::string> kSdlFolders = {"platform/audio", "platform/pads"};

bool IsQt(const std::string& header) {
    return header.rfind("Q", 0) == 0 || header.rfind("qt", 0) == 0;
}
bool IsSdlOrSynth(const std::string& header) {
    return header.rfind("SDL", 0) == 0 || header.rfind("fluidsynth", 0) == 0;
}
bool IsEnet(const std::string& header) {
    return header.rfind("enet/", 0) == 0;
}
bool IsStrophe(const std::string& header) {
    return header == "strophe.h";
}

// libnice, GLib (which it stands on), NAT-PMP and UPnP belong to the path back-end alone.
bool IsPathLibrary(const std::string& header) {
    return header.rfind("nice/", 0) == 0 || header.rfind("glib", 0) == 0 || header.rfind("gio/", 0) == 0 ||
           header == "natpmp.h" || header.rfind("miniupnpc/", 0) == 0;
}

struct Violation {
    std::string where;
    std::string rule;
};

std::vector<Violation> CheckTree(const fs::path& src) {
    std::vector<Violation> found;
    const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    const std::regex angled(R"(^\s*#\s*include\s*<([^>]+)>)");
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp") continue;
        std::string folder = entry.path().parent_path().lexically_relative(src).generic_string();
        if (folder == "window/install") folder = "window";
        const auto rank = kLayerRank.find(folder);
        if (rank == kLayerRank.end()) {
            found.push_back({entry.path().string(), "folder has no layer in the table"});
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            const std::string where =
                entry.path().lexically_relative(src).generic_string() + ":" + std::to_string(n);
            std::smatch m;
            if (std::regex_search(line, m, angled)) {
                const std::string header = m[1];
                if (IsQt(header) && rank->second != kShellRank)
                    found.push_back({where, "Qt outside the shell"});
                if (IsSdlOrSynth(header) && !kSdlFolders.contains(folder))
                    found.push_back({where, "SDL or FluidSynth outside the back-ends"});
                if (IsEnet(header) && folder != "net") found.push_back({where, "ENet outside net"});
                if (IsPathLibrary(header) && folder != "net/ice")
                    found.push_back({where, "libnice, GLib or port mapping outside net/ice"});
                if (IsStrophe(header) && folder != "net/lobby")
                    found.push_back({where, "libstrophe outside net/lobby"});
                continue;
            }
            if (!std::regex_search(line, m, quoted)) continue;
            const std::string target = fs::path(std::string(m[1])).parent_path().generic_string();
            const bool stepFolder = rank->second > 2 && rank->second <= kTopStepRank;
            if (stepFolder && kOutsideTheStep.contains(m[1]))
                found.push_back({where, "the match step includes drawing, sound, the host or the clock"});
            if (target == folder) continue;
            // A back-end folder may use the folder it sits in (net/lobby uses net/).
            if (folder.rfind(target + "/", 0) == 0) continue;
            const auto targetRank = kLayerRank.find(target.empty() ? "." : target);
            if (targetRank == kLayerRank.end()) {
                found.push_back({where, "includes a folder outside the layer table"});
            } else if (targetRank->second > rank->second) {
                found.push_back({where, "includes " + target + ", a layer above " + folder});
            } else if (targetRank->second == rank->second && rank->second != kShellRank) {
                found.push_back({where, "includes " + target + ", a sideways neighbour of " + folder});
            }
        }
    }
    return found;
}

TEST(Layering, IncludesRunOnlyDownwardAndOutsideLibrariesStayInTheirLayers) {
    const auto violations = CheckTree(fs::path(VOLTRAX_SOURCE_DIR) / "src");
    for (const auto& v : violations) ADD_FAILURE() << v.where << ": " << v.rule;
}

TEST(Layering, CatchesUpwardSidewaysAndForeignIncludes) {
    const fs::path root = fs::temp_directory_path() / ("voltrax_layering_" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* dir : {"core", "puck", "paddles", "sim", "platform/audio", "platform/pads"})
        fs::create_directories(root / dir);
    std::ofstream(root / "core" / "up.h") << "#include \"match/match_loop.h\"\n";
    std::ofstream(root / "puck" / "side.cpp") << "#include \"paddles/cpu_opponent.h\"\n#include <QtCore>\n";
    std::ofstream(root / "paddles" / "ok.cpp") << "#include \"puck/puck_motion.h\"\n#include <vector>\n";
    std::ofstream(root / "platform" / "audio" / "ok.cpp")
        << "#include <SDL.h>\n#include \"platform/host.h\"\n";
    std::ofstream(root / "platform" / "pads" / "ok.cpp") << "#include <SDL.h>\n";
    std::ofstream(root / "core" / "sdl.cpp") << "#include <SDL2/SDL.h>\n";
    std::ofstream(root / "puck" / "enet.cpp") << "#include <enet/enet.h>\n";
    std::ofstream(root / "puck" / "nice.cpp") << "#include <nice/agent.h>\n";
    fs::create_directories(root / "net" / "lobby");
    std::ofstream(root / "net" / "lobby" / "ok.cpp") << "#include <strophe.h>\n#include \"net/link.h\"\n";
    std::ofstream(root / "net" / "up.cpp") << "#include <strophe.h>\n#include \"net/lobby/lobby_client.h\"\n";
    std::ofstream(root / "sim" / "out.cpp")
        << "#include \"draw/match_frame.h\"\n#include \"sound/effects.h\"\n"
           "#include \"platform/clock.h\"\n#include \"platform/random.h\"\n";
    std::ofstream(root / "paddles" / "host.cpp") << "#include \"platform/host.h\"\n";

    std::map<std::string, std::string> got;
    for (const auto& v : CheckTree(root)) got[v.where] += v.rule;
    fs::remove_all(root);
    EXPECT_EQ(got.size(), 12u);
    EXPECT_NE(got["core/up.h:1"].find("layer above"), std::string::npos);
    EXPECT_NE(got["puck/side.cpp:1"].find("layer above"), std::string::npos);
    EXPECT_EQ(got["puck/side.cpp:2"], "Qt outside the shell");
    EXPECT_EQ(got["core/sdl.cpp:1"], "SDL or FluidSynth outside the back-ends");
    EXPECT_EQ(got["puck/enet.cpp:1"], "ENet outside net");
    EXPECT_EQ(got["puck/nice.cpp:1"], "libnice, GLib or port mapping outside net/ice");
    EXPECT_EQ(got["net/up.cpp:1"], "libstrophe outside net/lobby");
    EXPECT_NE(got["net/up.cpp:2"].find("sideways"), std::string::npos);
    // The step may use the generator, never the screen, the sound, the host or the clock.
    EXPECT_NE(got["sim/out.cpp:1"].find("a layer above sim"), std::string::npos);
    EXPECT_NE(got["sim/out.cpp:2"].find("a layer above sim"), std::string::npos);
    EXPECT_NE(got["sim/out.cpp:3"].find("the match step"), std::string::npos);
    EXPECT_NE(got["paddles/host.cpp:1"].find("the match step"), std::string::npos);
}

}  // namespace
