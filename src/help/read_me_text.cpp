#include "help/read_me_text.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#include <iconv.h>

namespace vx {

namespace {

constexpr const char* kMissingLine = "「read me.txt」が見つかりません。\n";
constexpr const char* kEmptyLine = "「read me.txt」は空です。\n";
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string NormaliseLineEnds(std::string_view text) {
    std::string lines;
    lines.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines += '\n';
        } else {
            lines += c;
        }
    }
    if (!lines.empty() && lines.back() != '\n') lines += '\n';
    return lines;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(cp932);  // no converter: show the bytes
    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(cp932.data());
    size_t inLeft = cp932.size();
    while (inLeft > 0) {
        char* dest = buffer;
        size_t destLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &dest, &destLeft);
        out.append(buffer, static_cast<size_t>(dest - buffer));
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or a cut-off last character: mark it and go on after one byte.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

ReadMeText LoadReadMeText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {ReadMeStatus::Missing, kMissingLine};
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (bytes.empty()) return {ReadMeStatus::Empty, kEmptyLine};
    return {ReadMeStatus::Loaded, NormaliseLineEnds(Cp932ToUtf8(bytes))};
}

}  // namespace vx
