#include "help/read_me_text.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#include <iconv.h>

#include "platform/program_files.h"

namespace vx {

namespace {

constexpr const char* kJapaneseName = "read me.txt";
constexpr const char* kEnglishName = "read me.en.txt";
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string MissingLine(const ReadMeFile& file) {
    const std::string name = file.path.filename().string();
    if (file.encoding == ReadMeEncoding::Utf8) return "\"" + name + "\" was not found.\n";
    return "「" + name + "」が見つかりません。\n";
}

std::string EmptyLine(const ReadMeFile& file) {
    const std::string name = file.path.filename().string();
    if (file.encoding == ReadMeEncoding::Utf8) return "\"" + name + "\" is empty.\n";
    return "「" + name + "」は空です。\n";
}

// Converts with iconv from `encoding` to UTF-8; each byte that does not convert becomes
// U+FFFD and the conversion goes on after it.
std::string ToUtf8(std::string_view bytes, const char* encoding) {
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);  // no converter: show the bytes
    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
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
    return ToUtf8(cp932, "CP932");
}

std::string CheckedUtf8(std::string_view utf8) {
    return ToUtf8(utf8, "UTF-8");
}

ReadMeFile ReadMeFileFor(const std::string& language, const ProgramFiles& files) {
    const ReadMeFile japanese(files.Resolve(std::string("\\") + kJapaneseName), ReadMeEncoding::Cp932);
    if (language != "en") return japanese;
    const ReadMeFile english(files.Resolve(std::string("\\") + kEnglishName), ReadMeEncoding::Utf8);
    std::error_code error;
    if (!std::filesystem::exists(english.path, error) && std::filesystem::exists(japanese.path, error))
        return japanese;
    return english;
}

ReadMeText LoadReadMeText(const ReadMeFile& readMe) {
    std::ifstream file(readMe.path, std::ios::binary);
    if (!file) return {ReadMeStatus::Missing, MissingLine(readMe)};
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (bytes.empty()) return {ReadMeStatus::Empty, EmptyLine(readMe)};
    const std::string utf8 =
        readMe.encoding == ReadMeEncoding::Utf8 ? CheckedUtf8(bytes) : Cp932ToUtf8(bytes);
    return {ReadMeStatus::Loaded, NormaliseLineEnds(utf8)};
}

}  // namespace vx
