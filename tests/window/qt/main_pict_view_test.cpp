#include "window/main_pict_view.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

TEST(MainPictViewTest, MouseMapsBackToPicturePixelsAtScaleOneAndTwo) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.resize(512, 342);
    EXPECT_EQ(view.Scale(), 1);
    EXPECT_EQ(view.Offset(), QPoint(0, 0));
    EXPECT_EQ(view.ToPicture(QPointF(100, 50)), QPointF(100, 50));

    view.resize(600, 400);  // larger but not twice: centred at scale 1
    EXPECT_EQ(view.Scale(), 1);
    EXPECT_EQ(view.Offset(), QPoint(44, 29));
    EXPECT_EQ(view.ToPicture(QPointF(44, 29)), QPointF(0, 0));
    EXPECT_EQ(view.ToPicture(QPointF(555, 370)), QPointF(511, 341));

    // Scale 2 (halves included) is MouseEventsArriveInPicturePixels'; its centring, the two tests below.
    view.resize(1100, 700);
    EXPECT_EQ(view.Scale(), 2);
    EXPECT_LT(view.ToPicture(QPointF(10, 2)).x(), 0) << "the black border lies outside the picture";
}

TEST(MainPictViewTest, MouseEventsArriveInPicturePixels) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.resize(1024, 684);
    std::vector<PictMouse> downs, ups;
    view.onMouseDown = [&](const PictMouse& m) { downs.push_back(m); };
    view.onMouseUp = [&](const PictMouse& m) { ups.push_back(m); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(312, 338), QPointF(312, 338), Qt::LeftButton,
                      Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(313, 338), QPointF(313, 338), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &release);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].button, mouse::kLeft);
    EXPECT_EQ(downs[0].shift, mouse::kShift);
    EXPECT_FLOAT_EQ(downs[0].x, 156.0f);
    EXPECT_FLOAT_EQ(downs[0].y, 169.0f);
    EXPECT_EQ(ups[0].button, mouse::kRight);
    EXPECT_FLOAT_EQ(ups[0].x, 156.5f);
}

TEST(MainPictViewTest, ADoubleClickIsOnePressAndTwoReleases) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.resize(512, 342);
    int downs = 0, ups = 0;
    view.onMouseDown = [&](const PictMouse&) { ++downs; };
    view.onMouseUp = [&](const PictMouse&) { ++ups; };
    auto send = [&](QEvent::Type type, quint64 ms, QPointF at = QPointF(60, 250)) {
        QMouseEvent e(type, at, at, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        e.setTimestamp(ms);
        QApplication::sendEvent(&view, &e);
    };
    const quint64 interval = static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    // The desktop's sequence for a double click: press, release, press, double click, release.
    send(QEvent::MouseButtonPress, 1000);
    send(QEvent::MouseButtonRelease, 1050);
    send(QEvent::MouseButtonPress, 1000 + interval / 2);
    send(QEvent::MouseButtonDblClick, 1000 + interval / 2);
    send(QEvent::MouseButtonRelease, 1000 + interval / 2 + 50);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 2);
    send(QEvent::MouseButtonPress, 1000 + interval);  // a third quick press starts anew
    EXPECT_EQ(downs, 2);
    send(QEvent::MouseButtonPress, 1000 + interval + 10, QPointF(200, 250));  // far apart: a click of its own
    EXPECT_EQ(downs, 3);
}

