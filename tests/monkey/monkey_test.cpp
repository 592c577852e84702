// Random use of the real window: clicks, double clicks, key presses, pasted schedules, resizes
// and dialog answers, from a seed printed first so that a failure can be replayed with
// TAMBERLIGHT_MONKEY_SEED (TAMBERLIGHT_MONKEY_EVENTS sets how many). A handler that let an
// exception out would end the program; every failure must be one line of the program's own.
#include "support/window_fixture.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <unistd.h>

namespace tamberlight::testing {
namespace {

unsigned long fromEnvironment(const char* name, unsigned long otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : otherwise;
}

class Monkey : public WindowTest {
protected:
    Monkey()
        : seed(fromEnvironment("TAMBERLIGHT_MONKEY_SEED", 20261206))
        , events(fromEnvironment("TAMBERLIGHT_MONKEY_EVENTS", 20000))
        , random(seed) {
        std::printf("monkey: seed %lu, %lu events\n", seed, events);
        std::fflush(stdout);
        QImage picture(40, 60, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(QString::fromStdString((dir / "picture.png").string()));
        dir.write("not-a-picture.png", "plain text");
        dir.write("sound.wav", "RIFF");
    }

    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); }
    template <typename T> const T& pickOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }

    void answerDialogs() {
        if (services.openAnswers.size() < 4)
            services.openAnswers.push_back(pickOf<std::string>(
                {"", (dir / "picture.png").string(), (dir / "not-a-picture.png").string(),
                 (dir / "missing.png").string(), (dir / "sound.wav").string()}));
        if (services.colourAnswers.size() < 4)
            services.colourAnswers.push_back(
                pick(0, 3) == 0
                    ? std::nullopt
                    : std::optional<Colour>(rgb(pick(0, 255), pick(0, 255), pick(0, 255))));
    }

    // A click or double click on whatever is under a random point, as a user gives it.
    void clickSomewhere() {
        const QPoint at(pick(0, window->width() - 1), pick(0, window->height() - 1));
        QWidget* target = window->childAt(at);
        if (target == nullptr)
            target = window.get();
        const QPoint local = target->mapFrom(window.get(), at);
        if (pick(0, 9) == 0)
            QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, local);
        else
            QTest::mouseClick(target, pick(0, 9) == 0 ? Qt::RightButton : Qt::LeftButton,
                              Qt::NoModifier, local);
    }

    void pressKeys() {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            target = window.get();
        static const std::vector<Qt::Key> keys = {
            Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,
            Qt::Key_Up,     Qt::Key_Down,      Qt::Key_Home,   Qt::Key_End,  Qt::Key_Tab,
            Qt::Key_Space,  Qt::Key_Escape,    Qt::Key_Enter};
        switch (pick(0, 3)) {
        case 0:
            QTest::keyClick(target, pickOf(keys));
            break;
        case 1:
            QTest::keyClick(target, pickOf<Qt::Key>({Qt::Key_A, Qt::Key_Z, Qt::Key_V, Qt::Key_X}),
                            Qt::ControlModifier);
            break;
        default:
            // Key events that carry their text, as an input method gives Japanese text.
            for (const QChar c : QString::fromUtf8(pickOf<std::string>(
                     {"1", "0", "18", "1492", "12:", "30", ":", " ", "x", "会議", "-5",
                      "99999999999", "23:59", "0:00", "1.5e3", "\t"}))) {
                for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                    QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
                    QApplication::sendEvent(target, &key);
                }
            }
        }
    }

    void pasteSchedule() {
        std::ostringstream text;
        text << "#Tamberlight   ver.0.2";
        for (int lines = pick(0, 140); lines > 0; --lines) {
            text << "\r\n";
            switch (pick(0, 4)) {
            case 0:
                text << pick(0, 30) << ':' << pick(0, 70) << " entry " << pick(0, 999);
                break;
            case 1:
                text << pick(0, 23) << ':' << pick(0, 59) << ':' << pick(0, 59) << " 会議";
                break;
            case 2:
                text << "2026/" << pick(0, 13) << '/' << pick(0, 32) << " a date";
                break;
            case 3:
                text << std::string(static_cast<std::size_t>(pick(0, 300)), 'w');
                break;
            default:
                text << ' ' << pick(0, 1440);
            }
        }
        widget<QPlainTextEdit>("Text1")->setPlainText(QString::fromStdString(text.str()));
    }

    const unsigned long seed;
    const unsigned long events;
    std::mt19937 random;
};

TEST_F(Monkey, RandomUseNeverEndsTheProgramAndEveryFailureIsOneLine) {
    // Standard error goes to a file to be read afterwards.
    const std::string errors = (dir / "stderr.txt").string();
    const int saved = dup(STDERR_FILENO);
    const int file = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, STDERR_FILENO);
    close(file);

    open();
    const auto started = std::chrono::steady_clock::now();
    for (unsigned long event = 0; event < events; ++event) {
        answerDialogs();
        switch (pick(0, 19)) {
        case 0:
            pasteSchedule();
            break;
        case 1:
            window->resize(pick(100, 900), pick(100, 1000));
            break;
        case 2:
            run(&Form1::Timer1_Timer);
            break;
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
            pressKeys();
            break;
        default:
            clickSomewhere();
        }
        if (event % 64 == 0)
            QApplication::processEvents();
        ASSERT_LE(form->EventCount, Form1::MaxEvents) << "after event " << event;
    }
    QApplication::processEvents();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    dup2(saved, STDERR_FILENO);
    close(saved);

    std::ifstream said(errors);
    int lines = 0;
    std::map<std::string, int> byCause;
    for (std::string line; std::getline(said, line); ++lines) {
        EXPECT_EQ(line.rfind("tamberlight: ", 0), 0U) << "seed " << seed << ": " << line;
        ++byCause[line.substr(0, line.find(':', line.find(':') + 1))];
    }
    for (const auto& [cause, count] : byCause)
        std::printf("  %4d x %s\n", count, cause.c_str());
    std::printf("monkey: %lu events in %.1f s, %d lines on standard error, %d sounds, %d dialogs\n",
                events, seconds, lines, services.beeps + static_cast<int>(services.commands.size()),
                services.openDialogs + services.colourDialogs);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(grab().isNull());
}

} // namespace
} // namespace tamberlight::testing
