// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// Random use of the real window on Qt's offscreen platform: clicks, double clicks, key presses,
// pasted schedules, resizes, ticks and dialog answers, from a seed printed first so that a run
// can be replayed. Usage: monkey_stress [seed [events]], or TAMBERLIGHT_MONKEY_SEED and
// TAMBERLIGHT_MONKEY_EVENTS; without a seed a new one is drawn.
//
// Every failure must reach the services' reports as one line of the program's own. A finding
// is an exception that came out of the window, a report that is empty or more than one line, a
// message Qt had to print, a schedule of more entries than the window holds, or a window that
// is gone at the end. Exits non-zero on any finding.
#include "app/clock_window.h"
#include "qt/clock_view.h"
#include "qt/fonts.h"
#include "qt/qt_services.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tamberlight;

// Parsed from the command line or the environment; nothing when neither gives the value.
std::optional<unsigned long> setting(int argc, char** argv, int index, const char* variable) {
    const char* text = argc > index ? argv[index] : std::getenv(variable);
    if (text == nullptr || *text == '\0')
        return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*end != '\0' || *text == '-') {
        std::fprintf(stderr, "monkey: %s is not a whole number\n", text);
        std::exit(2);
    }
    return value;
}

// What a replay needs, for the last words of a run that an escaped exception ends.
unsigned long runSeed = 0;
unsigned long currentEvent = 0;

// Qt's own warnings: a widget given a size it cannot take, a painter on nothing. Kept to be
// told after the run.
std::vector<std::string> qtMessages;

void keepQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    qtMessages.push_back(message.toStdString());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "monkey: seed %lu, event %lu: Qt gave up: %s\n", runSeed, currentEvent,
                     qtMessages.back().c_str());
        std::abort();
    }
}

// Where reports and messages come from: the text without the values in quotes, up to the
// first colon, so that the same failure on other values counts as one cause.
std::string causeOf(const std::string& message) {
    std::string cause;
    bool quoted = false;
    for (const char c : message) {
        if (c == '"') {
            if (!quoted)
                cause += "\"…\"";
            quoted = !quoted;
        } else if (!quoted) {
            if (c == ':')
                break;
            cause += c;
        }
    }
    return cause;
}

class Monkey {
public:
    Monkey(unsigned long seed, unsigned long events)
        : seed_(seed)
        , events_(events)
        , random_(seed) {
        services_.pictureLoader = [](const std::string& path) {
            return loadQtPicture(path, QSize(128, 256));
        };
        QImage picture(40, 60, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(QString::fromStdString(file("picture.png")));
        std::ofstream(file("not-a-picture.png")) << "plain text";
        std::ofstream(file("sound.wav")) << "RIFF";
    }

    // Runs the events; the number of findings.
    int run() {
        window_->load();
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get()))
            return finding("the window never showed");
        QApplication::setActiveWindow(window_.get());
        // The clock stands still; ticks come as events of their own.
        model_->intervalBox.setText("0");
        window_->run([this] { model_->setInterval(); });

        const auto started = std::chrono::steady_clock::now();
        for (currentEvent = 0; currentEvent < events_; ++currentEvent) {
            answerDialogs();
            try {
                oneEvent();
                if (currentEvent % 64 == 0)
                    QApplication::processEvents();
            } catch (const std::exception& error) {
                finding(std::string("an exception came out of the window: ") + error.what());
            } catch (...) {
                finding("an exception of no known type came out of the window");
            }
            checkReports();
            if (model_->schedule().entries().size() > Schedule::Capacity)
                finding("the schedule holds " +
                        std::to_string(model_->schedule().entries().size()) + " entries");
        }
        QApplication::processEvents();
        checkReports();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!window_->isVisible())
            finding("the window is no longer shown");
        if (window_->grab().toImage().isNull())
            finding("the window gives no picture");
        for (const std::string& message : qtMessages)
            finding("Qt said: " + message);

        std::map<std::string, int> byCause;
        for (const std::string& report : services_.reports)
            ++byCause[causeOf(report)];
        for (const auto& [cause, count] : byCause)
            std::printf("  %5d x %s\n", count, cause.c_str());
        std::printf("monkey: %lu events in %.1f s, %zu reports, %zu sounds, %zu dialogs answered, "
                    "%zu entries at the end\n",
                    events_, seconds, services_.reports.size(), services_.sounds.size(),
                    answersGiven_ - services_.openAnswers.size() - services_.colourAnswers.size(),
                    model_->schedule().entries().size());
        return findings_;
    }

