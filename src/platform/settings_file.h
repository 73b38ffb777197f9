// Where the 31-byte settings record lives on disk: "\dat\Sysdata.rnd" in the program
// folder, or, when that folder cannot be written (an installed copy, a read-only
// medium), $XDG_CONFIG_HOME/voltrax/Sysdata.rnd. Writes go through a temporary file
// and a rename, so a crash mid-save never leaves a torn record.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "platform/program_files.h"

namespace vx {

class SettingsFile {
  public:
    // configFolder overrides the user's folder (tests); empty means the XDG rule.
    explicit SettingsFile(ProgramFiles& files, std::filesystem::path configFolder = {});

    // The bytes of the file (possibly fewer than a record), or nothing when no file can be read.
    std::optional<std::vector<uint8_t>> Read();
    // True when the record reached a file, in the program folder or the user's.
    bool Write(std::span<const uint8_t> record);

    bool UsingUserFolder() const { return useUserFolder_; }
    std::filesystem::path ProgramPath() const;
    std::filesystem::path UserPath() const;

  private:
    void SwitchToUserFolder(const char* why);

    ProgramFiles* files_;
    std::filesystem::path configFolder_;
    bool checkedProgramFolder_ = false;
    bool useUserFolder_ = false;
    bool toldWriteFailure_ = false;
};

// Writes bytes to path through a sibling temporary file and a rename.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace vx
