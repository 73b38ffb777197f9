// The texts players read name the same keys and options as the program: the generated
// help texts (English "read me.en.txt", the Japanese part of "read me.txt"), the README's
// key tables and the manual page's KEYS section against the key table (src/frontend/
// key_facts.h), the menus' captions (Japanese in the menu model, English in the
// translation file) and the command-line table.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "asset_files.h"
#include "frontend/command_line.h"
#include "frontend/key_facts.h"
#include "menu_captions.h"
#include "support/files.h"

namespace vx::testing {
namespace {

using Lines = std::vector<std::string>;

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The lines after the one beginning with `heading`, up to the next beginning with `next`.
Lines Section(const Lines& lines, const std::string& heading, const std::string& next) {
    Lines out;
    bool in = false;
    for (const std::string& line : lines) {
        if (in && line.rfind(next, 0) == 0) break;
        if (in) out.push_back(line);
        if (!in && line.rfind(heading, 0) == 0) in = true;
    }
    return out;
}

std::string TrimLeft(const std::string& s) {
    const size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

std::string Trim(const std::string& s) {
    std::string out = TrimLeft(s);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// The lines run together, each without its indent: a phrase broken over two lines reads whole.
std::string RunTogether(const Lines& lines, const std::string& joint = "") {
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "" : joint) + TrimLeft(line);
    return out;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

struct KeyRow {
    std::string keys, action;
};
struct LayoutRow {
    std::string name, up, down;
};

// What one text says about the keys, read the way that text is written.
struct Document {
    std::string name;
    std::vector<KeyRow> keys;
    std::vector<LayoutRow> layouts;
};

// The English help text: "  KEYS   what it does" with wrapped lines indented under the
// action, then "    LAYOUT  up  K  down  K  (place)".
Document EnglishHelp(const Lines& lines) {
    Document doc{"read me.en.txt", {}, {}};
    const std::regex layout(R"(^    (\S+)\s+up\s+(\S+)\s+down\s+(\S+).*)");
    bool keyLines = true;  // up to the first empty line
    for (const std::string& line : Section(lines, "* Keys", "* ")) {
        std::smatch m;
        if (line.empty()) {
            keyLines = false;
        } else if (std::regex_match(line, m, layout)) {
            doc.layouts.push_back({m[1], m[2], m[3]});
        } else if (keyLines && line.size() > 2 && line[2] != ' ') {
            const size_t gap = line.find("  ", 2);
            doc.keys.push_back(
                {line.substr(2, gap - 2), gap == std::string::npos ? "" : TrimLeft(line.substr(gap))});
        } else if (keyLines && !doc.keys.empty()) {
            doc.keys.back().action += " " + TrimLeft(line);
        }
    }
    return doc;
}

// The README's two tables under "## Keys": key and action, layout and its up and down keys.
Document Readme(const Lines& lines) {
    Document doc{"README.md", {}, {}};
    auto cells = [](const std::string& row) {
        std::vector<std::string> out;
        size_t start = 1;
        for (size_t bar = row.find('|', start); bar != std::string::npos; bar = row.find('|', start)) {
            out.push_back(Trim(row.substr(start, bar - start)));
            start = bar + 1;
        }
        return out;
    };
    auto code = [](const std::string& cell) {
        const size_t open = cell.find('`');
        const size_t close = open == std::string::npos ? open : cell.find('`', open + 1);
        return close == std::string::npos ? cell : cell.substr(open + 1, close - open - 1);
    };
    int table = -1;
    bool inTable = false;
    for (const std::string& line : Section(lines, "## Keys", "## ")) {
        const bool row = line.rfind("|", 0) == 0;
        if (row && !inTable) ++table;
        inTable = row;
        if (!row || line.find("---") != std::string::npos) continue;
        const std::vector<std::string> c = cells(line);
        if (c.size() < 2 || c[0] == "Key" || c[0] == "Layout") continue;
        if (table == 0) doc.keys.push_back({code(c[0]), c[1]});
        if (table == 1 && c.size() >= 3) doc.layouts.push_back({c[0], code(c[1]), code(c[2])});
    }
    return doc;
}

// A roff macro line's text: ".B a b" gives "a b", ".BR F11 " or " Alt+Enter" gives
// "F11 or Alt+Enter" (the alternating-font macros run their arguments together).
std::string RoffText(const std::string& line) {
    const size_t space = line.find(' ');
    const std::string macro = line.substr(0, space);
    std::vector<std::string> args;
    std::string arg;
    bool quoted = false, any = false;
    for (size_t i = space == std::string::npos ? line.size() : space + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) args.push_back(arg);
            arg.clear();
            any = false;
        } else {
            arg += c;
            any = true;
        }
    }
    if (any) args.push_back(arg);
    std::string out;
    for (const std::string& a : args) out += (out.empty() || macro.size() > 2 ? "" : " ") + a;
    return Replace(Replace(out, "\\e", "\\"), "\\-", "-");
}

// The manual page's KEYS section: ".TP", the key, what it does; then ".IP LAYOUT" entries
// reading "U up, D down".
Document ManPage(const Lines& lines) {
    Document doc{"voltrax.6.in", {}, {}};
    const Lines keys = Section(lines, ".SH KEYS", ".SH ");
    const std::regex layout(R"(^(\S+) up, (\S+) down.*)");
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        if (keys[i] == ".TP") {
            KeyRow row{RoffText(keys[i + 1]), ""};
            for (size_t j = i + 2; j < keys.size() && keys[j].rfind(".", 0) != 0; ++j)
                row.action += keys[j] + " ";
            doc.keys.push_back(row);
        } else if (keys[i].rfind(".IP ", 0) == 0) {
            std::smatch m;
            const std::string text = Replace(keys[i + 1], "\\e", "\\");
            // ".IP US 10": the name, then the indent.
            const std::string name = keys[i].substr(4, keys[i].find(' ', 4) - 4);
            if (std::regex_match(text, m, layout)) doc.layouts.push_back({name, m[1], m[2]});
        }
    }
    return doc;
}

struct Texts {
    Lines english = SplitLines(ReadText(ProgramPath("read me.en.txt")));
    Lines japanese = JapanesePart();
    Lines readme = SplitLines(ReadText(VOLTRAX_SOURCE_DIR "/README.md"));
    Lines man = SplitLines(ReadText(VOLTRAX_SOURCE_DIR "/src/window/install/voltrax.6.in"));
    gen::Translations english_captions =
        gen::ReadTranslations(VOLTRAX_SOURCE_DIR "/translations/voltrax_en.ts");

