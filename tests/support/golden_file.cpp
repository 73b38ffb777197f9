#include "support/golden_file.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace vx::testing {

namespace {

std::string GoldenPath(const std::string& name) {
    return std::string(VOLTRAX_GOLDEN_DIR) + "/" + name;
}

// The file's values by name; a missing file has none, so every value shows as new.
std::map<std::string, std::string> ReadGolden(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find(' ');
        if (space == std::string::npos)
            values[line] = "";
        else
            values[line.substr(0, space)] = line.substr(space + 1);
    }
    return values;
}

}  // namespace

std::string CompareWithGolden(const std::string& name, const NamedValues& actual) {
    const std::string path = GoldenPath(name);
    const char* update = std::getenv("VOLTRAX_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(path, std::ios::trunc);
        for (const auto& [key, value] : actual) out << key << (value.empty() ? "" : " " + value) << '\n';
        return out ? "" : "cannot write " + path;
    }
    std::map<std::string, std::string> expected = ReadGolden(path);
    std::ostringstream report;
    for (const auto& [key, value] : actual) {
        auto it = expected.find(key);
        if (it == expected.end()) {
            report << "+ " << key << ' ' << value << "   (not in the file)\n";
            continue;
        }
        if (it->second != value)
            report << "- " << key << ' ' << it->second << "\n+ " << key << ' ' << value << '\n';
        expected.erase(it);
    }
    for (const auto& [key, value] : expected)
        report << "- " << key << ' ' << value << "   (no longer made)\n";
    if (report.str().empty()) return "";
    return path +
           " disagrees (- expected, + now; VOLTRAX_UPDATE_GOLDEN=1 rewrites it if the change is meant):\n" +
           report.str();
}

}  // namespace vx::testing
