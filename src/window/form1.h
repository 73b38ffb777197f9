// Form1: the main window. It shows MainPict, carries the menu bar mirrored from the
// game's menu model, turns key and mouse events into the game's handlers, runs Timer1
// reads the gamepads, pauses a match when the window goes to the background, and opens
// the help window and the about box.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "frontend/key_translator.h"
#include "frontend/new_options.h"
#include "frontend/pad_input.h"

namespace vx {

struct Game;
class AboutBoxKeeper;
class MainPictView;
class MenuBarBinding;
class QtHost;
enum class MenuId : uint8_t;

class Form1 : public QMainWindow {
  public:
    // The game must outlive the window. Form_Load is separate so that the caller can
    // check the design pictures first.
    explicit Form1(Game& g, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: settings, the title screen, and the opening music when it is on.
    void Form_Load();

    MainPictView* MainPict() const { return view_; }
    MenuBarBinding* Menus() const { return menus_; }
    QtHost* Host() const { return host_; }
    AboutBoxKeeper& AboutBox() { return *about_; }

    // The menu commands, by item (what the menu bar's actions call).
    void RunMenuCommand(MenuId id);

    // Reads pads from source (which must outlive the window) from now on, between frames.
    void AttachPads(PadSource* source);
    const NewOptions& Options() const { return options_; }
    // The check item under Options that turns pausing on focus loss on and off.
    QAction* PauseOnFocusLossAction() const { return pauseOnFocusLoss_; }

  protected:
    void changeEvent(QEvent* event) override;  // Form_Activate
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // Form_Unload

  private:
    void KeyEvent(const KeyInput& key);
    // The opening music of start-up, once: after the title's first paint or at the latest
    // kOpeningMusicLatestMs after Form_Load, if nothing has opened music in between.
    void StartOpeningMusic();
    void PollPads();

    Game& g_;
    MainPictView* view_;
    QtHost* host_;
    MenuBarBinding* menus_;
    std::unique_ptr<AboutBoxKeeper> about_;
    KeyTranslator keys_;
    bool openingMusicDue_ = false;
    NewOptions options_;
    QAction* pauseOnFocusLoss_ = nullptr;
    PadSource* pads_ = nullptr;
    PadInput padInput_;
    QTimer padTimer_;
};

}  // namespace vx
