// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The dial and the panel as the user sees and clicks them: pixels of a grab of the window.
#include "support/window_test.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>

namespace tamberlight::test {

// System colour 3, the design colour of the circle, the hands and the marks.
bool isDial(QRgb p) {
    return near(p, 191, 205, 219, 12);
}

int dialPixelsAround(const QImage& image, QPoint centre, int reach) {
    int count = 0;
    for (int y = centre.y() - reach; y <= centre.y() + reach; ++y)
        for (int x = centre.x() - reach; x <= centre.x() + reach; ++x)
            count += isDial(image.pixel(x, y));
    return count;
}

class Dial : public WindowTest {
protected:
    void tickTo(int hour, int minute) {
        model->clockIsNow(hour * 60 + minute - 1, false);
        run(&ClockWindow::tick);
    }
    bool panelShown() const {
        int shown = 0;
        for (const ControlEntry& entry : Controls)
            shown += entry.inPanel && widget<QWidget>(entry.name)->isVisible();
        EXPECT_TRUE(shown == 0 || shown == 8) << shown << " of 8 shown";
        return shown == 8;
    }
    std::string picture(const char* name, Qt::GlobalColor colour) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(dir.filePath(name)));
        return dir.filePath(name).toStdString();
    }
};

TEST_F(Dial, HandsMarksAndTheClockTextAreDrawnWhereTheyBelong) {
    open();
    run(&ClockWindow::togglePanel); // the panel covers the top of the dial
    tickTo(3, 0);
    QImage image = grab();
    EXPECT_TRUE(isDial(image.pixel(170, 117)) && !isDial(image.pixel(65, 117))) << "hour hand";
    EXPECT_TRUE(isDial(image.pixel(117, 40))) << "the minute hand points up";
    EXPECT_GT(dialPixelsAround(image, {117, 18}, 7), dialPixelsAround(image, {167, 31}, 7) + 30)
        << "twelve's mark is larger than one's";

    // The blue copy of the clock text lies one pixel right of and above the white one, which
    // a black picture behind them shows.
    model->picture.picture = loadQtPicture(picture("black.png", Qt::black), {128, 256});
    for (int i = 0; i < 38; ++i) // down to 62, behind the clock text
        run(&ClockWindow::movePictureDown);
    tickTo(12, 1);
    image = grab();
    int white = 0, blueUpRight = 0;
    for (int y = 165; y < 215; ++y)
        for (int x = 60; x < 180; ++x)
            if (near(image.pixel(x, y), 255, 255, 255, 50)) {
                ++white;
                blueUpRight += near(image.pixel(x + 1, y - 1), 0, 0, 192, 60);
            }
    ASSERT_GT(white, 30);
    EXPECT_GT(blueUpRight, white * 6 / 10);
}

TEST_F(Dial, TheBackgroundThePictureAndTheAnnouncementToggleThePanel) {
    open();
    clickWindow({200, 150});
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(widget<QWidget>("scheduleBox")->isVisible());
    EXPECT_TRUE(widget<QWidget>("announcementFrame")->isVisible());
    EXPECT_TRUE(isDial(grab().pixel(117, 4))) << "the circle shows where the frame was";
    clickWindow({200, 150});
    EXPECT_TRUE(panelShown()) << "two clicks bring the panel back";
    clickWindow({117, 190}); // the clock text
    EXPECT_TRUE(panelShown());
    clickWindow({120, 100}); // the picture's area
    EXPECT_FALSE(panelShown());
    auto* frame1 = widget<QGroupBox>("announcementFrame");
    QTest::mouseClick(frame1, Qt::LeftButton, {}, {20, 30}); // the announcement
    EXPECT_TRUE(panelShown());
    QTest::mouseClick(frame1, Qt::LeftButton, {}, {230, 108}); // the frame outside it
    EXPECT_TRUE(panelShown());
    // A double click through the window system is one click.
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, {200, 150});
    EXPECT_FALSE(panelShown());
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, frame1->pos() + QPoint(20, 30));
    EXPECT_TRUE(panelShown());
}

