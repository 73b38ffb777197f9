// The text page of the help window: "read me.txt" (Japanese, Shift-JIS, code page 932) or
// "read me.en.txt" (English, UTF-8), read line by line and turned into UTF-8, every line
// ending in a new line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

class ProgramFiles;

enum class ReadMeStatus { Loaded, Missing, Empty };
enum class ReadMeEncoding { Cp932, Utf8 };

struct ReadMeFile {
    ReadMeFile(std::filesystem::path path, ReadMeEncoding encoding = ReadMeEncoding::Cp932)
        : path(std::move(path)), encoding(encoding) {}
    std::filesystem::path path;
    ReadMeEncoding encoding;
};

// The help text for the interface language ("en" or "ja"): "read me.en.txt" in English,
// "read me.txt" otherwise, and also in English when the English file is missing but the
// Japanese one is there (a program folder from before the English text).
ReadMeFile ReadMeFileFor(const std::string& language, const ProgramFiles& files);

struct ReadMeText {
    ReadMeStatus status = ReadMeStatus::Missing;
    std::string utf8;  // the page's text; for Missing and Empty one line saying so
};

// Lines end at CR LF, CR or LF, as line input reads them; a last line without a line end
// still counts. Bytes that are not in the file's encoding show as U+FFFD instead of
// stopping the page. A missing or empty file's line names it in the file's language.
ReadMeText LoadReadMeText(const ReadMeFile& file);

// CP932 bytes to UTF-8 (iconv), invalid bytes replaced by U+FFFD one at a time.
std::string Cp932ToUtf8(std::string_view cp932);
// UTF-8 bytes checked the same way: every invalid byte becomes U+FFFD.
std::string CheckedUtf8(std::string_view utf8);

}  // namespace vx
