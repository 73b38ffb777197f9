// The menus' captions as plain words for the help texts: the Japanese ones from the menu
// model, the English ones from the translation file the program's menus are made from.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "core/menu_model.h"

namespace gen {

// Source caption -> translation, read from a Qt Linguist file (translations/voltrax_en.ts).
using Translations = std::map<std::string, std::string>;
// Empty when the file cannot be read.
Translations ReadTranslations(const std::string& tsPath);

// A caption as a text names it: without its access key ("(&M)", "( &H)", "（&I）" or a
// lone "&"), a trailing "..." or surrounding spaces. "Time 120( &H)" gives "Time 120".
std::string PlainCaption(std::string_view caption);

// A menu item's plain caption in Japanese, and in English (empty when untranslated).
std::string JapaneseCaption(vx::MenuId id);
std::string EnglishCaption(const Translations& english, vx::MenuId id);

// Captions that share a first word, as a text lists them: {"Time 120", "Time 90"} gives
// "Time 120 / 90"; others are joined with the separator: "Easy, Normal".
std::string CaptionRun(const std::initializer_list<std::string>& captions, std::string_view separator = ", ");

}  // namespace gen
