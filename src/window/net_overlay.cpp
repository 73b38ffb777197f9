#include "window/net_overlay.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>

#include "core/game.h"
#include "core/match_frame_source.h"
#include "frontend/net_play.h"
#include "net/net_peer.h"
#include "window/main_pict_view.h"
#include "window/shell_fonts.h"

namespace vx {

namespace {

constexpr int kTextPixels = 12;
constexpr int kWaitingTextPixels = 12;  // bold, at the picture's scale
constexpr int kLineTextPixels = 10;
constexpr int kButtonWidth = 60;  // picture pixels

QString Tr(const char* text) {
    return QCoreApplication::translate("NetPlay", text);
}

QString ChoiceName(uint8_t choice) {
    return choice == match_choice::kRetry ? QStringLiteral("RETRY") : QStringLiteral("STAGE SELECT");
}

// Four short lines, to fit the corner below player 1's side of the table.
QString LineOf(const net::LinkFigures& f) {
    const QString delay =
        f.automaticDelay ? Tr("遅延 %1 自動").arg(f.inputDelay) : Tr("遅延 %1 固定").arg(f.inputDelay);
    return Tr("往復 %1 ms\n%2\n巻き戻し %3\n損失 %4%")
        .arg(f.roundTripMs)
        .arg(delay)
        .arg(f.recentRollback)
        .arg(f.lossPercent);
}

// What the notice says now, and whether the host's two buttons go with it.
QString NoticeOf(const NetPlay& play, const Game& g, bool& answerable) {
    answerable = false;
    if (g.ScreenState == screen_state::kResult) {
        if (play.IsHost() && play.PendingRequest() != 0) {
            answerable = true;
            return Tr("相手が %1 を希望しています。").arg(ChoiceName(play.PendingRequest()));
        }
        if (!play.IsHost() && play.Asked() != 0)
            return Tr("%1 を相手に頼みました。返事を待っています...").arg(ChoiceName(play.Asked()));
        if (!play.IsHost() && play.Refused() != 0)
            return Tr("相手は %1 を断りました。").arg(ChoiceName(play.Refused()));
        return {};
    }
    if (play.GuestOnLeft() &&
        (g.ScreenState == screen_state::kStageSelect || g.ScreenState == screen_state::kWaiting))
        return play.IsHost() ? Tr("相手が左側 (1P) で遊びます。") : Tr("あなたは左側 (1P) で遊びます。");
    return {};
}

}  // namespace

NetOverlay::NetOverlay(MainPictView* view) : view_(view) {
    waiting_ = new QLabel(view);
    waiting_->setTextFormat(Qt::PlainText);
    waiting_->setAlignment(Qt::AlignCenter);
    waiting_->setAttribute(Qt::WA_TransparentForMouseEvents);
    waiting_->setStyleSheet(
        QStringLiteral("QLabel { background-color: rgba(0, 0, 0, 210); color: rgb(255, 216, 74); }"));
    waiting_->hide();

    line_ = new QLabel(view);
    line_->setObjectName(QStringLiteral("netLine"));
    line_->setFont(IpaPGothicFont(kLineTextPixels));
    line_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    line_->setContentsMargins(3, 0, 0, 0);
    line_->setStyleSheet(QStringLiteral("QLabel { color: #e8f0ff; background: rgba(0, 0, 0, 170); }"));
    line_->setAttribute(Qt::WA_TransparentForMouseEvents);
    line_->setTextFormat(Qt::PlainText);
    line_->hide();

    notice_ = new QFrame(view);
    notice_->setObjectName(QStringLiteral("netNotice"));
    notice_->setStyleSheet(
        QStringLiteral("QFrame#netNotice { background: rgba(0, 0, 40, 210); border: 1px solid #ffd040; }"
                       "QLabel { color: #ffffff; } QPushButton { padding: 1px 10px; }"));
    noticeText_ = new QLabel(notice_);
    noticeText_->setFont(IpaGothicFont(kTextPixels));
    noticeText_->setTextFormat(Qt::PlainText);
    accept_ = new QPushButton(Tr("受ける"), notice_);
    refuse_ = new QPushButton(Tr("断る"), notice_);
    for (QPushButton* b : {accept_, refuse_}) {
        b->setFont(IpaGothicFont(kTextPixels));
        b->setFocusPolicy(Qt::NoFocus);  // the keys stay with the picture
    }
    QObject::connect(accept_, &QPushButton::clicked, notice_, [this] {
        if (onAnswer) onAnswer(true);
    });
    QObject::connect(refuse_, &QPushButton::clicked, notice_, [this] {
        if (onAnswer) onAnswer(false);
    });
    notice_->hide();
}

NetOverlay::~NetOverlay() {
    // The view owns the widgets; it may be gone already when the window closes first.
}

QRect NetOverlay::LineArea() {
    return {0, 290, 72, 52};
}

QRect NetOverlay::WaitingArea() {
    return {66, 160, 380, 24};
}

QRect NetOverlay::NoticeArea(bool onResult) {
    // Elsewhere (the host's stage select) it stays left of OK and RETURN, over the logo.
    return onResult ? QRect(16, 290, 480, 30) : QRect(8, 308, 330, 26);
}

QRect NetOverlay::AcceptArea() {
    const QRect n = NoticeArea(true);
    return {n.right() + 1 - 2 * (kButtonWidth + 4), n.top() + 4, kButtonWidth, n.height() - 8};
}

QRect NetOverlay::RefuseArea() {
    const QRect n = NoticeArea(true);
    return {n.right() + 1 - (kButtonWidth + 4), n.top() + 4, kButtonWidth, n.height() - 8};
}

void NetOverlay::Place(bool onResult) {
    const QRect waiting = view_->ToWidget(WaitingArea());
    if (waiting_->geometry() != waiting) {
        // The text grows with the picture: the area's height in widget pixels per picture pixel.
        QFont font = waiting_->font();
        font.setPixelSize(std::max(1, kWaitingTextPixels * waiting.height() / WaitingArea().height()));
        font.setBold(true);
        waiting_->setFont(font);
        waiting_->setGeometry(waiting);
    }
    line_->setGeometry(view_->ToWidget(LineArea()));
    const QRect n = NoticeArea(onResult);
    const QRect notice = view_->ToWidget(n);
    notice_->setGeometry(notice);
    // Children sit in the frame's own coordinates.
    auto inFrame = [&](const QRect& pictureArea) {
        return view_->ToWidget(pictureArea).translated(-notice.topLeft());
    };
    const bool buttons = accept_->isVisibleTo(notice_);
    noticeText_->setGeometry(inFrame(
        {n.left() + 8, n.top(), (buttons ? AcceptArea().left() : n.right()) - n.left() - 12, n.height()}));
    accept_->setGeometry(inFrame(AcceptArea()));
    refuse_->setGeometry(inFrame(RefuseArea()));
}

void NetOverlay::Update(const NetPlay* play, bool lineWanted) {
    const bool onResult = play != nullptr && play->GameOf().ScreenState == screen_state::kResult;
    Place(onResult);
    const std::optional<int> seconds = play != nullptr ? play->WaitingSeconds() : std::nullopt;
    if (seconds) {
        const QString text =
            Tr("相手を待っています… %1 秒 (%2 秒まで)").arg(*seconds).arg(net::kWaitLimitMs / 1000);
        if (waiting_->text() != text) waiting_->setText(text);
        if (!waiting_->isVisible()) {
            waiting_->show();
            waiting_->raise();
        }
    } else {
        waiting_->hide();
    }
    const auto figures = play != nullptr && lineWanted ? play->Figures() : std::nullopt;
    if (figures) {
        const QString text = LineOf(*figures);
        if (line_->text() != text) line_->setText(text);
        line_->show();
    } else {
        line_->hide();
    }
    bool answerable = false;
    const QString notice =
        play != nullptr && !play->Finished() ? NoticeOf(*play, play->GameOf(), answerable) : QString();
    if (notice.isEmpty()) {
        notice_->hide();
        return;
    }
    if (noticeText_->text() != notice) noticeText_->setText(notice);
    accept_->setVisible(answerable);
    refuse_->setVisible(answerable);
    Place(onResult);
    notice_->show();
}

QString NetOverlay::LineText() const {
    return line_->isVisible() ? line_->text() : QString();
}

QString NetOverlay::NoticeText() const {
    return notice_->isVisible() ? noticeText_->text() : QString();
}

}  // namespace vx
