#include "menu_captions.h"

#include <fstream>
#include <iterator>

namespace gen {

namespace {

std::string Unescape(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : kEntities) {
            if (text.substr(i, entity.size()) == entity) {
                out += character;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// The text between <tag> and </tag> from `from` on; npos in `from` when there is none.
std::string_view Element(std::string_view xml, std::string_view tag, size_t& from) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const size_t start = xml.find(open, from);
    const size_t end = start == std::string_view::npos ? start : xml.find(close, start);
    if (end == std::string_view::npos) {
        from = std::string_view::npos;
        return {};
    }
    from = end + close.size();
    return xml.substr(start + open.size(), end - start - open.size());
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

Translations ReadTranslations(const std::string& tsPath) {
    std::ifstream file(tsPath, std::ios::binary);
    const std::string xml{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Translations out;
    size_t at = 0;
    while (at != std::string::npos) {
        const std::string source = Unescape(Element(xml, "source", at));
        if (at == std::string::npos) break;
        const std::string translation = Unescape(Element(xml, "translation", at));
        if (at == std::string::npos) break;
        out.emplace(source, translation);
    }
    return out;
}

std::string PlainCaption(std::string_view caption) {
    std::string_view s = Trim(caption);
    if (s.size() >= 3 && s.substr(s.size() - 3) == "...") s = Trim(s.substr(0, s.size() - 3));
    // "(&M)" and "（&I）" at the end name the access key only.
    for (const auto& [open, close] :
         {std::pair<std::string_view, std::string_view>{"(", ")"}, {"（", "）"}}) {
        const size_t at = s.rfind(open);
        if (at != std::string_view::npos && s.substr(s.size() - close.size()) == close &&
            s.substr(at).find('&') != std::string_view::npos) {
            s = Trim(s.substr(0, at));
            break;
        }
    }
    std::string out;
    for (char c : s)
        if (c != '&') out += c;
    return out;
}

std::string JapaneseCaption(vx::MenuId id) {
    return PlainCaption(vx::MenuModel().Item(id).caption);
}

std::string EnglishCaption(const Translations& english, vx::MenuId id) {
    const auto it = english.find(vx::MenuModel().Item(id).caption);
    return it == english.end() ? std::string() : PlainCaption(it->second);
}

std::string CaptionRun(const std::initializer_list<std::string>& captions, std::string_view separator) {
    std::string out;
    std::string word;  // the first word of the run so far
    for (const std::string& caption : captions) {
        const size_t space = caption.find(' ');
        const std::string first = space == std::string::npos ? std::string() : caption.substr(0, space + 1);
        if (out.empty()) {
            out = caption;
        } else if (!first.empty() && first == word) {
            out += " / " + caption.substr(first.size());
        } else {
            out += std::string(separator) + caption;
        }
        word = first;
    }
    return out;
}

}  // namespace gen
