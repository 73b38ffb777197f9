// MainPict on the desktop: shows the game's 512 x 342 surface scaled by whole multiples
// of device pixels (at any output scale, 1.5 included) with sharp pixels, centred on
// black; repaints only the areas the game presents; hands keys and the mouse (in picture
// pixels) to the game through callbacks.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <vector>

#include "core/geometry.h"
#include "frontend/key_translator.h"
#include "platform/surface.h"

namespace vx {

// Mouse buttons and modifier keys as the game's handlers count them.
namespace mouse {
constexpr int kLeft = 1, kRight = 2, kMiddle = 4;  // Button
constexpr int kShift = 1, kCtrl = 2, kAlt = 4;     // Shift
}  // namespace mouse

struct PictMouse {
    int button = 0;  // the button that changed (down/up) or the buttons held (move)
    int shift = 0;
    float x = 0;  // picture pixels; fractions when scaled (halves at scale 2)
    float y = 0;
};

// Before the QApplication is made: on X11 the window's changed areas go to the X server
// in the request itself instead of through a shared-memory segment. Each area is a few
// kilobytes, and the shared-memory path makes Qt wait for the server's completion event
// before it may touch the segment again; sending the pixels costs less CPU a frame. A
// QT_XCB_NO_MITSHM the player has set is left as it is.
void PreferPlainXImageTransfer();

class MainPictView : public QWidget {
  public:
    // picture is MainPict; it must outlive the view (or be replaced with SetPicture).
    explicit MainPictView(const Surface* picture, QWidget* parent = nullptr);

    void SetPicture(const Surface* picture);

    // The area of the picture at (x, y), w x h pixels, changed: repaint it (clipped) on
    // the next paint. Nothing else is repainted.
    void Present(int x, int y, int w, int h);
    // Paint everything presented so far now.
    void Refresh();

    // The invisible pointer over the table during play.
    void SetInvisibleCursor(bool invisible);

    // Geometry in device pixels: the output's scale (devicePixelRatio) is taken into account,
    // so one picture pixel is always Scale() x Scale() whole device pixels.
    int Scale() const;
    QPoint Offset() const;  // top left of the picture, in device pixels of the widget
    QRect ToDevice(const QRect& pictureRect) const;
    // The smallest area of widget (logical) pixels that covers the picture rectangle.
    QRect ToWidget(const QRect& pictureRect) const;
    QPointF ToPicture(const QPointF& widgetPos) const;

    // The picture at the smallest whole multiple that is at least the output's scale, with
    // no border: scale 1 on an ordinary output, 2 on a scale-2 or scale-1.5 output.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {kScreenWidth, kScreenHeight}; }

    std::function<void(const KeyInput&)> onKey;  // presses and releases, repeats included
    std::function<void(const PictMouse&)> onMouseDown;
    std::function<void(const PictMouse&)> onMouseMove;
    std::function<void(const PictMouse&)> onMouseUp;
    std::function<void()> onPainted;  // after each paint of the widget

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent*) override {}      // see SecondPressOfDoubleClick
    bool focusNextPrevChild(bool) override { return false; }  // Tab is a key like any other

  private:
    struct Placement {
        double dpr = 1;
        int scale = 1;
        QPoint offset;
        QRect ToDevice(const QRect& pictureRect) const;
        QRect ToWidget(const QRect& pictureRect) const;
    };
    Placement Place() const;
    void PaintArea(const QRegion& region);
    // Paints the area (widget pixels) straight into the window's backing store and sends
    // it to the display, with no paint event; false when it cannot (see the definition).
    bool PaintStraight(const QRegion& area, const Placement& place);
    void CopyToImage(QImage& image, const Placement& place, QPoint shift, const QRect& deviceArea);
    void PaintDeviceArea(QPainter& painter, const Placement& place, const QRect& deviceArea);
    void ForwardKey(QKeyEvent* event, bool isRelease);
    PictMouse MouseAt(const QMouseEvent* event, int button) const;
    // A double click is one press: its second press reaches the game as nothing (its
    // release still does), as on the desktops the game was made for.
    bool SecondPressOfDoubleClick(const QMouseEvent* event);

    // True when every pixel of the picture rectangle shows on screen as the picture has it.
    bool ShownAsIs(const QRect& pictureRect) const;
    // Notes the picture's pixels wholly inside a painted device area as shown.
    void NoteShown(const Placement& place, const QRect& deviceArea);

    const Surface* picture_;
    bool painting_ = false;       // inside paintEvent
    std::vector<QRect> pending_;  // presented since the last Refresh, in picture pixels
    // What the widget last painted of each picture pixel (0: not painted since the picture
    // was set; the picture's own pixels are 0xFFRRGGBB). A frame presents blocks that are
    // often drawn again as they were (a paddle at rest, the item gauge between its steps):
    // those are not painted and sent to the display again.
    std::vector<uint32_t> shown_;
    // The last press that could begin a double click.
    bool firstPressPending_ = false;
    Qt::MouseButton firstButton_ = Qt::NoButton;
    quint64 firstPressMs_ = 0;
    QPointF firstPressAt_;
};

}  // namespace vx
