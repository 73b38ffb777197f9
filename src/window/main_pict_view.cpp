#include "window/main_pict_view.h"

#include <QAbstractEventDispatcher>
#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWindow>

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

void PreferPlainXImageTransfer() {
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

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
    // Blocks presented outside a frame (a button pressed, a dialog's answer) are painted
    // before the event loop next waits. A queued call per frame did the same but woke the
    // loop once more every frame, though the frame itself had already painted them.
    if (QAbstractEventDispatcher* events = QAbstractEventDispatcher::instance(thread()))
        connect(events, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Refresh(); });
}

void MainPictView::SetPicture(const Surface* picture) {
    picture_ = picture;
    std::fill(shown_.begin(), shown_.end(), 0u);
    update();
}

bool MainPictView::ShownAsIs(const QRect& r) const {
    if (picture_ == nullptr || picture_->Width() != kScreenWidth || shown_.empty()) return false;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uint32_t* now = picture_->Row(y) + r.left();
        if (!std::equal(now, now + r.width(),
                        shown_.data() + static_cast<size_t>(y) * kScreenWidth + r.left()))
            return false;
    }
    return true;
}

void MainPictView::NoteShown(const Placement& place, const QRect& deviceArea) {
    if (picture_ == nullptr || picture_->Width() != kScreenWidth) return;
    if (shown_.empty()) shown_.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0u);
    // Only picture pixels whose whole square was painted.
    const int s = place.scale;
    const QPoint o = place.offset;
    const auto inner = [s](int from, int to) {  // device span [from, to) to whole pixels
        return std::pair{(from + s - 1) / s, to / s};
    };
    const auto [left, right] = inner(deviceArea.left() - o.x(), deviceArea.right() + 1 - o.x());
    const auto [top, bottom] = inner(deviceArea.top() - o.y(), deviceArea.bottom() + 1 - o.y());
    const QRect r =
        QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & QRect(0, 0, kScreenWidth, kScreenHeight);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uint32_t* now = picture_->Row(y) + r.left();
        std::copy(now, now + r.width(), shown_.data() + static_cast<size_t>(y) * kScreenWidth + r.left());
    }
}

// Where the picture lies on the widget, from one reading of the output's scale: the
// widget's whole device pixels (a fractional remainder is part of the border), the whole
// multiple the picture is drawn at, and its top left corner in device pixels.
MainPictView::Placement MainPictView::Place() const {
    Placement p;
    p.dpr = devicePixelRatioF();
    const int w = static_cast<int>(width() * p.dpr), h = static_cast<int>(height() * p.dpr);
    p.scale = std::max(1, std::min(w / kScreenWidth, h / kScreenHeight));
    p.offset = {std::max(0, (w - kScreenWidth * p.scale) / 2),
                std::max(0, (h - kScreenHeight * p.scale) / 2)};
    return p;
}

QRect MainPictView::Placement::ToDevice(const QRect& pictureRect) const {
    return {offset.x() + pictureRect.x() * scale, offset.y() + pictureRect.y() * scale,
            pictureRect.width() * scale, pictureRect.height() * scale};
}

QRect MainPictView::Placement::ToWidget(const QRect& pictureRect) const {
    const QRect device = ToDevice(pictureRect);
    const QRectF logical(device.x() / dpr, device.y() / dpr, device.width() / dpr, device.height() / dpr);
    return logical.toAlignedRect();
}

int MainPictView::Scale() const {
    return Place().scale;
}

QPoint MainPictView::Offset() const {
    return Place().offset;
}

QRect MainPictView::ToDevice(const QRect& pictureRect) const {
    return Place().ToDevice(pictureRect);
}

QRect MainPictView::ToWidget(const QRect& pictureRect) const {
    return Place().ToWidget(pictureRect);
}

QPointF MainPictView::ToPicture(const QPointF& widgetPos) const {
    const Placement p = Place();
    const double s = p.scale;
    return {(widgetPos.x() * p.dpr - p.offset.x()) / s, (widgetPos.y() * p.dpr - p.offset.y()) / s};
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
    // A frame presents a dozen small blocks and then asks for Refresh; the blocks are only
    // noted here. Should nobody ask, they are painted before the event loop waits. Most
    // come twice (a paddle's block is restored, then drawn): one inside another is noted
    // once, so that Refresh compares and sends it once.
    for (QRect& r : pending_) {
        if (r.contains(changed)) return;
        if (changed.contains(r)) {
            r = changed;
            return;
        }
    }
    pending_.push_back(changed);
}

// Only what was presented is painted, and at once: a synchronous jingle may follow and
// the message it belongs to must already be on screen.
void MainPictView::Refresh() {
    if (pending_.empty() || painting_) return;  // during a paint: when the loop next waits
    const Placement place = Place();
    QRegion area;
    for (const QRect& r : pending_)
        if (!ShownAsIs(r)) area += place.ToWidget(r);
    pending_.clear();
    if (!area.isEmpty() && !PaintStraight(area, place)) repaint(area);
}

