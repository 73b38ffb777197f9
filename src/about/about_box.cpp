#include "about/about_box.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "about/about_lines.h"
#include "platform/clock.h"
#include "window/shell_fonts.h"

namespace vx {

namespace {

constexpr int kTextPixels = 15;  // 11.25 points at 96 dots per inch
const QColor kYellow(255, 255, 0);

}  // namespace

AboutBox::AboutBox(Setup setup) : QWidget(nullptr, Qt::Window), setup_(std::move(setup)) {
    if (!setup_.nowMs) setup_.nowMs = SteadyNowMs;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("VOLTRAX"));

    // Start
    finished_ = false;
    if (!setup_.picturePath.isEmpty())
        picture_ = QImage(setup_.picturePath).convertToFormat(QImage::Format_RGB32);
    if (picture_.isNull()) {
        picture_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
        picture_.fill(Qt::black);
    }
    setFixedSize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }

    // StrInit: show, then SetAbout. The first wait runs from here.
    show();
    waitStartMs_ = setup_.nowMs();
    waitMs_ = kFirstWaitMs;
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(1);
    connect(timer_, &QTimer::timeout, this, &AboutBox::Tick);
    if (setup_.runTimer) timer_->start();
}

AboutBox::~AboutBox() {
    typing_ = false;
}

void AboutBox::Tick() {
    if (!typing_) return;
    const int64_t now = setup_.nowMs();
    if (!WaitOver(now, waitStartMs_, waitMs_)) return;
    const auto& lines = AboutLines();
    if (line_ >= kAboutLineCount) {
        // The last character's wait is over.
        typing_ = false;
        timer_->stop();
        if (setup_.playWave1) setup_.playWave1();
        finished_ = true;
        return;
    }
    waitStartMs_ = now;
    waitMs_ = kCharWaitMs;
    TypeNext();
    if (++position_ >= static_cast<int>(lines[static_cast<size_t>(line_)].text.size())) {
        position_ = 0;
        ++line_;
    }
}

void AboutBox::TypeNext() {
    const AboutLine& line = AboutLines()[static_cast<size_t>(line_)];
    ++typed_;
    if (line.text == "&") return;  // one step, nothing drawn
    const QString character = QString::fromLatin1(line.text.substr(static_cast<size_t>(position_), 1));
    const int x = line.x + position_ * kAboutCellWidth;
    QPainter painter(&picture_);
    painter.setFont(IpaGothicFont(kTextPixels));
    painter.setPen(kYellow);
    // The text cursor is the top left of the character cell.
    const QFontMetrics metrics(painter.font());
    painter.drawText(x, line.y + metrics.ascent(), character);
    update(x, line.y, std::max(kAboutCellWidth, metrics.horizontalAdvance(character)), metrics.height());
}

void AboutBox::Unload() {
    typing_ = false;
    close();
}

void AboutBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_, event->rect());
}

void AboutBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && finished_)
        Unload();
}

void AboutBox::closeEvent(QCloseEvent* event) {
    // Closed during the typing (close box or the main window's activation): stop
    // drawing into a window that is about to go.
    typing_ = false;
    timer_->stop();
    event->accept();
}

AboutBox* AboutBoxKeeper::ShowVersion() {
    if (box_) {
        box_->show();
        box_->raise();
        box_->activateWindow();
        return box_;
    }
    box_ = new AboutBox(setup_);
    return box_;
}

void AboutBoxKeeper::Unload() {
    if (box_) box_->Unload();
}

}  // namespace vx
