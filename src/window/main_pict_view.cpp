#include "window/main_pict_view.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>

#include <algorithm>
#include <cmath>

namespace vx {

// The key translator is Qt-free and keeps its own copies of the Qt key values it reads.
static_assert(qtkey::kEscape == Qt::Key_Escape && qtkey::kA == Qt::Key_A && qtkey::kZ == Qt::Key_Z &&
              qtkey::kLess == Qt::Key_Less && qtkey::kGreater == Qt::Key_Greater &&
              qtkey::kSlash == Qt::Key_Slash && qtkey::kBackslash == Qt::Key_Backslash &&
              qtkey::kBracketRight == Qt::Key_BracketRight && qtkey::kBracketLeft == Qt::Key_BracketLeft &&
              qtkey::kBraceLeft == Qt::Key_BraceLeft && qtkey::kBraceRight == Qt::Key_BraceRight &&
              qtkey::kUnderscore == Qt::Key_Underscore && vk::kP == Qt::Key_P && vk::kR == Qt::Key_R &&
              vk::kS == Qt::Key_S);

namespace {

int ButtonsOf(Qt::MouseButtons buttons) {
    int result = 0;
    if (buttons & Qt::LeftButton) result |= mouse::kLeft;
    if (buttons & Qt::RightButton) result |= mouse::kRight;
    if (buttons & Qt::MiddleButton) result |= mouse::kMiddle;
    return result;
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    int result = 0;
    if (modifiers & Qt::ShiftModifier) result |= mouse::kShift;
    if (modifiers & Qt::ControlModifier) result |= mouse::kCtrl;
    if (modifiers & Qt::AltModifier) result |= mouse::kAlt;
    return result;
}

}  // namespace

MainPictView::MainPictView(const Surface* picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);  // paintEvent covers every pixel it is asked for
    setMouseTracking(true);                 // MouseMove arrives without a button held
    setMinimumSize(kScreenWidth, kScreenHeight);
}

void MainPictView::SetPicture(const Surface* picture) {
    picture_ = picture;
    update();
}

// Whole device pixels of the widget; a fractional remainder is part of the border.
QSize MainPictView::DeviceSize() const {
    const double dpr = devicePixelRatioF();
    return {static_cast<int>(width() * dpr), static_cast<int>(height() * dpr)};
}

int MainPictView::Scale() const {
    const QSize device = DeviceSize();
    return std::max(1, std::min(device.width() / kScreenWidth, device.height() / kScreenHeight));
}

QPoint MainPictView::Offset() const {
    const int s = Scale();
    const QSize device = DeviceSize();
    return {std::max(0, (device.width() - kScreenWidth * s) / 2),
            std::max(0, (device.height() - kScreenHeight * s) / 2)};
}

QRect MainPictView::ToDevice(const QRect& pictureRect) const {
    const int s = Scale();
    const QPoint o = Offset();
    return {o.x() + pictureRect.x() * s, o.y() + pictureRect.y() * s, pictureRect.width() * s,
            pictureRect.height() * s};
}

QRect MainPictView::ToWidget(const QRect& pictureRect) const {
    const QRect device = ToDevice(pictureRect);
    const double dpr = devicePixelRatioF();
    const QRectF logical(device.x() / dpr, device.y() / dpr, device.width() / dpr, device.height() / dpr);
    return logical.toAlignedRect();
}

QPointF MainPictView::ToPicture(const QPointF& widgetPos) const {
    const double s = Scale();
    const double dpr = devicePixelRatioF();
    const QPoint o = Offset();
    return {(widgetPos.x() * dpr - o.x()) / s, (widgetPos.y() * dpr - o.y()) / s};
}

QSize MainPictView::sizeHint() const {
    const double dpr = devicePixelRatioF();
    const int s = std::max(1, static_cast<int>(std::ceil(dpr - 0.01)));
    return {static_cast<int>(std::ceil(kScreenWidth * s / dpr - 0.01)),
            static_cast<int>(std::ceil(kScreenHeight * s / dpr - 0.01))};
}

void MainPictView::Present(int x, int y, int w, int h) {
    const QRect changed = QRect(x, y, w, h) & QRect(0, 0, kScreenWidth, kScreenHeight);
    if (changed.isEmpty()) return;
    const QRect area = ToWidget(changed);
    pending_ += area;
    update(area);
}

// Only what was presented is painted, and at once: a synchronous jingle may follow and
// the message it belongs to must already be on screen.
void MainPictView::Refresh() {
    if (pending_.isEmpty()) return;
    const QRegion area = pending_;
    pending_ = QRegion();
    repaint(area);
}

