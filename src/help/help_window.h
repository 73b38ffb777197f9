// HelpWindow, the modal help window: the help text (ReadMeFileFor) on one page and the picture
// of the items on the other, each with its own scroll bar and kept scroll position,
// switched from the window's small menu bar.
#pragma once

#include <QDialog>
#include <QString>

#include <filesystem>

#include "help/read_me_text.h"

class QAction;
class QLabel;
class QScrollBar;

namespace vx {

class HelpWindow : public QDialog {
  public:
    // The outer size of the window; the client area leaves room for the frame.
    static constexpr int kWindowWidth = 501;
    static constexpr int kWindowHeight = 316;
    static constexpr int kPageWidth = 480;  // the item picture's width

    // Reads the help text at once (the window is never shown half-loaded) and loads the
    // item picture (a BMP; the item page stays empty when it is missing).
    HelpWindow(const ReadMeFile& readMe, const QString& itemPicturePath, QWidget* parent = nullptr);

    // The menu commands.
    void ShowReadMe();
    void ShowItemPage();
    void CloseHelp();

    QAction* MRead() const { return mRead_; }
    QAction* MItem() const { return mItem_; }
    QAction* MEnd() const { return mEnd_; }
    QWidget* Picture2() const { return picture2_; }  // the viewport
    QLabel* Picture1() const { return picture1_; }   // text page
    QLabel* Picture3() const { return picture3_; }   // item page
    QScrollBar* VScroll1() const { return vScroll1_; }
    QScrollBar* VScroll2() const { return vScroll2_; }
    ReadMeStatus TextStatus() const { return textStatus_; }

  private:
    void BuildMenu();
    void LoadText(const ReadMeFile& readMe);
    void LayOut();
    static void FitScrollBar(QScrollBar* bar, int pageHeight, int viewportHeight, int lineStep);

    QAction* mRead_ = nullptr;
    QAction* mItem_ = nullptr;
    QAction* mEnd_ = nullptr;
    QWidget* picture2_ = nullptr;
    QLabel* picture1_ = nullptr;
    QLabel* picture3_ = nullptr;
    QScrollBar* vScroll1_ = nullptr;
    QScrollBar* vScroll2_ = nullptr;
    ReadMeStatus textStatus_ = ReadMeStatus::Missing;
};

// MenuVXHelp: shows the help window modally and returns when it is closed.
void ShowHelp(QWidget* parent, const ReadMeFile& readMe, const QString& itemPicturePath);

}  // namespace vx
