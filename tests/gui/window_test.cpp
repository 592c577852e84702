#include "support/window_fixture.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace tamberlight::testing {
namespace {

class Window : public WindowTest {};

TEST_F(Window, OpensWithEveryControlAsDesigned) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamberlight"));
    EXPECT_EQ(window->size(), QSize(235, 625));
    const char* captions[] = {
        "",      "↑", "↓", "画像指定", "設定", "予定更新", "サウンド指定", "・off", "基準時刻設定",
        "色変更"};
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(button(i)->text(), QString::fromUtf8(captions[i])) << "Command" << i;
        EXPECT_EQ(button(i)->isVisible(), i != 5) << "Command" << i;
    }
    EXPECT_EQ(button(3)->geometry(), QRect(24, 0, 73, 21));
    EXPECT_EQ(button(4)->geometry(), QRect(102, 36, 33, 17)) << "in twips inside its frame";
    EXPECT_EQ(button(8)->parentWidget(), widget<QGroupBox>("Frame2"));
    EXPECT_EQ(widget<QGroupBox>("Frame2")->title(), QStringLiteral("時刻設定"));
    EXPECT_EQ(widget<QLineEdit>("Text2")->text(), QStringLiteral("18"));
    EXPECT_EQ(widget<QLineEdit>("Text3")->text(), QStringLiteral("1492"));
    EXPECT_EQ(widget<QLineEdit>("Text3")->geometry(), QRect(44, 36, 33, 18));
    EXPECT_EQ(widget<QPlainTextEdit>("Text1")->toPlainText(),
              QStringLiteral("#Tamberlight   ver.0.2\n"));
    EXPECT_EQ(QApplication::focusWidget(), widget<QPlainTextEdit>("Text1"));
    EXPECT_FALSE(form->File1.Visible);
    EXPECT_EQ(form->Label3.Caption, "") << "the announcement is empty at start";
    EXPECT_EQ(form->Label1.Caption, "00:00");
}

TEST_F(Window, JapaneseCaptionsUseAJapaneseGothic) {
    open();
    for (int i : {3, 5, 6, 8, 9}) {
        const QFont font = button(i)->font();
        const QString family = QFontInfo(font).family();
        EXPECT_TRUE(family.contains(QStringLiteral("Gothic")) ||
                    family.contains(QStringLiteral("ゴシック")))
            << "Command" << i << " resolves to " << family.toStdString();
        const QFontMetrics metrics(font);
        for (const QChar c : button(i)->text())
            EXPECT_TRUE(metrics.inFont(c))
                << "Command" << i << " cannot draw U+" << std::hex << static_cast<int>(c.unicode());
    }
    EXPECT_EQ(QFontInfo(button(8)->font()).pixelSize(), 11) << "8.25 points at 96 dpi";
}

TEST_F(Window, TypedBaseHourAndIntervalDriveTheClock) {
    open();
    auto* text2 = widget<QLineEdit>("Text2");
    text2->selectAll();
    QTest::keyClicks(text2, QStringLiteral(" 7 "));
    click(button(8), button(8)->rect().center());
    EXPECT_EQ(form->ClockTime, 421 / 1440.0);
    EXPECT_EQ(QApplication::focusWidget(), widget<QPlainTextEdit>("Text1"));

    auto* text3 = widget<QLineEdit>("Text3");
    text3->selectAll();
    QTest::keyClicks(text3, QStringLiteral("20"));
    click(button(4), button(4)->rect().center());
    EXPECT_EQ(form->Timer1.Interval(), 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Label1.Caption == "07:03"; }, 5000))
        << "the clock shows " << form->Label1.Caption;
}

TEST_F(Window, AnIntervalOfZeroStopsTheClockUntilAPositiveOne) {
    open();
    auto* text3 = widget<QLineEdit>("Text3");
    text3->selectAll();
    QTest::keyClicks(text3, QStringLiteral("0"));
    click(button(4), button(4)->rect().center());
    const double stopped = form->ClockTime;
    QTest::qWait(300);
    EXPECT_EQ(form->ClockTime, stopped);
    text3->selectAll();
    QTest::keyClicks(text3, QStringLiteral("10"));
    click(button(4), button(4)->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ClockTime > stopped; }, 5000));
}

TEST_F(Window, AFailingHandlerSaysWhyOnceAndTheWindowGoesOn) {
    open();
    stopTimer();
    auto* text3 = widget<QLineEdit>("Text3");
    text3->selectAll();
    QTest::keyClicks(text3, QStringLiteral("-5"));
    ::testing::internal::CaptureStderr();
    click(button(4), button(4)->rect().center());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tamberlight: Command4_Click: interval -5 is not accepted\n");
    EXPECT_EQ(form->Timer1.Interval(), 0);
    run(&Form1::Timer1_Timer);
    EXPECT_EQ(form->Label1.Caption, "00:01");
}

TEST_F(Window, BlueDigitsLieOnePixelRightOfAndAboveTheWhiteOnes) {
    // A black picture behind the clock text makes its white copy visible.
    QImage black(16, 16, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(QString::fromStdString((dir / "black.png").string())));
    open();
    stopTimer();
    form->Image1.Picture = services.loadPicture((dir / "black.png").string());
    form->PictureTop = 60;
    run(&Form1::Form_Resize);
    form->ClockTime = 0.5;
    run(&Form1::Timer1_Timer); // 12:01
    const QImage image = grab();
    const QRect area(60, 165, 120, 50);
    const auto isBlue = [](QRgb p) { return qBlue(p) > 140 && qRed(p) < 60 && qGreen(p) < 60; };
    const auto isWhite = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; };
    int white = 0;
    int blueUpRight = 0;
    int blueDownLeft = 0;
    int blue = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            blue += isBlue(p);
            if (!isWhite(p))
                continue;
            ++white;
            blueUpRight += isBlue(image.pixel(x + 1, y - 1));
            blueDownLeft += isBlue(image.pixel(x - 1, y + 1));
        }
    }
    ASSERT_GT(blue, 100);
    ASSERT_GT(white, 30);
    EXPECT_GT(blueUpRight, white * 6 / 10) << "white rim pixels " << white;
    EXPECT_LT(blueDownLeft, blueUpRight / 3) << blueDownLeft << " of " << white;
}

} // namespace
} // namespace tamberlight::testing
