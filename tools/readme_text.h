// "read me.txt": the players' help text, Japanese then English, in code page 932.
#pragma once

#include <QByteArray>
#include <string>

namespace gen {

// The help text as UTF-8 with CRLF line ends.
std::string ReadMeUtf8();
// Converts UTF-8 to code page 932 with iconv; empty when a character has no CP932 form.
QByteArray ToCp932(const std::string& utf8);

}  // namespace gen