private:
    std::string file(const char* name) const {
        return dir_.filePath(QString::fromLatin1(name)).toStdString();
    }

    int finding(const std::string& what) {
        // The first few of each are enough to go on; all are counted.
        if (++findings_ <= 20)
            std::printf("monkey: seed %lu, event %lu: %s\n", seed_, currentEvent, what.c_str());
        return findings_;
    }

    // Every report since the last look is one line that says something.
    void checkReports() {
        for (; reportsSeen_ < services_.reports.size(); ++reportsSeen_) {
            const std::string& report = services_.reports[reportsSeen_];
            if (report.empty() || report.find_first_of("\r\n") != std::string::npos)
                finding("a report that is not one line: \"" + report + '"');
        }
    }

    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }
    template <typename T> const T& pickOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }

    void answerDialogs() {
        if (services_.openAnswers.size() < 4) {
            ++answersGiven_;
            services_.openAnswers.push_back(
                pickOf<std::string>({"", file("picture.png"), file("not-a-picture.png"),
                                     file("missing.png"), file("sound.wav")}));
        }
        if (services_.colourAnswers.size() < 4) {
            ++answersGiven_;
            services_.colourAnswers.push_back(
                pick(0, 3) == 0
                    ? std::nullopt
                    : std::optional<Colour>(rgb(pick(0, 255), pick(0, 255), pick(0, 255))));
        }
    }

    void oneEvent() {
        switch (pick(0, 19)) {
        case 0:
            pasteSchedule();
            break;
        case 1:
            window_->resize(pick(100, 900), pick(100, 1000));
            break;
        case 2:
            window_->run([this] { model_->tick(); });
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
    }

    // A click or double click on whatever is under a random point, as a user gives it.
    void clickSomewhere() {
        const QPoint at(pick(0, window_->width() - 1), pick(0, window_->height() - 1));
        QWidget* target = window_->childAt(at);
        if (target == nullptr)
            target = window_.get();
        const QPoint local = target->mapFrom(window_.get(), at);
        if (pick(0, 9) == 0)
            QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, local);
        else
            QTest::mouseClick(target, pick(0, 9) == 0 ? Qt::RightButton : Qt::LeftButton,
                              Qt::NoModifier, local);
    }

    void pressKeys() {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            target = window_.get();
        static const std::vector<Qt::Key> keys = {
            Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,
            Qt::Key_Up,     Qt::Key_Down,      Qt::Key_Home,   Qt::Key_End,  Qt::Key_Tab,
            Qt::Key_Space,  Qt::Key_Escape,    Qt::Key_Enter};
        switch (pick(0, 3)) {
        case 0:
            QTest::keyClick(target, pickOf(keys),
                            pick(0, 7) == 0 ? Qt::ControlModifier : Qt::NoModifier);
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

    // A schedule pasted over the box's text, with the line breaks of either world.
    void pasteSchedule() {
        const char* lineBreak = pick(0, 1) == 0 ? "\r\n" : "\n";
        std::ostringstream text;
        text << "#Tamberlight   ver.0.2";
        for (int lines = pick(0, 140); lines > 0; --lines) {
            text << lineBreak;
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
        QApplication::clipboard()->setText(QString::fromStdString(text.str()));
        auto* box = window_->findChild<QPlainTextEdit*>(QStringLiteral("scheduleBox"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }

    const unsigned long seed_;
    const unsigned long events_;
    std::mt19937 random_;
    QTemporaryDir dir_;
    test::FakeServices services_;
    std::unique_ptr<ClockWindow> model_ = std::make_unique<ClockWindow>(services_);
    std::unique_ptr<ClockView> window_ = std::make_unique<ClockView>(*model_, services_);
    std::size_t answersGiven_ = 0;
    std::size_t reportsSeen_ = 0;
    int findings_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const unsigned long seed =
        setting(argc, argv, 1, "TAMBERLIGHT_MONKEY_SEED").value_or(std::random_device{}());
    const unsigned long events =
        setting(argc, argv, 2, "TAMBERLIGHT_MONKEY_EVENTS").value_or(20000);
    runSeed = seed;
    std::printf("monkey: seed %lu, %lu events (replay with TAMBERLIGHT_MONKEY_SEED=%lu "
                "TAMBERLIGHT_MONKEY_EVENTS=%lu)\n",
                seed, events, seed, events);
    std::fflush(stdout);
    // Nothing may end the program: an exception that escapes even Qt's event loop is told with
    // what a replay needs before the program ends.
    std::set_terminate([] {
        std::fprintf(stderr, "monkey: seed %lu, event %lu: an exception ended the program\n",
                     runSeed, currentEvent);
        std::abort();
    });

    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime folder; as root without a session there is none.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qInstallMessageHandler(keepQtMessage);
    QApplication application(argc, argv);
    resolveFonts();

    const int findings = [&] {
        Monkey monkey(seed, events);
        return monkey.run();
    }();
    std::printf("monkey: %s\n", findings == 0 ? "passed" : "FAILED");
    return findings == 0 ? 0 : 1;
}