// Blocks presented outside a frame are painted when the event loop is about to wait: one
// turn of a loop that may wait (a zero timer ends it).
void LetTheLoopWait() {
    QTimer::singleShot(0, [] {});
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// What the window shows: the backing store as the platform last received it, in device
// pixels. Null where a program may not read its window back (Wayland).
QImage OnScreen(const QWidget& view) {
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(view.winId());
    return shot.isNull() ? QImage() : shot.toImage().convertToFormat(QImage::Format_RGB32);
}

// Only presented blocks whose pixels differ from what the widget last showed are sent to
// the display, each where the scaled picture shows it; a child widget over a block (the
// network overlay) stays on top of it.
TEST(MainPictViewTest, PresentSendsOnlyTheChangedBlocksAndKeepsChildrenOnTop) {
    Surface picture(512, 342, 0x123456);
    MainPictView view(&picture);
    view.resize(1100, 700);  // scale 2, offset (38, 8)
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));  // a Wayland window is exposed a round trip later
    QApplication::processEvents();
    if (OnScreen(view).isNull()) GTEST_SKIP() << "the platform does not hand a window's pixels back";
    int paints = 0;
    view.onPainted = [&] { ++paints; };
    const auto shown = [&](int x, int y) {
        return OnScreen(view).pixel(38 + 2 * x + 1, 8 + 2 * y + 1) & 0xFFFFFFu;
    };

    picture.SetPixel(20, 30, 0x00FF00);
    picture.SetPixel(300, 300, 0xFF0000);  // changed but not presented
    view.Present(10, 20, 30, 40);
    LetTheLoopWait();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(shown(20, 30), 0x00FF00u);
    EXPECT_EQ(shown(300, 300), 0x123456u);

    // Drawn again as it was: nothing to send.
    view.Present(10, 20, 30, 40);
    LetTheLoopWait();
    EXPECT_EQ(paints, 1);

    picture.SetPixel(511, 341, 0x00FF00);
    view.Present(500, 330, 100, 100);  // runs past the corner: clipped
    view.Present(-50, 0, 10, 10);      // wholly outside: nothing
    LetTheLoopWait();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(shown(511, 341), 0x00FF00u);

    // Changed and changed back before the loop waits: what the widget shows is the same.
    picture.SetPixel(100, 100, 0xFF0000);
    picture.SetPixel(100, 100, 0x123456);
    view.Present(100, 100, 1, 1);
    LetTheLoopWait();
    EXPECT_EQ(paints, 2);

    QWidget child(&view);
    child.setAutoFillBackground(true);
    QPalette yellow = child.palette();
    yellow.setColor(QPalette::Window, QColor(0xFFFF00));
    child.setPalette(yellow);
    child.setGeometry(38 + 2 * 200, 8 + 2 * 100, 40, 40);  // over picture pixels (200..219, 100..119)
    child.show();
    QTest::qWait(50);  // Qt paints the child before the block is presented
    for (int x = 190; x < 230; ++x) picture.SetPixel(x, 110, 0x0000FF);
    view.Present(190, 110, 40, 1);
    LetTheLoopWait();
    EXPECT_EQ(shown(195, 110), 0x0000FFu);
    EXPECT_EQ(shown(210, 110), 0xFFFF00u) << "the child stays on top";
}

// Run at the platform's own output scale and, by ctest, at QT_SCALE_FACTOR 1.5 and 2: a
// frame's blocks reach the display exactly as Qt's own paint of the widget draws them.
TEST(MainPictViewTest, PictureIsWholeDevicePixelsOnScreenAsPaintedAtAnyOutputScale) {
    Surface picture(512, 342, 0x0000FF);
    MainPictView view(&picture);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    uint32_t colour = 0xFF00FF;
    for (const QSize size : {QSize(600, 400), QSize(1100, 700)}) {  // scale 1 and 2 at dpr 1
        view.resize(size);
        QApplication::processEvents();
        for (int i = 0; i < 342; i += 3) {
            picture.SetPixel((i * 7) % 512, i, colour);
            view.Present((i * 7) % 512 - 1, i, 3, 2);
        }
        picture.SetPixel(0, 0, colour ^ 0xFF00);
        picture.SetPixel(511, 341, colour ^ 0xFF);
        view.Present(0, 0, 1, 1);
        view.Present(511, 341, 1, 1);
        view.Refresh();
        colour ^= 0x808080;
        const QImage screen = OnScreen(view);
        if (screen.isNull()) GTEST_SKIP() << "the platform does not hand a window's pixels back";
        QImage painted(screen.size(), QImage::Format_RGB32);
        painted.setDevicePixelRatio(view.devicePixelRatioF());
        view.render(&painted);
        ASSERT_EQ(screen.size(), painted.size());
        int differ = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                differ += ((screen.pixel(x, y) ^ painted.pixel(x, y)) & 0xFFFFFF) != 0 ? 1 : 0;
        EXPECT_EQ(differ, 0) << "dpr " << view.devicePixelRatioF() << " scale " << view.Scale();
    }
}

