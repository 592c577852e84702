// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The real window: its controls as the model places them, the keyboard, and failures.
#include "support/window_test.h"
#include "qt/schedule_editor.h"
#include "qt/translations.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <QTranslator>

namespace tamberlight::test {

class Window : public WindowTest {
protected:
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    void type(const char* box, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
        auto* target = widget<QWidget>(box);
        target->setFocus();
        QTest::keyClicks(target, text);
        QTest::keyClick(target, Qt::Key_Return, modifiers);
    }
};

TEST_F(Window, OpensWithTheControlsInTheFramesAndTheKeyboardOrderOfTheModel) {
    open();
    auto* frame2 = widget<QGroupBox>("timeFrame");
    for (const char* name : {"intervalButton", "baseHourButton", "baseHourBox", "intervalBox"})
        EXPECT_EQ(widget<QWidget>(name)->parentWidget(), frame2) << name;
    EXPECT_EQ(widget("marksButton")->parentWidget(), window.get());
    EXPECT_EQ(widget("intervalButton")->geometry(), QRect(102, 36, 33, 17)) << "twips in its frame";

    // Tab leaves the schedule box, where the focus is at start, and goes round the window.
    QApplication::setActiveWindow(window.get());
    ASSERT_EQ(focused(), "scheduleBox");
    QStringList order;
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << focused();
    }
    EXPECT_EQ(order.join(' '), "pictureUpButton pictureDownButton pictureButton soundButton "
                               "marksButton baseHourBox baseHourButton intervalBox intervalButton "
                               "colourButton scheduleBox");
}

TEST_F(Window, ReturnPressesTheButtonOfItsBoxAndCtrlReturnApplies) {
    open();
    widget<QLineEdit>("baseHourBox")->clear();
    type("baseHourBox", " 7 ");
    EXPECT_EQ(model->clock().minute(), 421);
    widget<QLineEdit>("intervalBox")->clear();
    type("intervalBox", "20");
    EXPECT_EQ(model->clock().interval(), 20);
    widget<QPlainTextEdit>("scheduleBox")->moveCursor(QTextCursor::End);
    type("scheduleBox", "0:05 x", Qt::ControlModifier);
    EXPECT_EQ(static_cast<int>(model->schedule().entries().size()), 1);
    EXPECT_FALSE(widget("applyButton")->isVisible());
    EXPECT_TRUE(file().ends_with("\r\n0:05 x\r\n"));
}

TEST_F(Window, EveryFailureIsOneLineAndTheWindowGoesOn) {
    open();
    model->intervalBox.setText("-5");
    click("intervalButton");
    model->pictureUpButton.left = std::numeric_limits<float>::infinity(); // no widget can go there
    window->run([] {});
    ASSERT_EQ(services.reports.size(), 2U);
    EXPECT_EQ(services.reports[0],
              "\"-5\" is not a tick interval in milliseconds; the clock keeps its speed");
    EXPECT_NE(services.reports[1].find("cannot be placed"), std::string::npos);
    model->clockIsNow(0, false);
    run(&ClockWindow::tick);
    EXPECT_EQ(model->clockShadow.caption, "00:01");
    EXPECT_EQ(services.reports.size(), 2U);
}

// Qt would fire a timer of interval 0 without pause: the window's timer stands still instead.
TEST_F(Window, AnIntervalOfZeroStandsTheClockStill) {
    open();
    widget<QLineEdit>("intervalBox")->clear();
    type("intervalBox", "1");
    ASSERT_TRUE(eventually([this] { return model->clock().minute() > 0; }));
    widget<QLineEdit>("intervalBox")->clear();
    type("intervalBox", "0");
    const int stopped = model->clock().minute();
    QTest::qWait(100);
    EXPECT_EQ(model->clock().minute(), stopped);
    EXPECT_TRUE(model->stoppedMark.visible) << "and says so";
}

