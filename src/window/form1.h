// Form1: the main window. It shows MainPict, carries the menu bar mirrored from the
// game's menu model, turns key and mouse events into the game's handlers, runs Timer1
// and opens the help window and the about box.
#pragma once

#include <QMainWindow>
#include <memory>

#include "frontend/key_translator.h"

namespace vx {

struct Game;
class AboutBoxKeeper;
class MainPictView;
class MenuBarBinding;
class QtHost;
enum class MenuId : uint8_t;

class Form1 : public QMainWindow {
  public:
    // host is the game's host: the window shows MainPict through it and runs Timer1 on
    // it. The game and the host must outlive the window. Form_Load is separate so that
    // the caller can check the pictures of the program folder first.
    Form1(Game& g, QtHost& host, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: settings, the title screen, and the opening music when it is on.
    void Form_Load();

    MainPictView* MainPict() const { return view_; }
    MenuBarBinding* Menus() const { return menus_; }
    QtHost* Host() const { return host_; }

    // The menu commands, by item (what the menu bar's actions call).
    void RunMenuCommand(MenuId id);

  protected:
    void changeEvent(QEvent* event) override;  // Form_Activate
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // Form_Unload

  private:
    void KeyEvent(const KeyInput& key);
    // The opening music of start-up, once: after the title's first paint or at the latest
    // kOpeningMusicLatestMs after Form_Load, if nothing has opened music in between.
    void StartOpeningMusic();

    Game& g_;
    MainPictView* view_;
    QtHost* host_;
    MenuBarBinding* menus_;
    std::unique_ptr<AboutBoxKeeper> about_;
    KeyTranslator keys_;
    bool openingMusicDue_ = false;
};

}  // namespace vx
