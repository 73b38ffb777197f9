#include "core/menu_model.h"

#include "core/options_table.h"

namespace vx {

namespace {

using M = MenuId;

constexpr MenuItem Top(M id, const char* name, const char* caption) {
    return {id, id, name, caption, 0, false, false, true};
}
constexpr MenuItem Entry(M id, M parent, const char* name, const char* caption, char shortcut = 0,
                         bool checked = false, bool enabled = true) {
    return {id, parent, name, caption, shortcut, false, checked, enabled};
}
constexpr MenuItem Separator(M id, M parent, const char* name) {
    return {id, parent, name, "", 0, true, false, true};
}

constexpr std::array<MenuItem, kMenuItemCount> kAtStart = {{
    Top(M::MenuGame, "MenuGame", "ゲーム(&G)"),
    Entry(M::MenuVSCPU, M::MenuGame, "MenuVSCPU", "1P VS CPU(&C)"),
    Entry(M::MenuVS2P, M::MenuGame, "MenuVS2P", "1P VS 2P(&H)"),
    Entry(M::MenuWatch, M::MenuGame, "MenuWatch", "リプレイを見る(&W)..."),
    Entry(M::MenuNetHost, M::MenuGame, "MenuNetHost", "ネット対戦を開く(&N)..."),
    Entry(M::MenuNetJoin, M::MenuGame, "MenuNetJoin", "ネット対戦に参加(&J)..."),
    Entry(M::MenuNetWatch, M::MenuGame, "MenuNetWatch", "観戦する(&V)..."),
    Entry(M::MenuNetOnline, M::MenuGame, "MenuNetOnline", "オンライン対戦(&O)..."),
    Separator(M::SeparatorBeforePause, M::MenuGame, "SeparatorBeforePause"),
    Entry(M::MenuPause, M::MenuGame, "MenuPause", "ゲームの一時停止(&P)", 'P', false, false),
    Entry(M::MenuRePlay, M::MenuGame, "MenuRePlay", "ゲームの再開(&R)", 'R', false, false),
    Entry(M::MenuGameStop, M::MenuGame, "MenuGameStop", "ゲームの中止(&S)", 'S', false, false),
    Separator(M::SeparatorBeforeQuit, M::MenuGame, "SeparatorBeforeQuit"),
    Entry(M::MenuEnd, M::MenuGame, "MenuEnd", "終了(&X)", 'X'),
    Top(M::MenuOpt, "MenuOpt", "オプション(&O)"),
    Entry(M::MenuMode, M::MenuOpt, "MenuMode", "モード(&M)"),
    Entry(M::Menutime1, M::MenuMode, "Menutime(1)", Facts(Choice::kTime).captions[0]),
    Entry(M::Menutime2, M::MenuMode, "Menutime(2)", Facts(Choice::kTime).captions[1]),
    Entry(M::Menutime3, M::MenuMode, "Menutime(3)", Facts(Choice::kTime).captions[2]),
    Separator(M::SeparatorTimeScore, M::MenuMode, "SeparatorTimeScore"),
    Entry(M::Menuscr1, M::MenuMode, "Menuscr(1)", Facts(Choice::kScore).captions[0]),
    Entry(M::Menuscr2, M::MenuMode, "Menuscr(2)", Facts(Choice::kScore).captions[1]),
    Entry(M::Menuscr3, M::MenuMode, "Menuscr(3)", Facts(Choice::kScore).captions[2]),
    Entry(M::MenuLevel, M::MenuOpt, "MenuLevel", "難易度(&L)"),
    Entry(M::MenuDiffMode1, M::MenuLevel, "MenuDiffMode(1)", Facts(Choice::kDifficulty).captions[0]),
    Entry(M::MenuDiffMode2, M::MenuLevel, "MenuDiffMode(2)", Facts(Choice::kDifficulty).captions[1]),
    Entry(M::MenuDiffMode3, M::MenuLevel, "MenuDiffMode(3)", Facts(Choice::kDifficulty).captions[2]),
    Entry(M::MenuSound, M::MenuOpt, "MenuSound", "サウンド(&M)"),
    Entry(M::MenuWave, M::MenuSound, "MenuWave", Facts(Switch::kEffects).caption),
    Entry(M::MenuMidi, M::MenuSound, "MenuMidi", Facts(Switch::kMusic).caption),
    Entry(M::MenuKeys, M::MenuOpt, "MenuKeys", "キー設定(&K)..."),
    Entry(M::MenuFullScreen, M::MenuOpt, "MenuFullScreen", "全画面表示(&F)"),
    Top(M::MenuHelp, "MenuHelp", "ヘルプ(&H)"),
    Entry(M::MenuVXHelp, M::MenuHelp, "MenuVXHelp", "VOLTRAXのヘルプ(&H)"),
    Separator(M::SeparatorBeforeAbout, M::MenuHelp, "SeparatorBeforeAbout"),
    Entry(M::MenuVer, M::MenuHelp, "MenuVer", "バージョン情報(&V)"),
}};

}  // namespace

// The option items are checked for the default options until the settings are applied.
MenuModel::MenuModel() : items_(kAtStart) {
    ShowOptions(*this, OptionSet{});
}

void MenuModel::SetChecked(MenuId id, bool checked) {
    items_[Index(id)].checked = checked;
    if (onChange) onChange(id);
}

void MenuModel::SetEnabled(MenuId id, bool enabled) {
    items_[Index(id)].enabled = enabled;
    if (onChange) onChange(id);
}

}  // namespace vx
