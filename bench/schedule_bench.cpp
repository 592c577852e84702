// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// Load and apply times of large schedules: the settings file read at start-up, the apply
// (which saves the file first), and the same text put into the real window's schedule box.
// Most lines are notes, one in a thousand is an entry, so the scan reads the whole text.
#include "app/clock_window.h"
#include "qt/clock_view.h"
#include "qt/fonts.h"
#include "qt/qt_services.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace tamberlight;
using Clock = std::chrono::steady_clock;

// Median wall time of five runs, in milliseconds.
double milliseconds(const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        work();
        runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[2];
}

std::string scheduleOf(int lines) {
    std::string text = "#Tamberlight   ver.0.2";
    for (int i = 1; i < lines; ++i) {
        text += "\r\n";
        if (i % 1000 == 0)
            text += std::to_string(i / 1000 % 24) + ":30 entry " + std::to_string(i);
        else
            text += "note " + std::to_string(i) + " of a long day's plan";
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    resolveFonts();
    std::printf("schedule size: median of 5 runs (ms)\n");
    std::printf("  %8s %8s %10s %12s %10s %14s %10s\n", "lines", "bytes", "load", "apply+save",
                "save", "into window", "keystroke");
    double previousLoad = 0;
    double previousApply = 0;
    int previousLines = 0;
    double firstKeystroke = 0;
    for (const int lines : {1000, 10000, 100000, 700000}) {
        QTemporaryDir dir;
        QtServices services(SettingsStore(dir.path().toStdString(), dir.path().toStdString()));
        const std::string text = scheduleOf(lines);
        ClockWindow model(services);
        model.scheduleBox.setText(text);
        services.writeSettingsFile(model.settingsBytes());
        const double load =
            milliseconds([&] { model.readSettings(services.readSettingsFile().value()); });
        const double apply = milliseconds([&] { model.applySchedule(); });
        const double save =
            milliseconds([&] { services.writeSettingsFile(model.settingsBytes()); });
        ClockWindow shown(services);
        ClockView window(shown, services);
        const double intoWindow = milliseconds([&] {
            shown.scheduleBox.setText(text + " ");
            window.run([] {});
        });
        // One character typed at the end of the text in the box.
        auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("scheduleBox"));
        box->moveCursor(QTextCursor::End);
        const double keystroke = milliseconds([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(box, &press);
        });
        std::printf("  %8d %8zu %10.2f %12.2f %10.2f %14.2f %10.2f", lines, text.size(), load,
                    apply, save, intoWindow, keystroke);
        if (previousLoad > 0)
            std::printf("   x%d lines: load x%.1f, apply x%.1f", lines / previousLines,
                        load / previousLoad, apply / previousApply);
        std::printf("\n");
        if (lines == 100000) {
            std::printf("table:schedule of 100,000 lines: load\t%.1f ms\t%.1f ms (10,000)\tx%.1f"
                        "\t< 100 ms, x10 lines <= x12\n",
                        load, previousLoad, load / previousLoad);
            std::printf("table:schedule of 100,000 lines: apply+save\t%.1f ms\t%.1f ms "
                        "(10,000)\tx%.1f\t< 20 ms, x10 lines <= x12\n",
                        apply, previousApply, apply / previousApply);
        }
        if (lines == 1000)
            firstKeystroke = keystroke;
        if (lines == 700000)
            std::printf("table:a keystroke in a schedule of %.0f MB\t%.2f ms\t%.2f ms (1,000 "
                        "lines)\tx%.1f\tthe same at any size\n",
                        static_cast<double>(text.size()) / 1e6, keystroke, firstKeystroke,
                        keystroke / firstKeystroke);
        previousLoad = load;
        previousApply = apply;
        previousLines = lines;
        const auto entries = model.schedule().entries().size();
        if (entries != std::min<std::size_t>((lines - 1) / 1000, Schedule::Capacity))
            std::printf("  unexpected entry count %zu\n", entries);
    }
    return 0;
}