// A frame of play changes a few small blocks. Through repaint() each frame would cost a
// paint event, the widget repaint manager's bookkeeping, a QPainter and a clipped image
// draw per block; the blocks' pixels go into the backing store as plain rows instead, and
// the store sends just them to the display (what Qt's repaint does after the paint).
// Qt's own paint is used when that is not plainly the same: before the window is shown
// or after a resize not yet painted, where a child widget (the network overlay) lies over
// the area, when the backing store is not an image of 32-bit words at the widget's scale,
// or when the widget's place in the window is not on whole device pixels.
bool MainPictView::PaintStraight(const QRegion& area, const Placement& place) {
    QWidget* top = window();
    QWindow* handle = top->windowHandle();
    QBackingStore* store = backingStore();
    if (handle == nullptr || store == nullptr || !isVisible() || !handle->isExposed() ||
        store->size() != top->size())
        return false;
    for (const QObject* child : children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget != nullptr && widget->isVisible() && area.intersects(widget->geometry())) return false;
    }
    const QPoint inWindow = mapTo(top, QPoint(0, 0));
    const QPointF exactShift = QPointF(inWindow) * place.dpr;
    const QPoint shift = exactShift.toPoint();
    if (std::abs(exactShift.x() - shift.x()) > 1e-9 || std::abs(exactShift.y() - shift.y()) > 1e-9)
        return false;

    const QRegion windowArea = area.translated(inWindow);
    store->beginPaint(windowArea);
    QPaintDevice* device = store->paintDevice();
    auto* image =
        device != nullptr && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const QRect widgetDevice(
        shift, QSize(static_cast<int>(width() * place.dpr), static_cast<int>(height() * place.dpr)));
    const bool words = image != nullptr &&
                       (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32 ||
                        image->format() == QImage::Format_ARGB32_Premultiplied) &&
                       image->devicePixelRatio() == place.dpr && image->rect().contains(widgetDevice);
    if (!words) {
        store->endPaint();
        return false;
    }
    for (const QRect& r : area)
        CopyToImage(
            *image, place, shift,
            QRectF(r.x() * place.dpr, r.y() * place.dpr, r.width() * place.dpr, r.height() * place.dpr)
                .toAlignedRect());
    store->endPaint();
    store->flush(windowArea, handle);
    if (onPainted) {
        const std::function<void()> call = onPainted;
        call();
    }
    return true;
}

// What PaintDeviceArea draws, as rows of words: the picture's whole pixels at whole
// multiples, black around it. shift: the widget's top left in the image.
void MainPictView::CopyToImage(QImage& image, const Placement& place, QPoint shift, const QRect& deviceArea) {
    const QRect pictureArea = place.ToDevice(QRect(0, 0, kScreenWidth, kScreenHeight));
    const auto row = [&](int y) {
        return reinterpret_cast<uint32_t*>(image.scanLine(y + shift.y())) + shift.x();
    };
    // A frame's blocks lie inside the picture: the border's region is worked out (and
    // allocated) only for an area that reaches past it.
    if (!pictureArea.contains(deviceArea)) {
        const QRegion border = QRegion(deviceArea) - QRegion(pictureArea);
        for (const QRect& r : border)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::fill_n(row(y) + r.left(), r.width(), kOpaque | kBlack);
    }

    const QRect wanted = deviceArea & pictureArea;
    if (wanted.isEmpty()) return;
    if (picture_ == nullptr || picture_->Width() < kScreenWidth || picture_->Height() < kScreenHeight) {
        for (int y = wanted.top(); y <= wanted.bottom(); ++y)
            std::fill_n(row(y) + wanted.left(), wanted.width(), kOpaque | kBlack);
        return;
    }
    const int s = place.scale;
    const QPoint o = place.offset;
    for (int y = wanted.top(); y <= wanted.bottom(); ++y) {
        const uint32_t* source = picture_->Row((y - o.y()) / s);
        uint32_t* out = row(y);
        if (s == 1) {
            std::copy_n(source + (wanted.left() - o.x()), wanted.width(), out + wanted.left());
            continue;
        }
        for (int x = wanted.left(); x <= wanted.right(); ++x) out[x] = source[(x - o.x()) / s];
    }
    NoteShown(place, wanted);
}

void MainPictView::SetInvisibleCursor(bool invisible) {
    if (invisible)
        setCursor(Qt::BlankCursor);
    else
        unsetCursor();
}

void MainPictView::paintEvent(QPaintEvent* event) {
    painting_ = true;
    PaintArea(event->region());
    painting_ = false;
    // A copy: the callback may replace itself.
    if (onPainted) {
        const std::function<void()> call = onPainted;
        call();
    }
}

void MainPictView::PaintArea(const QRegion& region) {
    QPainter painter(this);
    // Paint in device pixels: at a fractional output scale the widget's own coordinates
    // would put picture pixels on uneven device pixels.
    const Placement place = Place();
    const double dpr = place.dpr;
    painter.scale(1 / dpr, 1 / dpr);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // A frame of play changes a few small blocks far apart (paddles on both sides, pucks,
    // the item). Each is painted on its own under a clip of just its rectangle: the
    // raster engine then copies rows straight into the backing store. Painting their
    // bounding rectangle under the region's clip would blend most of the field, span by
    // span, on Qt's thread pool.
    for (const QRect& area : region) {
        const QRect deviceArea =
            QRectF(area.x() * dpr, area.y() * dpr, area.width() * dpr, area.height() * dpr).toAlignedRect();
        painter.setClipRect(deviceArea);
        PaintDeviceArea(painter, place, deviceArea);
    }
}

void MainPictView::PaintDeviceArea(QPainter& painter, const Placement& place, const QRect& deviceArea) {
    const QRect pictureArea = place.ToDevice(QRect(0, 0, kScreenWidth, kScreenHeight));
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
    const int s = place.scale;
    const QPoint o = place.offset;
    const int left = (wanted.left() - o.x()) / s;
    const int top = (wanted.top() - o.y()) / s;
    const int right = (wanted.right() - o.x()) / s;
    const int bottom = (wanted.bottom() - o.y()) / s;
    const QRect source(left, top, right - left + 1, bottom - top + 1);
    painter.drawImage(place.ToDevice(source), image, source);
    NoteShown(place, wanted);
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
