#include "platform/settings_file.h"

#include "platform/asset_paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

namespace vx {

namespace fs = std::filesystem;

namespace {
constexpr const char* kGamePath = asset::kSettingsRecord;
constexpr const char* kFileName = "Sysdata.rnd";
// True when a exists and b is missing or older.
bool IsNewer(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const auto aTime = fs::last_write_time(a, ec);
    if (ec) return false;
    const auto bTime = fs::last_write_time(b, ec);
    return ec || aTime > bTime;
}

}  // namespace

SettingsFile::SettingsFile(ProgramFiles& files, fs::path configFolder)
    : files_(&files), configFolder_(std::move(configFolder)) {}

fs::path SettingsFile::ProgramPath() const {
    return files_->Resolve(kGamePath);
}

fs::path SettingsFile::UserPath() const {
    if (!configFolder_.empty()) return configFolder_ / kFileName;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return fs::path(xdg) / "voltrax" / kFileName;
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".config" / "voltrax" / kFileName;
}

void SettingsFile::SwitchToUserFolder(const char* why) {
    if (useUserFolder_) return;
    useUserFolder_ = true;
    std::cerr << "voltrax: " << why << " " << ProgramPath().parent_path().string() << "; options are kept in "
              << UserPath().string() << "\n";
}

std::optional<std::vector<uint8_t>> SettingsFile::Read() {
    if (!checkedProgramFolder_) {
        checkedProgramFolder_ = true;
        const fs::path dat = ProgramPath().parent_path();
        std::error_code ec;
        if (!fs::is_directory(dat, ec) || ::access(dat.c_str(), W_OK) != 0)
            SwitchToUserFolder("cannot write to");
    }
    auto readFrom = [](const fs::path& path) -> std::optional<std::vector<uint8_t>> {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::vector<uint8_t> bytes(31);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (in.bad()) return std::nullopt;
        bytes.resize(static_cast<size_t>(in.gcount()));
        return bytes;
    };
    // A save that failed in the program folder went to the user's folder; that copy is
    // the newer one and must win on the next start even if the folder looks writable.
    if (useUserFolder_ || IsNewer(UserPath(), ProgramPath())) {
        if (auto bytes = readFrom(UserPath())) return bytes;
    }
    return readFrom(ProgramPath());
}

bool SettingsFile::Write(std::span<const uint8_t> record) {
    if (!useUserFolder_) {
        if (WriteFileAtomically(ProgramPath(), record)) return true;
        SwitchToUserFolder("cannot save options in");
    }
    std::error_code ec;
    fs::create_directories(UserPath().parent_path(), ec);
    if (WriteFileAtomically(UserPath(), record)) return true;
    if (!toldWriteFailure_) {
        toldWriteFailure_ = true;
        std::cerr << "voltrax: cannot save options to " << UserPath().string() << "\n";
    }
    return false;
}

bool WriteFileAtomically(const fs::path& path, std::span<const uint8_t> bytes) {
    const fs::path temp =
        path.parent_path() / (path.filename().string() + ".tmp" + std::to_string(::getpid()));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace vx
