// The players' help texts: "read me.txt", Japanese then a short English part, in code page
// 932 with CRLF line ends, and "read me.en.txt", the whole English text in UTF-8, whose keys
// and options come from the key table and the menus' captions.
#pragma once

#include <QByteArray>
#include <string>

#include "menu_captions.h"

namespace gen {

// "read me.txt" as UTF-8 with CRLF line ends.
std::string ReadMeUtf8();
// "read me.en.txt": UTF-8 with LF line ends; empty when a caption it names has no English.
std::string ReadMeEnglishUtf8(const Translations& english);
// Converts UTF-8 to code page 932 with iconv; empty when a character has no CP932 form.
QByteArray ToCp932(const std::string& utf8);

}  // namespace gen
