#include "platform/program_files.h"

#include <system_error>
#include <vector>

namespace vx {

namespace fs = std::filesystem;

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

ProgramFiles::ProgramFiles(fs::path folder) : folder_(std::move(folder)) {}

namespace {

std::vector<std::string> SplitComponents(std::string_view gamePath) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : gamePath) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

}  // namespace

fs::path ProgramFiles::Resolve(std::string_view gamePath) const {
    fs::path result = folder_;
    bool matching = true;
    for (const std::string& part : SplitComponents(gamePath)) {
        if (part == ".") continue;
        if (part == "..") {
            // The game never climbs out of its folder; refuse to let a name do it.
            continue;
        }
        if (matching) {
            std::error_code ec;
            if (fs::exists(result / part, ec)) {
                result /= part;
                continue;
            }
            bool found = false;
            for (fs::directory_iterator it(result, ec), end; !ec && it != end; it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (EqualsIgnoringAsciiCase(name, part)) {
                    result /= name;
                    found = true;
                    break;
                }
            }
            if (found) continue;
            matching = false;
        }
        result /= part;
    }
    return result;
}

fs::path ProgramFiles::ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path();
    return exe.parent_path();
}

}  // namespace vx
