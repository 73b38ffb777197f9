// AboutBox, the about box: types the version line and the credits onto the about picture
// one character at a time, plays the paddle hit and closes on a click once it has finished.
// The typing runs from a timer against a millisecond clock, so the main window keeps
// working meanwhile and closing the box mid-way simply stops it.
#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QTimer;

namespace vx {

class AboutBox : public QWidget {
  public:
    static constexpr int kWidth = 331;
    static constexpr int kHeight = 235;
    static constexpr int kFirstWaitMs = 600;
    static constexpr int kCharWaitMs = 5;

    struct Setup {
        QString picturePath;              // the about picture (BMP); black when missing
        std::function<int64_t()> nowMs;   // the millisecond clock; a steady clock if empty
        std::function<void()> playWave1;  // plays effect::kPaddleHit
        bool runTimer = true;             // false in tests, which call Tick themselves
    };

    // Start and StrInit: not finished, sized and centred, shown, typing started.
    // Deletes itself when closed.
    explicit AboutBox(Setup setup);
    ~AboutBox() override;

    bool Finished() const { return finished_; }
    int CharactersTyped() const { return typed_; }
    const QImage& Picture() const { return picture_; }

    // Unloads the box (the main window does so when it is activated, resized or closed).
    void Unload();

    // One poll of the clock: types the next character when its wait is over.
    void Tick();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;  // a click closes it
    void closeEvent(QCloseEvent* event) override;

  private:
    void TypeNext();

    Setup setup_;
    QImage picture_;
    QTimer* timer_ = nullptr;
    bool finished_ = false;
    bool typing_ = true;
    int64_t waitStartMs_ = 0;
    int64_t waitMs_ = kFirstWaitMs;
    int line_ = 0;
    int position_ = 0;  // index of the next character in the line
    int typed_ = 0;
};

// MenuVer: one about box at a time; a second Version command shows the existing one.
class AboutBoxKeeper {
  public:
    explicit AboutBoxKeeper(AboutBox::Setup setup) : setup_(std::move(setup)) {}
    ~AboutBoxKeeper() { Unload(); }
    AboutBox* ShowVersion();
    void Unload();  // deactivated, resized or closed
    AboutBox* Box() const { return box_; }

  private:
    AboutBox::Setup setup_;
    QPointer<AboutBox> box_;  // null again once the box has closed and gone
};

}  // namespace vx