// The margin of the schedule box marks the lines that ring and those that look like entries
// but never ring, with the reason on hover; the 102nd entry is past the limit. A lone CR or LF
// stays a character of its line.
TEST_F(Window, TheScheduleBoxMarksWhatRingsAndWhatNeverDoes) {
    open();
    auto* box = widget<ScheduleEditor>("scheduleBox");
    QStringList lines{"#title 0:01", "0:02 rings",      "０：０３　full-width space",
                      "0:04\ttab",   "0:05:30 seconds", "a note\rkept\nin its line"};
    for (int i = 0; i < 100; ++i)
        lines << QString::number(i / 60 + 1) + ":" +
                     QString::number(i % 60).rightJustified(2, u'0');
    box->setText(lines.join("\r\n").toStdString());
    EXPECT_EQ(box->text(), lines.join("\r\n").toStdString()) << "lone CR and LF stay in line";
    ASSERT_TRUE(eventually([box] { return !box->counting(); }));
    EXPECT_EQ(box->markOf(box->document()->lastBlock()), "not one of the first 101 entries");
    // What the margin shows beside each line: g a green dot, r a red ring, - nothing.
    const auto marks = [box](int first, int last) {
        const QImage image = box->grab().toImage();
        std::string seen;
        for (int line = first; line <= last; ++line) {
            const QTextCursor at(box->document()->findBlockByNumber(line));
            const int y = box->viewport()->mapTo(box, box->cursorRect(at).center()).y();
            char mark = '-';
            for (int dy = -4; dy <= 4; ++dy)
                for (int x = 0; x < ScheduleEditor::MarginWidth; ++x) {
                    const QRgb pixel = image.pixel(box->contentsRect().left() + x, y + dy);
                    mark = near(pixel, 0, 128, 0, 50)   ? 'g'
                           : near(pixel, 200, 0, 0, 60) ? 'r'
                                                        : mark;
                }
            seen += mark;
        }
        return seen;
    };
    EXPECT_EQ(marks(0, 7), "-grrr-gg");
    box->moveCursor(QTextCursor::End);
    EXPECT_EQ(marks(105, 105), "r") << "the 102nd entry";
    EXPECT_EQ(box->accessibleDescription(), "not one of the first 101 entries");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(box->text().ends_with("2:39\r\n")) << "Return types CR LF";
}

// What the user would otherwise not notice is told at the foot of the window too, until it is
// clicked away; Escape ends the sound that plays.
TEST_F(Window, FailuresAreToldInTheWindowAndEscapeEndsTheSound) {
    services.onReport = [this](const std::string& line) { window->showNotice(line); };
    open();
    services.saveFailure = std::make_exception_ptr(PlatformError("cannot save settings to x"));
    run(&ClockWindow::applySchedule);
    auto* notice = widget<QLabel>("notice");
    ASSERT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text().toStdString(), services.reports.back());
    EXPECT_EQ(notice->geometry().bottom(), window->height() - 1);
    QTest::mouseClick(notice, Qt::LeftButton);
    EXPECT_FALSE(notice->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(services.sounds, std::vector<std::string>{"stop"});
}

// The start-up save follows the first frame; when it fails the user still hears it and finds
// 予定更新 there for another try.
TEST_F(Window, AFailedStartUpSaveAfterTheFirstFrameStillShowsTheApplyButton) {
    services.settingsFile = "\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\nT\r\n0:01 due\r\n";
    services.saveFailure = std::make_exception_ptr(PlatformError("cannot save settings to x"));
    open();
    ASSERT_TRUE(eventually([this] { return services.reports.size() == 1; }));
    EXPECT_EQ(services.reports[0],
              "cannot save settings to x; " + std::string(ClockWindow::NotSaved));
    EXPECT_TRUE(widget("applyButton")->isVisible());
    EXPECT_EQ(static_cast<int>(model->schedule().entries().size()), 1)
        << "the entry rings all the same";
}

// The one dialog object starts where it was left: the folder of the file chosen last, the
// colour chosen last.
TEST_F(Window, TheDialogsStartWhereTheyWereLeft) {
    QtServices real(SettingsStore(dir.path().toStdString(), dir.path().toStdString()));
    QDir(dir.path()).mkpath("pictures");
    const QString chosen = dir.filePath("pictures/face.png");
    writeAll(chosen.toStdString(), "x");
    QStringList seen;
    // Answers the dialog once it shows: chooses what is given, or cancels.
    const auto answer = [&](const QVariant& choice) {
        QTimer::singleShot(0, [&seen, choice] {
            auto* dialog = static_cast<QDialog*>(QApplication::activeModalWidget());
            if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                seen << files->directory().absolutePath();
                files->selectFile(choice.toString());
            } else if (auto* colours = qobject_cast<QColorDialog*>(dialog)) {
                seen << colours->currentColor().name();
                colours->setCurrentColor(choice.value<QColor>());
            }
            choice.isValid() ? dialog->accept() : dialog->reject();
        });
    };
    answer(chosen);
    EXPECT_EQ(real.showOpen(), chosen.toStdString());
    answer({});
    EXPECT_EQ(real.showOpen(), "");
    answer(QColor(Qt::red));
    EXPECT_EQ(real.showColour(), rgb(255, 0, 0));
    answer({});
    EXPECT_EQ(real.showColour(), std::nullopt);
    answer(QColor(Qt::black));
    EXPECT_EQ(real.showColour(), rgb(0, 0, 0)) << "black is a colour, not a cancelled dialog";
    EXPECT_EQ(seen, (QStringList{QDir::homePath(), dir.filePath("pictures"), "#000000", "#ff0000",
                                 "#ff0000"}));
}

// On a Japanese desktop Qt's own dialogs speak Japanese.
TEST_F(Window, QtsOwnDialogsSpeakTheLanguageOfTheDesktop) {
    ASSERT_TRUE(installQtTranslations(QLocale(QLocale::Japanese)));
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QCoreApplication::removeTranslator(qApp->findChild<QTranslator*>());
}

} // namespace tamberlight::test
