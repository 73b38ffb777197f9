// Fuzz target: any bytes as "read me.txt" or "read me.en.txt". The page is always
// well-formed UTF-8, ends in a line end, and holds no carriage return.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "help/read_me_text.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "read me fuzz: %s\n", what);
    std::abort();
}

bool IsUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

const std::filesystem::path& ScratchFile() {
    static const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                              ("voltrax-readme-fuzz-" + std::to_string(::getpid()) + ".txt");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string direct = vx::Cp932ToUtf8(bytes);
    Check(IsUtf8(direct), "the conversion gave malformed UTF-8");

    {
        std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // The same bytes as the Japanese (code page 932) and as the English (UTF-8) text.
    for (const vx::ReadMeEncoding encoding : {vx::ReadMeEncoding::Cp932, vx::ReadMeEncoding::Utf8}) {
        const vx::ReadMeText page = vx::LoadReadMeText(vx::ReadMeFile(ScratchFile(), encoding));
        Check(IsUtf8(page.utf8), "the page is malformed UTF-8");
        Check(!page.utf8.empty() && page.utf8.back() == '\n', "the page does not end in a line end");
        Check(page.utf8.find('\r') == std::string::npos, "a carriage return survived");
        Check((page.status == vx::ReadMeStatus::Empty) == (size == 0), "an empty file not told apart");
    }
    Check(IsUtf8(vx::CheckedUtf8(bytes)), "the UTF-8 check let malformed UTF-8 through");
    return 0;
}
