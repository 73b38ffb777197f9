#include "platform/audio/tune_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace vx::audio {

namespace fs = std::filesystem;

namespace {

// Raise whenever the synth's settings or the render change what a tune sounds like:
// every stored render then misses and is made again.
constexpr uint64_t kRenderVersion = 1;
constexpr char kMagic[8] = {'V', 'X', 'T', 'U', 'N', 'E', '1', '\n'};
constexpr const char* kExtension = ".vxtune";
// A temporary file this old belongs to a write that never finished.
constexpr auto kAbandonedAfter = std::chrono::hours(1);

// In the machine's own byte order; a file from another order fails the key check.
struct FileHeader {
    char magic[8];
    uint64_t key;
    uint32_t sampleRate;
    uint32_t channels;
    int64_t passFrames;
    int64_t tailFrames;
};
static_assert(sizeof(FileHeader) == 40);

uint64_t Fnv1a(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string Hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// The tune name of a cache file ("opening" of opening.0123456789abcdef.vxtune), or empty.
std::string NameOf(const fs::path& file) {
    const std::string text = file.filename().string();
    if (!text.ends_with(kExtension)) return {};
    const std::string stem = text.substr(0, text.size() - std::strlen(kExtension));
    const size_t dot = stem.rfind('.');
    return dot == std::string::npos || stem.size() - dot != 17 ? std::string() : stem.substr(0, dot);
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, at, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        at += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

fs::path DefaultTuneCacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && fs::path(cache).is_absolute()) return fs::path(cache) / "voltrax";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return fs::path(home) / ".cache" / "voltrax";
    return {};
}

std::string SoundFontIdentity(const fs::path& soundFont) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(soundFont, ec);
    const std::uintmax_t size = fs::file_size(soundFont, ec);
    const auto changed = fs::last_write_time(soundFont, ec).time_since_epoch().count();
    return (real.empty() ? soundFont : real).string() + "|" + std::to_string(size) + "|" +
           std::to_string(changed);
}

uint64_t TuneKey(const std::vector<uint8_t>& midiBytes, const std::string& soundFontIdentity,
                 int sampleRate) {
    uint64_t hash = 0xcbf29ce484222325ull;
    const uint64_t sizes[] = {midiBytes.size(), soundFontIdentity.size(), static_cast<uint64_t>(sampleRate),
                              kRenderVersion};
    hash = Fnv1a(hash, sizes, sizeof sizes);
    hash = Fnv1a(hash, midiBytes.data(), midiBytes.size());
    return Fnv1a(hash, soundFontIdentity.data(), soundFontIdentity.size());
}

fs::path TuneCache::FileFor(const std::string& name, uint64_t key) const {
    return folder_ / (name + "." + Hex(key) + kExtension);
}

std::shared_ptr<const RenderedTune> TuneCache::Load(const std::string& name, uint64_t key,
                                                    int sampleRate) const {
    if (folder_.empty()) return nullptr;
    const int fd = ::open(FileFor(name, key).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    FileHeader header{};
    struct stat info {};
    const bool readable = ::fstat(fd, &info) == 0 && ::pread(fd, &header, sizeof header, 0) == sizeof header;
    const int64_t frames = header.passFrames + header.tailFrames;
    if (!readable || std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.key != key ||
        header.sampleRate != static_cast<uint32_t>(sampleRate) || header.channels != 2 ||
        header.passFrames <= 0 || header.tailFrames < 0 ||
        info.st_size != static_cast<off_t>(sizeof header) + frames * 4) {
        ::close(fd);
        return nullptr;
    }
    const size_t length = static_cast<size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (mapped == MAP_FAILED) return nullptr;
    // Read ahead now, so the audio callback rarely waits on the disk.
    ::madvise(mapped, length, MADV_WILLNEED);
    auto tune = std::make_shared<RenderedTune>();
    tune->passFrames = header.passFrames;
    tune->tailFrames = header.tailFrames;
    tune->keep = std::shared_ptr<const void>(
        mapped, [length](const void* at) { ::munmap(const_cast<void*>(at), length); });
    tune->samples = {reinterpret_cast<const int16_t*>(static_cast<const char*>(mapped) + sizeof header),
                     static_cast<size_t>(2 * frames)};
    return tune;
}

bool TuneCache::Store(const std::string& name, uint64_t key, int sampleRate, const RenderedTune& tune,
                      std::string& error) const {
    if (folder_.empty()) return error = "no cache folder", false;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) return error = ec.message(), false;
    const fs::path file = FileFor(name, key);
    const fs::path temporary = file.string() + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return error = std::strerror(errno), false;
    FileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.key = key;
    header.sampleRate = static_cast<uint32_t>(sampleRate);
    header.channels = 2;
    header.passFrames = tune.passFrames;
    header.tailFrames = tune.tailFrames;
    const bool written = WriteAll(fd, &header, sizeof header) &&
                         WriteAll(fd, tune.samples.data(), tune.samples.size_bytes()) && ::fdatasync(fd) == 0;
    const int writeErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
        error = std::strerror(written ? errno : writeErrno);
        fs::remove(temporary, ec);
        return false;
    }
    Prune(name, file);
    return true;
}

void TuneCache::Prune(const std::string& name, const fs::path& kept) const {
    struct Entry {
        fs::path path;
        std::uintmax_t size;
        fs::file_time_type changed;
    };
    std::vector<Entry> entries;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        std::error_code fileError;
        const fs::file_time_type changed = fs::last_write_time(path, fileError);
        if (fileError || path == kept) continue;
        if (path.extension() == ".tmp" && NameOf(path.stem().stem()) != "") {
            if (now - changed > kAbandonedAfter) fs::remove(path, fileError);
            continue;
        }
        const std::string entryName = NameOf(path);
        if (entryName.empty()) continue;
        if (entryName == name) {
            fs::remove(path, fileError);  // an older render of the same tune
            continue;
        }
        entries.push_back({path, fs::file_size(path, fileError), changed});
    }
    std::uintmax_t total = fs::file_size(kept, ec);
    for (const Entry& e : entries) total += e.size;
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.changed < b.changed; });
    for (const Entry& e : entries) {
        if (total <= kCacheLimitBytes) break;
        std::error_code fileError;
        if (fs::remove(e.path, fileError)) total -= e.size;
    }
}

}  // namespace vx::audio
