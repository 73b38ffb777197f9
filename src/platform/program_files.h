// Files under the program folder, addressed the way the game names them: a relative
// path that begins with a backslash ("\dat\Sysdata.rnd"). Each component is matched
// against what exists without regard to ASCII letter case, so "Wave1.wav" and
// "wave1.wav" reach one file on a case-sensitive file system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

class ProgramFiles {
  public:
    explicit ProgramFiles(std::filesystem::path folder);

    // The real path for a game path. Components that exist are taken with their real
    // spelling; the first one that does not exist, and everything after it, keep the
    // spelling given, so a new file is created under the name the game asked for.
    std::filesystem::path Resolve(std::string_view gamePath) const;

    // The folder of the running executable (from /proc/self/exe).
    static std::filesystem::path ExecutableFolder();

  private:
    std::filesystem::path folder_;
};

// ASCII-only case folding: names in the dat folder are plain ASCII, and folding bytes
// of UTF-8 sequences would match names the user never meant to be equal.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace vx