// Run at the platform's own output scale; ctest also runs it at QT_SCALE_FACTOR 1.5 and 2.
// Every picture pixel is a whole block of device pixels, the picture is centred on black,
// it is opaque on a target with alpha (as a Wayland compositor receives it), and the mouse
// maps back to the pixel under it.
TEST(MainPictViewTest, PictureIsWholeDevicePixelsCentredOnBlackAtAnyOutputScale) {
    Surface picture(512, 342, 0x0000FF);
    picture.SetPixel(0, 0, 0xFF0000);
    picture.SetPixel(511, 341, 0x00FF00);
    MainPictView view(&picture);
    const double dpr = view.devicePixelRatioF();
    RecordProperty("device_pixel_ratio", std::to_string(dpr));  // which scale the run had
    for (const QSize size : {view.sizeHint(), QSize(1100, 700), QSize(1600, 1000)}) {
        view.resize(size);
        const int s = view.Scale();
        const QPoint o = view.Offset();
        const QSize device(static_cast<int>(size.width() * dpr), static_cast<int>(size.height() * dpr));
        SCOPED_TRACE(::testing::Message()
                     << "dpr " << dpr << " size " << size.width() << "x" << size.height() << " scale " << s);
        ASSERT_TRUE(512 * s <= device.width() && 342 * s <= device.height());
        ASSERT_TRUE(512 * (s + 1) > device.width() || 342 * (s + 1) > device.height())
            << "the largest whole multiple that fits";
        QImage shot(device, QImage::Format_ARGB32_Premultiplied);
        shot.fill(Qt::transparent);
        shot.setDevicePixelRatio(dpr);
        view.render(&shot);
        auto at = [&](int x, int y) { return shot.pixel(x, y); };
        // Corners of the picture: one picture pixel is exactly s x s device pixels.
        for (int d = 0; d < s; ++d) {
            EXPECT_EQ(at(o.x() + d, o.y() + d), 0xFFFF0000u);
            EXPECT_EQ(at(o.x() + 511 * s + d, o.y() + 341 * s + d), 0xFF00FF00u);
        }
        EXPECT_EQ(at(o.x() + s, o.y()), 0xFF0000FFu);
        EXPECT_EQ(at(o.x(), o.y() + s), 0xFF0000FFu);
        if (o.x() > 0) {
            EXPECT_EQ(at(o.x() - 1, o.y()), 0xFF000000u) << "black border";
        }
        if (o.y() > 0) {
            EXPECT_EQ(at(o.x(), o.y() - 1), 0xFF000000u) << "black border";
        }
        if (o.x() + 512 * s < device.width()) {
            EXPECT_EQ(at(o.x() + 512 * s, o.y()), 0xFF000000u) << "black border";
        }
        int seeThrough = 0;
        for (int y = 0; y < device.height(); y += 7)
            for (int x = 0; x < device.width(); x += 7) seeThrough += qAlpha(at(x, y)) != 255;
        EXPECT_EQ(seeThrough, 0) << "every pixel handed to the compositor is opaque";
        // The centre of each corner pixel's block, in widget coordinates, maps back to it.
        const QPointF first = view.ToPicture(QPointF((o.x() + s / 2.0) / dpr, (o.y() + s / 2.0) / dpr));
        const QPointF last =
            view.ToPicture(QPointF((o.x() + 511 * s + s / 2.0) / dpr, (o.y() + 341 * s + s / 2.0) / dpr));
        EXPECT_EQ(static_cast<int>(first.x()), 0);
        EXPECT_EQ(static_cast<int>(first.y()), 0);
        EXPECT_EQ(static_cast<int>(last.x()), 511);
        EXPECT_EQ(static_cast<int>(last.y()), 341);
    }
}

TEST(MainPictViewTest, ThePointerHidesAndShows) {
    Surface picture(512, 342);
    MainPictView view(&picture);
    view.SetInvisibleCursor(true);
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    view.SetInvisibleCursor(false);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace vx
