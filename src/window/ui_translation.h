// The menus' and dialogs' language. The Japanese captions are the source text in the
// code; every other language gets the English translation that CMake compiles from
// translations/voltrax_en.ts into the program.
#pragma once

#include <QString>

#include <string>

namespace vx {

// "en" installs the English translation for the whole application, "ja" removes it and
// takes Qt's own dialog texts in Japanese when the system has them.
// False when the translation could not be loaded (the captions stay Japanese).
bool UseLanguage(const std::string& language);

// The language the menus speak now: "en" while the English translation is installed,
// "ja" otherwise (the source captions).
std::string CurrentLanguage();

// A caption of the menu model in the current language.
QString MenuCaption(const char* caption);

}  // namespace vx