TEST_F(Dial, TheColourAndTheMarksSwitchReachTheDialOnly) {
    open();
    run(&ClockWindow::togglePanel);
    tickTo(3, 0);
    click("marksButton"); // hidden marks are coloured too, and stay hidden through a resize
    services.colourAnswers.push_back(rgb(0, 0, 0)); // black is a colour like any other
    click("colourButton");
    window->resize(300, 625);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialPixelsAround(grab(), {277, 150}, 3), 0) << "the mark at three is hidden";
    click("marksButton");
    const QImage image = grab();
    EXPECT_TRUE(near(image.pixel(277, 150), 0, 0, 0)) << "the mark at three";
    EXPECT_TRUE(near(image.pixel(2, 150), 0, 0, 0)) << "the circle";
    EXPECT_EQ(model->clockText.colour, rgb(0, 0, 192)) << "the clock text keeps its colour";
    EXPECT_EQ(widget("marksButton")->text(), QStringLiteral("・off"));
}

TEST_F(Dial, ThePictureMovesByFiveAndAFileThatIsNoPictureKeepsTheOldOne) {
    open();
    services.openAnswers = {picture("red.png", Qt::red), dir.filePath("text.png").toStdString()};
    writeAll(dir.filePath("text.png").toStdString(), "no picture here");
    click("pictureButton");
    for (const char* name :
         {"pictureUpButton", "pictureUpButton", "pictureUpButton", "pictureDownButton"})
        click(name);
    EXPECT_EQ(model->pictureOffset(), -138);
    click("pictureButton");
    EXPECT_EQ(services.reports.size(), 1U);
    EXPECT_EQ(model->picturePath(), dir.filePath("red.png").toStdString()) << "nor its path";
    run(&ClockWindow::togglePanel);
    const QImage image = grab();
    EXPECT_TRUE(near(image.pixel(60, 116), 255, 0, 0)) << "inside the old picture";
    EXPECT_FALSE(near(image.pixel(60, 120), 255, 0, 0)) << "below its lowered bottom edge";
}

// A picture is read on a thread of its own and arrives later, through the window's boundary; a
// named pipe, which would hold the reader up for good, is never opened.
TEST_F(Dial, PicturesLoadBesideTheWindowAndANamedPipeIsRefused) {
    QtServices real(SettingsStore(dir.path().toStdString(), dir.path().toStdString()));
    int arrived = 0;
    real.setBoundary([&arrived](const std::function<void()>& work) {
        ++arrived;
        work();
    });
    const std::string pipe = dir.filePath("pipe.png").toStdString();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::string why;
    real.loadPicture(pipe, 128, 256,
                     [&why](PictureHandle, const std::string& said) { why = said; });
    PictureHandle shown;
    real.loadPicture(picture("red.png", Qt::red), 128, 256,
                     [&shown](PictureHandle picture, const std::string&) { shown = picture; });
    EXPECT_EQ(arrived, 0) << "nothing is read on the window's thread";
    ASSERT_TRUE(eventually([&] { return arrived == 2; }));
    EXPECT_EQ(why,
              "cannot show " + pipe + " as the dial picture: it is a named pipe, not a picture");
    EXPECT_NE(shown, nullptr);
}

// A phone photo: 8000 x 6000 pixels, more than Qt decodes whole, stored on its side with an
// orientation that turns it upright (red at the top, blue at the bottom).
TEST_F(Dial, APhonePhotoIsShownUpright) {
    QImage stored(8000, 6000, QImage::Format_RGB888);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 4000, 6000, Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    stored.save(&buffer, "JPEG", 50);
    // An Exif segment whose one tag, the orientation, says: turn a quarter clockwise.
    jpeg.insert(2, QByteArray::fromHex("ffe100224578696600004d4d002a0000000800010112000300000001"
                                       "0006000000000000"));
    writeAll(dir.filePath("photo.jpg").toStdString(), jpeg.toStdString());
    const auto photo = loadQtPicture(dir.filePath("photo.jpg").toStdString(), QSize(128, 256));
    const QImage& shown = static_cast<const QtPicture&>(*photo).image();
    EXPECT_EQ(shown.size(), QSize(128, 256));
    EXPECT_TRUE(near(shown.pixel(64, 20), 255, 0, 0));
    EXPECT_TRUE(near(shown.pixel(64, 236), 0, 0, 255));
}

} // namespace tamberlight::test