void MainPictView::SetInvisibleCursor(bool invisible) {
    if (invisible)
        setCursor(Qt::BlankCursor);
    else
        unsetCursor();
}

void MainPictView::paintEvent(QPaintEvent* event) {
    PaintArea(event->rect());
    // A copy: the callback may replace itself.
    if (onPainted) {
        const std::function<void()> call = onPainted;
        call();
    }
}

void MainPictView::PaintArea(const QRect& area) {
    QPainter painter(this);
    // Paint in device pixels: at a fractional output scale the widget's own coordinates
    // would put picture pixels on uneven device pixels.
    const double dpr = devicePixelRatioF();
    painter.scale(1 / dpr, 1 / dpr);
    const QRect deviceArea =
        QRectF(area.x() * dpr, area.y() * dpr, area.width() * dpr, area.height() * dpr).toAlignedRect();
    const QRect pictureArea = ToDevice(QRect(0, 0, kScreenWidth, kScreenHeight));
    // The border around a scaled picture.
    const QRegion border = QRegion(deviceArea) - QRegion(pictureArea);
    for (const QRect& r : border) painter.fillRect(r, Qt::black);

    const QRect wanted = deviceArea & pictureArea;
    if (wanted.isEmpty()) return;
    if (picture_ == nullptr || picture_->Width() < kScreenWidth || picture_->Height() < kScreenHeight) {
        painter.fillRect(wanted, Qt::black);
        return;
    }
    // The surface stores 0xFFRRGGBB words, exactly what Format_RGB32 is: no conversion, and
    // compositors that blend with the top byte (weston) see an opaque picture.
    const QImage image(reinterpret_cast<const uchar*>(picture_->Row(0)), picture_->Width(),
                       picture_->Height(), picture_->Width() * 4, QImage::Format_RGB32);
    // Whole source pixels covering the asked area, drawn at whole multiples: sharp edges.
    const int s = Scale();
    const QPoint o = Offset();
    const int left = (wanted.left() - o.x()) / s;
    const int top = (wanted.top() - o.y()) / s;
    const int right = (wanted.right() - o.x()) / s;
    const int bottom = (wanted.bottom() - o.y()) / s;
    const QRect source(left, top, right - left + 1, bottom - top + 1);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(ToDevice(source), image, source);
}

void MainPictView::ForwardKey(QKeyEvent* event, bool isRelease) {
    if (!onKey) {
        event->ignore();
        return;
    }
    KeyInput key;
    key.nativeScanCode = event->nativeScanCode();
    key.qtKey = event->key();
    key.isRelease = isRelease;
    key.isAutoRepeat = event->isAutoRepeat();
    key.shift = event->modifiers().testFlag(Qt::ShiftModifier);
    onKey(key);
}

void MainPictView::keyPressEvent(QKeyEvent* event) {
    ForwardKey(event, false);
}
void MainPictView::keyReleaseEvent(QKeyEvent* event) {
    ForwardKey(event, true);
}

PictMouse MainPictView::MouseAt(const QMouseEvent* event, int button) const {
    const QPointF p = ToPicture(event->position());
    return {button, ShiftOf(event->modifiers()), static_cast<float>(p.x()), static_cast<float>(p.y())};
}

bool MainPictView::SecondPressOfDoubleClick(const QMouseEvent* event) {
    const QStyleHints* hints = QGuiApplication::styleHints();
    const QPointF moved = event->position() - firstPressAt_;
    const bool second =
        firstPressPending_ && event->button() == firstButton_ &&
        event->timestamp() - firstPressMs_ <= static_cast<quint64>(hints->mouseDoubleClickInterval()) &&
        moved.manhattanLength() <= hints->mouseDoubleClickDistance();
    // A third press begins a new pair.
    firstPressPending_ = !second;
    firstButton_ = event->button();
    firstPressMs_ = event->timestamp();
    firstPressAt_ = event->position();
    return second;
}

void MainPictView::mousePressEvent(QMouseEvent* event) {
    if (SecondPressOfDoubleClick(event)) return;
    if (onMouseDown) onMouseDown(MouseAt(event, ButtonsOf(event->button())));
}

void MainPictView::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(MouseAt(event, ButtonsOf(event->buttons())));
}

void MainPictView::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseUp) onMouseUp(MouseAt(event, ButtonsOf(event->button())));
}

}  // namespace vx
