#include "help/help_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "window/shell_fonts.h"

namespace vx {

namespace {

// The frame around the client area that the outer size includes: a 3-pixel border all
// round and a 20-pixel caption. The window manager draws its own frame outside.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 26;
constexpr int kClientWidth = HelpWindow::kWindowWidth - kFrameWidth;
constexpr int kClientHeight = HelpWindow::kWindowHeight - kFrameHeight;
constexpr int kTextPixels = 13;         // 9.75 points at 96 dots per inch
constexpr int kEnglishTextPixels = 11;  // 66 columns of DejaVu Sans Mono fit the page
constexpr int kTextMargin = 4;

}  // namespace

HelpWindow::HelpWindow(const ReadMeFile& readMe, const QString& itemPicturePath, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("VOLTRAX　HELP"));
    setModal(true);
    BuildMenu();

    // Made bottom to top in stacking order: viewport, the two bars, item page, text page.
    picture2_ = new QWidget(this);
    picture2_->setAutoFillBackground(true);
    QPalette white = picture2_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    picture2_->setPalette(white);
    vScroll1_ = new QScrollBar(Qt::Vertical, this);
    vScroll2_ = new QScrollBar(Qt::Vertical, this);

    picture3_ = new QLabel(picture2_);
    picture3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QImage items = itemPicturePath.isEmpty() ? QImage() : QImage(itemPicturePath);
    if (!items.isNull()) {
        picture3_->setPixmap(QPixmap::fromImage(items));
        picture3_->resize(items.size());
    }

    picture1_ = new QLabel(picture2_);
    picture1_->setTextFormat(Qt::PlainText);
    picture1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The English text lines its keys and options up in columns of characters, so it takes
    // a fixed-width Latin font, small enough for its 66 columns; the Japanese one the
    // proportional font it was set in.
    picture1_->setFont(readMe.encoding == ReadMeEncoding::Utf8 ? LatinMonoFont(kEnglishTextPixels)
                                                               : IpaPGothicFont(kTextPixels));
    picture1_->setContentsMargins(kTextMargin, kTextMargin, kTextMargin, kTextMargin);
    LoadText(readMe);

    connect(vScroll1_, &QScrollBar::valueChanged, this, [this](int value) { picture1_->move(0, -value); });
    connect(vScroll2_, &QScrollBar::valueChanged, this, [this](int value) { picture3_->move(0, -value); });
    LayOut();
}

void HelpWindow::BuildMenu() {
    auto* bar = new QMenuBar(this);
    mRead_ = bar->addAction(QCoreApplication::translate("HelpWindow", "READ ME(&R)"));
    mItem_ = bar->addAction(QCoreApplication::translate("HelpWindow", "アイテム一覧（&I）"));
    mEnd_ = bar->addAction(QCoreApplication::translate("HelpWindow", "終了(&X)"));
    connect(mRead_, &QAction::triggered, this, [this] { ShowReadMe(); });
    connect(mItem_, &QAction::triggered, this, [this] { ShowItemPage(); });
    connect(mEnd_, &QAction::triggered, this, [this] { CloseHelp(); });
    bar->adjustSize();
}

void HelpWindow::LoadText(const ReadMeFile& readMe) {
    const ReadMeText text = LoadReadMeText(readMe);
    textStatus_ = text.status;
    const QString page = QString::fromUtf8(text.utf8.data(), static_cast<qsizetype>(text.utf8.size()));
    picture1_->setText(page);
    // The page grows to the whole text so the scroll range covers it; every line,
    // the last included, ends in a new line, so the page ends in one empty line.
    const QFontMetrics metrics(picture1_->font());
    const int lines = static_cast<int>(page.count(QLatin1Char('\n'))) + 1;
    int widest = 0;
    for (const QString& line : page.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // The lines are laid out at the font's fractional line spacing (12.8 pixels for the
    // English page's font, which rounds to 12), so the page is measured in fractions too.
    const QFontMetricsF exact(picture1_->font());
    const int textHeight = static_cast<int>(std::ceil(lines * std::max(exact.lineSpacing(), exact.height())));
    picture1_->resize(std::max(kPageWidth, widest + 2 * kTextMargin),
                      std::max(lines * metrics.lineSpacing(), textHeight) + 2 * kTextMargin);
}

void HelpWindow::LayOut() {
    setFixedSize(kClientWidth, kClientHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kWindowWidth) / 2, area.y() + (area.height() - kWindowHeight) / 2);
    }
    auto* bar = findChild<QMenuBar*>();
    const int top = bar->sizeHint().height();
    bar->setGeometry(0, 0, kClientWidth, top);
    picture2_->setGeometry(0, top, kPageWidth, kClientHeight - top);
    vScroll1_->setGeometry(kPageWidth, top, kClientWidth - kPageWidth, kClientHeight - top);
    vScroll2_->setGeometry(vScroll1_->geometry());
    picture1_->move(0, 0);
    picture3_->move(0, 0);

    const int viewport = picture2_->height();
    const int lineStep = QFontMetrics(picture1_->font()).lineSpacing();
    FitScrollBar(vScroll1_, picture1_->height(), viewport, lineStep);
    FitScrollBar(vScroll2_, picture3_->height(), viewport, lineStep);
    // The text page is the one shown first; its bar lies over the item page's.
    picture3_->hide();
    vScroll2_->hide();
    picture1_->show();
    vScroll1_->show();
    vScroll1_->raise();
    mRead_->setEnabled(false);
    mItem_->setEnabled(true);
}

void HelpWindow::FitScrollBar(QScrollBar* bar, int pageHeight, int viewportHeight, int lineStep) {
    // A page shorter than the viewport keeps a bar with nothing to scroll rather than
    // a negative range that would push the page down.
    bar->setRange(0, std::max(0, pageHeight - viewportHeight));
    bar->setSingleStep(lineStep);
    bar->setPageStep(std::max(1, viewportHeight - lineStep));
}

void HelpWindow::ShowReadMe() {
    picture3_->hide();
    vScroll2_->hide();
    picture1_->show();
    vScroll1_->show();
    mRead_->setEnabled(false);
    mItem_->setEnabled(true);
}

void HelpWindow::ShowItemPage() {
    picture3_->show();
    vScroll2_->show();
    picture1_->hide();
    vScroll1_->hide();
    mRead_->setEnabled(true);
    mItem_->setEnabled(false);
}

void HelpWindow::CloseHelp() {
    close();
}

void ShowHelp(QWidget* parent, const ReadMeFile& readMe, const QString& itemPicturePath) {
    HelpWindow help(readMe, itemPicturePath, parent);
    help.exec();
}

}  // namespace vx