    // "read me.txt" up to the dashed line before its English part.
    static Lines JapanesePart() {
        const std::string bytes = ReadText(ProgramPath("read me.txt"));
        Lines out;
        for (const std::string& line : SplitLines(Iconv(bytes, "CP932", "UTF-8").value_or(""))) {
            if (line.rfind("-----", 0) == 0) break;
            out.push_back(line);
        }
        return out;
    }
    std::string En(MenuId id) const { return gen::EnglishCaption(english_captions, id); }
};

TEST(HelpFacts, EnglishTextsNameTheKeysAndLayoutsOfTheKeyTable) {
    const Texts t;
    ASSERT_FALSE(t.english.empty()) << "read me.en.txt was not generated";
    for (const Document& doc : {EnglishHelp(t.english), Readme(t.readme), ManPage(t.man)}) {
        SCOPED_TRACE(doc.name);
        ASSERT_EQ(doc.keys.size(), kKeyFacts.size()) << "one row per key of the table, in its order";
        for (size_t i = 0; i < kKeyFacts.size(); ++i) {
            EXPECT_EQ(doc.keys[i].keys, kKeyFacts[i].keys) << "row " << i << ": " << doc.keys[i].action;
            EXPECT_NE(Lower(doc.keys[i].action).find(Lower(std::string(kKeyFacts[i].english))),
                      std::string::npos)
                << doc.keys[i].keys << " is said to do: " << doc.keys[i].action;
        }
        ASSERT_EQ(doc.layouts.size(), kLayoutFacts.size());
        for (size_t i = 0; i < kLayoutFacts.size(); ++i) {
            EXPECT_EQ(doc.layouts[i].name, kLayoutFacts[i].name);
            EXPECT_EQ(doc.layouts[i].up, kLayoutFacts[i].up) << kLayoutFacts[i].name;
            EXPECT_EQ(doc.layouts[i].down, kLayoutFacts[i].down) << kLayoutFacts[i].name;
        }
    }
}

TEST(HelpFacts, JapaneseHelpNamesTheKeysAndLayoutsOfTheKeyTable) {
    const Texts t;
    const std::string keys = RunTogether(Section(t.japanese, "■ 操作", "■ "));
    ASSERT_FALSE(keys.empty());
    for (const KeyFact& fact : kKeyFacts) {
        if (fact.japaneseKeys.empty()) continue;
        const std::string k(fact.japaneseKeys), what(fact.japanese);
        const bool named = keys.find(k + " キー（" + what + "）") != std::string::npos ||
                           keys.find(k + "キー（" + what + "）") != std::string::npos ||
                           keys.find(k + " ： " + what) != std::string::npos;
        EXPECT_TRUE(named) << fact.keys << " should be named as " << k << " for " << what;
    }
    // "2P の下のキーは、日本語キーボードでは \（ろ）、…です。" and
    // "2P の上のキーはドイツ語では +、フランス語では $ の位置です。"
    auto claims = [&](const std::string& from, const std::string& to, const std::string& where) {
        std::vector<std::pair<std::string, std::string>> out;  // layout name, key
        const size_t start = keys.find(from);
        const size_t end = start == std::string::npos ? start : keys.find(to, start);
        if (end == std::string::npos) return out;
        std::string sentence = keys.substr(start + from.size(), end - start - from.size()) + "、";
        for (size_t cut = sentence.find("、"); cut != std::string::npos; cut = sentence.find("、")) {
            const std::string part = sentence.substr(0, cut);
            sentence.erase(0, cut + std::string("、").size());
            const size_t at = part.find(where);
            if (at == std::string::npos) continue;
            std::string key = TrimLeft(part.substr(at + where.size()));
            key = key.substr(0, std::min(key.find(' '), key.find("（")));
            std::string names = part.substr(0, at);
            for (size_t dot = names.find("・");; dot = names.find("・")) {
                out.push_back({names.substr(0, dot), key});
                if (dot == std::string::npos) break;
                names.erase(0, dot + std::string("・").size());
            }
        }
        return out;
    };
    const auto down = claims("2P の下のキーは、", "です。", "キーボードでは");
    const auto up = claims("2P の上のキーは", "の位置です。", "では");
    ASSERT_FALSE(down.empty());
    ASSERT_FALSE(up.empty());
    for (const LayoutFact& layout : kLayoutFacts) {
        if (layout.japaneseName.empty()) continue;
        SCOPED_TRACE(std::string(layout.name));
        int downs = 0, ups = 0;
        for (const auto& [name, key] : down) {
            if (name != layout.japaneseName) continue;
            EXPECT_EQ(key, layout.down);
            ++downs;
        }
        for (const auto& [name, key] : up) {
            if (name != layout.japaneseName) continue;
            EXPECT_EQ(key, layout.up);
            ++ups;
        }
        EXPECT_EQ(downs, 1) << "every layout's down key is named once";
        EXPECT_EQ(ups, layout.up == "]" ? 0 : 1) << "an up key other than ] is named";
    }
    for (const auto& [name, key] : down) {
        bool known = false;
        for (const LayoutFact& layout : kLayoutFacts) known = known || name == layout.japaneseName;
        EXPECT_TRUE(known) << "a layout the key table does not have: " << name;
    }
}

// "Time 120" -> "120".
std::string Number(const std::string& caption) {
    return caption.substr(caption.rfind(' ') + 1);
}

TEST(HelpFacts, HelpTextsAndReadmeNameTheOptionsAsTheMenusDo) {
    const Texts t;
    using M = MenuId;
    auto ja = gen::JapaneseCaption;
    // Japanese: the options section and the rules, from the menu model's captions.
    const Lines options = Section(t.japanese, "■ オプション", "■ ");
    auto line = [&](const std::string& label) {
        for (const std::string& l : options)
            if (TrimLeft(l).rfind(label, 0) == 0) return l;
        return std::string();
    };
    EXPECT_NE(line(ja(M::MenuMode))
                  .find(gen::CaptionRun({ja(M::Menutime1), ja(M::Menutime2), ja(M::Menutime3),
                                         ja(M::Menuscr1), ja(M::Menuscr2), ja(M::Menuscr3)},
                                        "、")),
              std::string::npos);
    EXPECT_NE(
        line(ja(M::MenuLevel))
            .find(gen::CaptionRun({ja(M::MenuDiffMode1), ja(M::MenuDiffMode2), ja(M::MenuDiffMode3)}, "・")),
        std::string::npos);
    EXPECT_NE(line(ja(M::MenuSound)).find(gen::CaptionRun({ja(M::MenuWave), ja(M::MenuMidi)}, "と")),
              std::string::npos);
    const std::string rules = RunTogether(Section(t.japanese, "■ ルール", "■ "));
    EXPECT_NE(rules.find(Number(ja(M::Menutime1)) + "秒・" + Number(ja(M::Menutime2)) + "秒・" +
                         Number(ja(M::Menutime3)) + "秒"),
              std::string::npos);
    EXPECT_NE(rules.find(Number(ja(M::Menuscr1)) + "点・" + Number(ja(M::Menuscr2)) + "点・" +
                         Number(ja(M::Menuscr3)) + "点"),
              std::string::npos);
    bool rulesHeading = false;
    for (const std::string& l : t.japanese)
        rulesHeading = rulesHeading || l.find("■ ルール（" + ja(M::MenuOpt) + " → " + ja(M::MenuMode)) == 0;
    EXPECT_TRUE(rulesHeading) << "the rules name the menu they are chosen in";

    // English: the help text's options and the README's, from the translation's captions.
    const std::string times = gen::CaptionRun({t.En(M::Menutime1), t.En(M::Menutime2), t.En(M::Menutime3)});
    const std::string scores = gen::CaptionRun({t.En(M::Menuscr1), t.En(M::Menuscr2), t.En(M::Menuscr3)});
    const std::string levels =
        gen::CaptionRun({t.En(M::MenuDiffMode1), t.En(M::MenuDiffMode2), t.En(M::MenuDiffMode3)});
    ASSERT_EQ(times, "Time 120 / 90 / 60") << "the translation file was read";
    const std::string english = RunTogether(Section(t.english, "* Options", "* "), " ");
    const std::string readme = RunTogether(Section(t.readme, "## Options", "## "), " ");
    for (const std::string& text : {english, readme}) {
        for (const std::string& named : {times, scores, levels, t.En(M::MenuWave), t.En(M::MenuMidi)})
            EXPECT_NE(text.find(named), std::string::npos) << named << " in: " << text;
    }
}

TEST(HelpFacts, CommandLineOptionsNamedAreTheProgramsOwn) {
    const Texts t;
    std::set<std::string> known;
    for (const CommandLineOption& option : CommandLineOptions()) known.insert(option.name);
    struct Named {
        std::string text;
        std::regex pattern;
        bool all;  // names every option
    };
    const Named texts[] = {
        {RunTogether(t.english, " "), std::regex(R"(voltrax --([a-z][a-z-]*))"), false},
        {RunTogether(t.readme, " "), std::regex(R"((?:voltrax |`)--([a-z][a-z-]*))"), false},
        {Replace(RunTogether(t.man, " "), "\\-", "-"), std::regex(R"(--([a-z][a-z-]*))"), true},
    };
    for (const Named& named : texts) {
        std::set<std::string> seen;
        for (std::sregex_iterator it(named.text.begin(), named.text.end(), named.pattern), end; it != end;
             ++it)
            seen.insert((*it)[1]);
        EXPECT_FALSE(seen.empty());
        for (const std::string& name : seen)
            EXPECT_TRUE(known.count(name)) << "--" << name << " is not an option";
        if (named.all) {
            EXPECT_EQ(seen, known) << "every option the program has";
        }
    }
}

}  // namespace
}  // namespace vx::testing
