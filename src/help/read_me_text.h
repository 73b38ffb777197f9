// The text page of the help window: "read me.txt" read line by line as Shift-JIS
// (code page 932) and turned into UTF-8, every line ending in a new line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

enum class ReadMeStatus { Loaded, Missing, Empty };

struct ReadMeText {
    ReadMeStatus status = ReadMeStatus::Missing;
    std::string utf8;  // the page's text; for Missing and Empty one line saying so
};

// Lines end at CR LF, CR or LF, as line input reads them; a last line without a line end
// still counts. Bytes that are not CP932 show as U+FFFD instead of stopping the page.
ReadMeText LoadReadMeText(const std::filesystem::path& path);

// CP932 bytes to UTF-8 (iconv), invalid bytes replaced by U+FFFD one at a time.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace vx
