// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// CPU time and repainted area of one clock tick on the real window (Qt's offscreen platform):
// the handler, the sync to the widgets and the repaint of what changed. Two references run in
// the same process: the same tick followed by a repaint of the whole window, and the floor of
// the toolkit, an empty handler followed by a one-pixel repaint. Figures are medians of five
// runs; CPU time is the main thread's.
#include "app/clock_window.h"
#include "qt/clock_view.h"
#include "qt/fonts.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QPaintEvent>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using namespace tamberlight;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct PaintArea : QObject {
    long long pixels = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<long long>(r.width()) * r.height();
        return false;
    }
};

struct Figures {
    double microseconds = 0;
    double pixels = 0;
};

// One run: the step, then the event loop's repaint, ticks times.
Figures once(ClockView& window, int ticks, const std::function<void()>& step) {
    PaintArea area;
    window.installEventFilter(&area);
    const double start = cpuSeconds();
    for (int i = 0; i < ticks; ++i) {
        step();
        QCoreApplication::processEvents();
    }
    const double seconds = cpuSeconds() - start;
    window.removeEventFilter(&area);
    return {seconds / ticks * 1e6, static_cast<double>(area.pixels) / ticks};
}

Figures median(ClockView& window, int ticks, const std::function<void()>& step) {
    once(window, ticks / 4, step); // warm the glyph and path caches
    std::vector<Figures> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(once(window, ticks, step));
    std::sort(runs.begin(), runs.end(),
              [](const Figures& a, const Figures& b) { return a.microseconds < b.microseconds; });
    return runs[2];
}

void row(const char* what, const Figures& f, const Figures& tick, double windowArea) {
    std::printf("  %-40s %8.1f us %7.2fx %10.0f px %6.1f%%\n", what, f.microseconds,
                f.microseconds / tick.microseconds, f.pixels, 100 * f.pixels / windowArea);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    resolveFonts();
    test::FakeServices services;
    ClockWindow model(services);
    ClockView window(model, services);
    window.load();
    window.show();
    QCoreApplication::processEvents();
    model.intervalBox.setText("0"); // the benchmark drives the ticks itself
    window.run([&model] { model.setInterval(); });

    const int ticks = argc > 1 ? std::atoi(argv[1]) : 1000;
    const double area = static_cast<double>(window.width()) * window.height();
    const auto tick = [&] { window.run([&model] { model.tick(); }); };
    std::printf("tick on the real window %dx%d (%.0f px), median of 5 runs of %d ticks\n",
                window.width(), window.height(), area, ticks);
    std::printf("  %-40s %11s %8s %13s %7s\n", "", "CPU/tick", "ratio", "repainted", "window");

    const Figures shown = median(window, ticks, tick);
    row("tick, panel shown, no schedule", shown, shown, area);
    row("  same tick, then the whole window",
        median(window, ticks,
               [&] {
                   tick();
                   window.update();
               }),
        shown, area);
    const Figures floor = median(window, ticks, [&] {
        window.run([] {});
        window.update(0, 0, 1, 1);
    });
    row("  toolkit floor: no-op, 1-pixel repaint", floor, shown, area);

    std::string schedule = "#Tamberlight   ver.0.2\r\n";
    for (std::size_t i = 0; i < Schedule::Capacity; ++i)
        schedule += std::to_string(i % 24) + ":" + std::to_string(10 + i % 50) + " entry\r\n";
    model.scheduleBox.setText(schedule);
    window.run([&model] { model.applySchedule(); });
    window.run([&model] { model.togglePanel(); });
    row("tick, panel hidden, 101 entries", median(window, ticks, tick), shown, area);
    std::printf("table:tick on the real window (CPU)\t%.1f us\t%.1f us (Qt no-op repaint)\t"
                "%.1fx\t30 us\n",
                shown.microseconds, floor.microseconds, shown.microseconds / floor.microseconds);
    std::printf("table:  window area a tick repaints\t%.1f%%\t100%%\t-\t< 10%%\n",
                100 * shown.pixels / area);
    return 0;
}
