#include "readme_text.h"

#include <iconv.h>

#include <string_view>
#include <vector>

#include "frontend/command_line.h"
#include "frontend/key_facts.h"
#include "match/replay_recorder.h"
#include "net/enet_link.h"
#include "platform/version.h"

namespace gen {

namespace {

const char* const kJapanese[] = {
    "VOLTRAX VER " VOLTRAX_VERSION_TEXT "  遊び方",
    "",
    "■ ゲームの目的",
    "  細長いテーブルの両端にゴールがあります。自分のパドルでパックを打ち返し、",
    "  相手のゴールに入れると1点です。左側が1P、右側が2P（またはCPU）です。",
    "  自分の側には長い後ろのパドルと短い前のパドルがあり、ひとつの上下キーで",
    "  同時に動きます。後ろのパドルが上がると前のパドルは下がり、逆も同じです。",
    "",
    "■ 操作",
    "  1P ： A キー（後ろのパドルが上、前のパドルが下） / Z キー（その逆）",
    "  2P ： ] キー（後ろのパドルが上） / Z の左のキー（後ろのパドルが下）",
    "        2P の下のキーは、日本語キーボードでは \\（ろ）、英語（US）キーボード",
    "        では / 、ドイツ語・フランス語キーボードでは < です。",
    "        2P の上のキーはドイツ語では +、フランス語では $ の位置です。",
    "        ※ 2Pのキーは「1P VS 2P」のときだけ使えます。",
    "  P ： 一時停止    R ： 再開    S ： 中止してタイトルへ    Esc ： 終了",
    "  タイトル画面とステージ選択画面ではマウスでボタンを押してください。",
    "  リプレイを見ているとき（ゲーム → リプレイを見る）：",
    "    Space ： 一時停止／再開    → ： 5秒先へ    ← ： 5秒前へ",
    "    Shift + → ： 一時停止中に1コマ進む    Home ： 最初から",
    "    + ／ - ： 速く／遅く（×1/4・×1/2・×1・×2・×4）",
    "    テーブルの下のタイムラインをクリックすると、その場面へ移ります。",
    "",
    "■ ルール（オプション → モードで選びます）",
    "  時間制 ： 120秒・90秒・60秒。時間切れのとき得点の多いほうが勝ち。",
    "           同点なら引き分けです。",
    "  得点制 ： 10点・30点・50点。先にその点数に届いたほうが勝ち。",
    "",
    "■ ステージ",
    "  1 NORMAL    ： 障害物のない基本のテーブル。",
    "  2 ZIGZAG    ： 上下の壁がギザギザで、パックが斜めにはね返ります。",
    "  3 ACT-2     ： 四すみのブロックと両端の囲い。ゴールはなく、",
    "                 相手側の柱（2本）にパックを当てると1点です。",
    "  4 IRREGULAR ： 10個の丸いバンパーがパックを思わぬ方向にはじきます。",
    "  5 TRIPLE    ： パックが3個。中央にひし形のブロックがあります。",
    "",
    "■ アイテム",
    "  ときどきテーブルの中央にカプセルが現れます。パックで打つとカプセルが",
    "  動き出し、後ろのパドルで受け止めた側（またはカプセルが着いた端を",
    "  攻める側）がアイテムを受け取ります。効果は約10秒続きます。",
    "  LENGTH UP    ： 自分の前のパドルが長くなる。",
    "  LENGTH DOWN  ： 自分の後ろのパドルが短くなる。",
    "  LOST FORWARD ： 自分の前のパドルが消える。",
    "  DOUBLE       ： パックが2個になる。",
    "  BACK BOOST   ： 自分の後ろのパドルの打ち返しが速くなる。",
    "  PANIC        ： 両者のパドルの打ち返しが猛烈に速くなる。",
    "  RANDOM SPEED ： 両者の打ち返しの速さがでたらめになる。",
    "  SHIFT CHANGE ： 自分の上下の操作が逆になる（1P VS 2Pのみ）。",
    "  BLIND        ： 自分の陣地が真っ暗になる（1P VS 2Pのみ）。",
    "  ???          ： 受け取るまで中身がわからないカプセルです。",
    "",
    "■ オプション",
    "  モード   ： Time 120 / 90 / 60、Score 10 / 30 / 50",
    "  難易度   ： 易しい・普通・難しい（CPUの強さ）",
    "  サウンド ： 効果音とBGMのオン・オフ",
    "  設定はすぐに保存され、次に起動したときも使われます。",
    "",
};

// The English part of "read me.txt", kept as the file has always had it.
const char* const kEnglish[] = {
    "------------------------------------------------------------------------",
    "",
    "VOLTRAX VER " VOLTRAX_VERSION_TEXT "  How to play",
    "",
    "* The goal",
    "  Each player guards a goal at one end of a long table. Knock the puck",
    "  into the other goal to score a point. Player 1 plays on the left,",
    "  player 2 (or the computer) on the right. Your side has a long back",
    "  paddle and a short front paddle worked by one pair of keys, like the",
    "  two ends of a lever: when the back paddle goes up, the front one goes",
    "  down.",
    "",
    "* Keys",
    "  Player 1:  A  back paddle up, front paddle down;  Z  the other way",
    "  Player 2:  ]  back paddle up;  the key left of Z  back paddle down",
    "             (1P VS 2P only). Player 2's down key is  /  on US keyboards,",
    "             \\  on UK and Japanese ones (ろ),  <  on German and French ones;",
    "             the up key prints  +  on German and  $  on French keyboards.",
    "  P  pause    R  resume    S  stop and go back to the title    Esc  quit",
    "  On the title and stage select screens, click the buttons with the mouse.",
    "",
    "* The two rules (Options > Mode)",
    "  Time limit:  120, 90 or 60 seconds. When time is up the higher score",
    "               wins; equal scores are a draw.",
    "  Score limit: 10, 30 or 50 goals. The first to reach it wins.",
    "",
    "* The five stages",
    "  1 NORMAL     the bare table.",
    "  2 ZIGZAG     saw-tooth walls along the top and bottom send the puck",
    "               off at an angle.",
    "  3 ACT-2      blocks near the corners and brackets at both ends. There",
    "               are no goals: hit one of the two posts on the other side.",
    "  4 IRREGULAR  ten round bumpers knock the puck about.",
    "  5 TRIPLE     three pucks at once and a diamond block on the centre spot.",
    "",
    "* Items",
    "  Now and then a capsule appears in the middle of the table. Hit it with",
    "  the puck and it drifts away; the side whose back paddle catches it (or",
    "  who attacks the end it reaches) gets the item for about ten seconds.",
    "  LENGTH UP     your front paddle grows long.",
    "  LENGTH DOWN   your back paddle shrinks.",
    "  LOST FORWARD  your front paddle disappears.",
    "  DOUBLE        a second puck joins the play.",
    "  BACK BOOST    your back paddle hits as hard as a front paddle.",
    "  PANIC         every paddle hits much harder and faster.",
    "  RANDOM SPEED  every paddle hits at a random speed.",
    "  SHIFT CHANGE  your up and down keys swap (1P VS 2P only).",
    "  BLIND         your own half of the table goes dark (1P VS 2P only).",
    "  ???           a capsule that hides its kind until someone gets it.",
    "",
    "* Options",
    "  Mode:        Time 120 / 90 / 60, Score 10 / 30 / 50",
    "  Difficulty:  easy, normal, hard (how quick the computer is)",
    "  Sound:       sound effects and background music on or off",
    "  Options are saved at once and kept for the next time you play.",
};

// The English help text's stages and items: a name and what it is.
struct Entry {
    const char* name;
    const char* text;
};

const Entry kEnglishStages[] = {
    {"1 NORMAL", "the bare table."},
    {"2 ZIGZAG", "saw-tooth walls along the top and bottom send the puck off at an angle."},
    {"3 ACT-2",
     "blocks near the corners and brackets at both ends. There are no goals: hit one of the two "
     "posts on the other side."},
    {"4 IRREGULAR", "ten round bumpers knock the puck about."},
    {"5 TRIPLE", "three pucks at once and a diamond block on the centre spot."},
};

// The replay viewer's keys (src/frontend/replay_watch.cpp), while a replay is watched.
const Entry kReplayKeys[] = {
    {"Space", "hold the replay, or let it play on"},
    {"→ and ←", "jump 5 seconds on and back"},
    {"Shift+→", "one frame on while the replay is held"},
    {"+ and -", "faster and slower: ×¼, ×½, ×1, ×2 or ×4"},
    {"Home", "start the replay again from its beginning"},
    {"a click", "on the thin timeline below the table jumps there"},
};

const Entry kEnglishItems[] = {
    {"LENGTH UP", "your front paddle grows long."},
    {"LENGTH DOWN", "your back paddle shrinks."},
    {"LOST FORWARD", "your front paddle disappears."},
    {"DOUBLE", "a second puck joins the play."},
    {"BACK BOOST", "your back paddle hits as hard as a front paddle."},
    {"PANIC", "every paddle hits much harder and faster."},
    {"RANDOM SPEED", "every paddle hits at a random speed."},
    {"SHIFT CHANGE", "your up and down keys swap (1P VS 2P only)."},
    {"BLIND", "your own half of the table goes dark (1P VS 2P only)."},
    {"???", "a capsule that hides its kind until someone gets it."},
};

using vx::MenuId;

constexpr size_t kWidth = 66;           // the columns the help window's English page shows
constexpr char kKeepTogether = '\x01';  // a space the wrapping does not break at

// The columns a UTF-8 text takes on the page: one per character (the English page's font
// is fixed-width).
size_t Columns(std::string_view text) {
    size_t columns = 0;
    for (const char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return columns;
}

// Appends `text` after `lead`, wrapped at word boundaries to kWidth with the next lines
// indented as far as the text starts.
void Wrapped(std::string& out, const std::string& lead, std::string_view text) {
    std::string line = lead;
    const std::string indent(Columns(lead), ' ');
    bool lineHasWord = false;
    while (!text.empty()) {
        const size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (lineHasWord && Columns(line) + 1 + Columns(word) > kWidth) {
            out += line + "\n";
            line = indent;
            lineHasWord = false;
        }
        if (lineHasWord) line += ' ';
        for (char c : word) line += c == kKeepTogether ? ' ' : c;
        lineHasWord = true;
    }
    out += line + "\n";
}

std::string Padded(std::string_view text, size_t width) {
    std::string out(text);
    if (Columns(out) < width) out.append(width - Columns(out), ' ');
    return out;
}

// "voltrax --host [PORT]" as the command-line table writes it, kept on one line.
std::string Option(std::string_view name) {
    for (const vx::CommandLineOption& option : vx::CommandLineOptions())
        if (name == option.name)
            return std::string("voltrax") + kKeepTogether + "--" + std::string(name) +
                   (option.argument ? kKeepTogether + std::string(option.argument) : "");
    return {};
}

// The English help text. Keys come from the key table, options and menu paths from the
// menus' own captions, so the page says what the program does.
class EnglishReadMe {
  public:
    explicit EnglishReadMe(const Translations& english) : en_(english) {}

    std::string Text() {
        Head();
        Keys();
        Rules();
        Stages();
        Items();
        Options();
        NetworkPlay();
        Replays();
        return complete_ ? out_ : std::string();
    }

  private:
    std::string C(MenuId id) {
        std::string caption = EnglishCaption(en_, id);
        if (caption.empty()) complete_ = false;
        return caption;
    }
    std::string Path(MenuId menu, MenuId item) { return C(menu) + " > " + C(item); }
    void Line(const std::string& text = "") { out_ += text + "\n"; }
    void Para(std::string_view text) { Wrapped(out_, "  ", text); }
    void Section(const std::string& title) {
        Line();
        Line("* " + title);
    }

    void Head() {
        Line("VOLTRAX VER " VOLTRAX_VERSION_TEXT "  How to play");
        Section("The goal");
        Para(
            "Each player guards a goal at one end of a long table. Knock the puck into the other goal to "
            "score a point. Player 1 plays on the left, player 2 (or the computer) on the right. Your side "
            "has a long back paddle and a short front paddle worked by one pair of keys, like the two ends "
            "of "
            "a lever: when the back paddle goes up, the front one goes down.");
    }

    void Keys() {
        Section("Keys");
        size_t width = 0;
        for (const vx::KeyFact& key : vx::kKeyFacts) width = std::max(width, key.keys.size());
        for (const vx::KeyFact& key : vx::kKeyFacts)
            Wrapped(out_, "  " + Padded(key.keys, width + 2), key.english);
        Line();
        Para(
            "Player 2's keys on the common keyboard layouts (the same two places on every keyboard; the "
            "slash key works as the down key everywhere):");
        for (const vx::LayoutFact& layout : vx::kLayoutFacts)
            Line("    " + Padded(layout.name, 10) + "up  " + Padded(layout.up, 3) + "down  " +
                 Padded(layout.down, 2) + "(" + std::string(layout.downPlace) + ")");
        Line();
        Para(Path(MenuId::MenuOpt, MenuId::MenuKeys) +
             " chooses other keys for either player and for pause; they are kept by their place on the "
             "keyboard, so they stay put when the layout changes.");
        Line();
        Para(
            "On the title, stage select and result screens, click the buttons with the mouse. Game "
            "controllers work too: the first pad is player 1, the second player 2; Start pauses and "
            "resumes, Back stops a paused match.");
        Line();
        Para("While a replay is watched (" + Path(MenuId::MenuGame, MenuId::MenuWatch) +
             "), the paddle keys do nothing and these keys steer it; P, R, S and Esc act as in a match:");
        for (const Entry& key : kReplayKeys) Wrapped(out_, "  " + Padded(key.name, width + 2), key.text);
    }

    void Rules() {
        Section("The two rules (" + Path(MenuId::MenuOpt, MenuId::MenuMode) + ")");
        Wrapped(out_,
                "  " + CaptionRun({C(MenuId::Menutime1), C(MenuId::Menutime2), C(MenuId::Menutime3)}) + ":  ",
                "seconds of play. When time is up the higher score wins; equal scores are a draw.");
        Wrapped(out_,
                "  " + CaptionRun({C(MenuId::Menuscr1), C(MenuId::Menuscr2), C(MenuId::Menuscr3)}) + ":  ",
                "goals. The first to reach the score wins.");
    }

    void Stages() {
        Section("The five stages");
        for (const Entry& stage : kEnglishStages) Wrapped(out_, "  " + Padded(stage.name, 13), stage.text);
    }

    void Items() {
        Section("Items");
        Para(
            "Now and then a capsule appears in the middle of the table. Hit it with the puck and it drifts "
            "away; the side whose back paddle catches it (or who attacks the end it reaches) gets the item "
            "for about ten seconds.");
        for (const Entry& item : kEnglishItems) Wrapped(out_, "  " + Padded(item.name, 14), item.text);
        Para("The item list (Items in the help window's menu) shows each capsule.");
    }

    void Options() {
        Section(C(MenuId::MenuOpt));
        const std::string mode = C(MenuId::MenuMode) + ":", level = C(MenuId::MenuLevel) + ":",
                          sound = C(MenuId::MenuSound) + ":";
        const size_t width = std::max({mode.size(), level.size(), sound.size()}) + 2;
        Wrapped(out_, "  " + Padded(mode, width),
                CaptionRun({C(MenuId::Menutime1), C(MenuId::Menutime2), C(MenuId::Menutime3),
                            C(MenuId::Menuscr1), C(MenuId::Menuscr2), C(MenuId::Menuscr3)}));
        Wrapped(out_, "  " + Padded(level, width),
                CaptionRun({C(MenuId::MenuDiffMode1), C(MenuId::MenuDiffMode2), C(MenuId::MenuDiffMode3)}) +
                    " (how well the computer plays)");
        Wrapped(out_, "  " + Padded(sound, width),
                CaptionRun({C(MenuId::MenuWave), C(MenuId::MenuMidi)}) + ", each on or off");
        Para(C(MenuId::MenuKeys) + " and " + C(MenuId::MenuFullScreen) +
             " are there too. Options are saved at once and kept for the next time you play.");
    }

    void NetworkPlay() {
        Section("Network play");
        const std::string port = std::to_string(vx::net::kDefaultPort);
        Para("Two players on two machines play 1P VS 2P over the network. One hosts with " +
             Path(MenuId::MenuGame, MenuId::MenuNetHost) + " (or " + Option("host") +
             ") and waits on UDP port " + port + "; the other joins with " +
             Path(MenuId::MenuGame, MenuId::MenuNetJoin) + " and the host's address (or " + Option("join") +
             ").");
        Line();
        Para(
            "The host plays player 1 on the left and chooses the stage and what follows each result; its "
            "rule and level apply. Each side steers with its own player 1 keys or pad. P, R and S pause, "
            "resume and stop both sides.");
        Line();
        Para(
            "On one network nothing needs setting up. Over the internet the host's router must forward UDP "
            "port " +
            port +
            " to the host, and the host's firewall must let it in. Both programs must be the same "
            "version.");
    }

    void Replays() {
        Section("Replays");
        Para("Every match is kept as a replay in ~/.local/share/voltrax/replays/ (the newest " +
             std::to_string(vx::kReplaysKept) + "). " + Path(MenuId::MenuGame, MenuId::MenuWatch) +
             " plays one back, as does " + Option("replay") + "; " + Option("verify-replay") +
             " checks one without a window.");
    }

    const Translations& en_;
    std::string out_;
    bool complete_ = true;
};

}  // namespace

std::string ReadMeEnglishUtf8(const Translations& english) {
    return EnglishReadMe(english).Text();
}

std::string ReadMeUtf8() {
    std::string text;
    for (const char* line : kJapanese) text += std::string(line) + "\r\n";
    for (const char* line : kEnglish) text += std::string(line) + "\r\n";
    return text;
}

QByteArray ToCp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == iconv_t(-1)) return {};
    std::vector<char> in(utf8.begin(), utf8.end());
    std::vector<char> out(utf8.size() * 2 + 16);
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1) || inLeft != 0) return {};
    return QByteArray(out.data(), int(out.size() - outLeft));
}

}  // namespace gen
