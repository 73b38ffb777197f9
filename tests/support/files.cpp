#include "support/files.h"

#include <iconv.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/picture_file.h"

namespace vx::testing {

namespace fs = std::filesystem;

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

fs::path BuiltProgram() {
    return VOLTRAX_PROGRAM_DIR;
}

void CopyBuiltProgram(const fs::path& folder) {
    for (const char* sub : {"dat", "design"}) {
        fs::create_directories(folder / sub);
        for (const auto& entry : fs::directory_iterator(BuiltProgram() / sub)) {
            if (entry.path().filename() == "Sysdata.rnd") continue;
            fs::copy_file(entry.path(), folder / sub / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

bool LoadBmpFile(const fs::path& path, Surface& out, std::string& error) {
    const Bytes bytes = ReadBytes(path);
    if (!DecodeBmp(bytes, out, error)) return error = path.string() + ": " + error, false;
    return true;
}

void Snapshot(const Surface& s, const std::string& name) {
    if (const char* dir = std::getenv("VOLTRAX_SCREEN_DIR"))
        WriteBytes(fs::path(dir) / (name + ".bmp"), EncodeBmp(s));
}

std::optional<std::string> Iconv(const std::string& text, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return std::nullopt;
    std::string in = text, out(text.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

int CountDifferingPixels(const Surface& a, const Surface& b, int x, int y, int w, int h, bool outside) {
    int n = 0;
    for (int row = 0; row < a.Height(); ++row)
        for (int col = 0; col < a.Width(); ++col) {
            const bool inside = col >= x && col < x + w && row >= y && row < y + h;
            n += inside != outside && b.Contains(col, row) && a.Pixel(col, row) != b.Pixel(col, row);
        }
    return n;
}

}  // namespace vx::testing
