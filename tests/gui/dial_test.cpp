#include "support/window_fixture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTest>

namespace tamberlight::testing {
namespace {

// System colour 3, the design colour of the circle, the hands and the marks.
bool isDial(QRgb p) {
    return near(p, 191, 205, 219, 12);
}
bool isWhite(QRgb p) {
    return near(p, 255, 255, 255, 3);
}

// How many dial-coloured pixels lie within a square around a point.
int dialPixelsAround(const QImage& image, QPointF centre, int reach) {
    int count = 0;
    for (int y = static_cast<int>(centre.y()) - reach; y <= static_cast<int>(centre.y()) + reach;
         ++y)
        for (int x = static_cast<int>(centre.x()) - reach;
             x <= static_cast<int>(centre.x()) + reach; ++x)
            count += isDial(image.pixel(x, y));
    return count;
}

class Dial : public WindowTest {
protected:
    void SetUp() override {
        open();
        stopTimer();
        run(&Form1::Form_Click); // the panel covers the top of the dial
    }
    void tickTo(int hour, int minute) {
        form->ClockTime = (hour * 60 + minute - 1) / 1440.0;
        run(&Form1::Timer1_Timer);
    }
    void resizeWindow(int width, int height = 625) {
        window->resize(width, height);
        QCoreApplication::processEvents();
    }
};

TEST_F(Dial, AtThreeTheHourHandPointsRight) {
    tickTo(3, 0);
    const QImage image = grab();
    // The hour hand ends 58.75 pixels right of the centre (117.5, 117.5).
    EXPECT_TRUE(isDial(image.pixel(170, 117))) << std::hex << image.pixel(170, 117);
    EXPECT_TRUE(isWhite(image.pixel(65, 117))) << std::hex << image.pixel(65, 117);
    // The minute hand points up.
    EXPECT_TRUE(isDial(image.pixel(117, 40)));
}

TEST_F(Dial, TheMarkAtTwelveIsLargerThanTheMarkAtOne) {
    const QImage image = grab();
    const int twelve = dialPixelsAround(image, {117.49, 17.625}, 7);
    const int one = dialPixelsAround(image, {167.42, 31.0}, 7);
    EXPECT_GT(one, 40) << "a 9-pixel dot";
    EXPECT_GT(twelve, one * 14 / 10) << "a 12-pixel dot against a 9-pixel one";
}

TEST_F(Dial, HiddenMarksStayHiddenThroughAResize) {
    click(button(7), button(7)->rect().center());
    EXPECT_EQ(button(7)->text(), QStringLiteral("・on"));
    resizeWindow(300);
    const QImage image = grab();
    for (const Line& mark : form->Line3)
        EXPECT_EQ(dialPixelsAround(image, {mark.X1, mark.Y1}, 3), 0)
            << "mark at " << mark.X1 << ", " << mark.Y1;
    click(button(7), button(7)->rect().center());
    EXPECT_GT(dialPixelsAround(grab(), {form->Line3[9].X1, form->Line3[9].Y1}, 3), 20);
}

TEST_F(Dial, AfterAResizeTheNextTickDrawsBothHandsAtTheirNewLength) {
    tickTo(3, 0);
    resizeWindow(300);
    QImage image = grab();
    EXPECT_TRUE(isWhite(image.pixel(170, 150))) << "the hands are collapsed until the next tick";
    tickTo(3, 0);
    image = grab();
    // Radius 150: the hour hand reaches 75 pixels right, the minute hand 109.5 up.
    EXPECT_TRUE(isDial(image.pixel(220, 150)));
    EXPECT_TRUE(isDial(image.pixel(150, 45)));
    EXPECT_TRUE(isWhite(image.pixel(232, 150)));
}

TEST_F(Dial, ATickRepaintsOnlyWhatChanged) {
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } spy;
    QCoreApplication::processEvents();
    window->installEventFilter(&spy);
    tickTo(10, 10);
    QCoreApplication::processEvents();
    window->removeEventFilter(&spy);
    long area = 0;
    for (const QRect& r : spy.painted)
        area += static_cast<long>(r.width()) * r.height();
    EXPECT_GT(area, 0);
    EXPECT_LT(area, 235 * 625 / 10);
    EXPECT_FALSE(spy.painted.contains(QPoint(5, 5)));
    EXPECT_TRUE(spy.painted.contains(QPoint(117, 190))) << "the clock text";
}

// At device pixel ratios 1, 1.5 and 2 the dial is drawn at the device's own resolution: an hour
// mark is a dot of 12 device-independent pixels with sharp edges.
TEST_F(Dial, DrawnCrispAtEveryDevicePixelRatio) {
    for (const double ratio : {1.0, 1.5, 2.0}) {
        QImage image((QSizeF(window->size()) * ratio).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        window->render(&image);
        const int y = static_cast<int>(17.625 * ratio);
        int solid = 0;
        int blurred = 0;
        for (int x = static_cast<int>(100 * ratio); x < static_cast<int>(135 * ratio); ++x) {
            const QRgb p = image.pixel(x, y);
            if (isDial(p))
                ++solid;
            else if (!isWhite(p))
                ++blurred;
        }
        EXPECT_NEAR(solid, 12 * ratio, 2.5) << "ratio " << ratio;
        EXPECT_LE(blurred, 4) << "ratio " << ratio;
    }
}

} // namespace
} // namespace tamberlight::testing
