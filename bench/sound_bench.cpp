// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// What the sound layer costs in memory: resident memory after start-up (the sound module is
// not loaded yet), after the first play of a file, and the peak. The mappings of
// Qt Multimedia, GStreamer and PulseAudio libraries are counted apart. Run it with an audio
// server (bench/run starts a private PulseAudio server for it).
#include "qt/clock_view.h"
#include "qt/fonts.h"
#include "qt/qt_services.h"
#include "qt/settings_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>

namespace {

using namespace tamberlight;

// Half a second of a 440 Hz tone, 16-bit mono PCM at 44.1 kHz, as a WAV file.
void writeTone(const std::filesystem::path& path, int amplitude) {
    const std::uint32_t rate = 44100;
    const std::uint32_t samples = rate / 2;
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + samples * 2);
    out.write("WAVEfmt ", 8);
    for (const std::uint32_t v : {16U, 1U | 1U << 16, rate, rate * 2, 2U | 16U << 16})
        u32(v);
    out.write("data", 4);
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(
            amplitude * std::sin(2 * std::numbers::pi * 440 * i / rate))));
}

long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    return -1;
}

// Resident kilobytes of the mappings whose path names one of the sound libraries.
long soundLibraryKilobytes() {
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool sound = false;
    long total = 0;
    while (std::getline(maps, line)) {
        if (line.find('-') != std::string::npos && line.find(' ') != std::string::npos &&
            std::isxdigit(static_cast<unsigned char>(line[0])) && line.find(':') != 4) {
            sound = line.find("Multimedia") != std::string::npos ||
                    line.find("gst") != std::string::npos ||
                    line.find("pulse") != std::string::npos;
        } else if (sound && line.rfind("Rss:", 0) == 0) {
            total += std::stol(line.substr(4));
        }
    }
    return total;
}

void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

long row(const char* what) {
    const long resident = statusKilobytes("VmRSS:");
    std::printf("  %-36s %8ld KB %8ld KB %8ld KB\n", what, resident, statusKilobytes("VmHWM:"),
                soundLibraryKilobytes());
    return resident;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    resolveFonts();
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    const std::string tone = (folder / "tone.wav").string();
    writeTone(tone, 8000);
    QtServices services(SettingsStore(folder, folder));
    ClockWindow model(services);
    ClockView window(model, services);
    window.show();
    wait(300);
    std::printf("sound layer memory (resident, peak, sound libraries)\n");
    const long before = row("started, no sound yet");
    services.playSound(tone);
    wait(1500);
    const long after = row("after the first play");
    for (int i = 0; i < 10; ++i)
        services.playSound(tone);
    wait(2000);
    row("after ten plays, each ending the one before");
    std::printf("table:resident memory after the first sound\t%.1f MB\t%.1f MB (before)\t%.2fx"
                "\t-\n",
                after / 1024.0, before / 1024.0, static_cast<double>(after) / before);
    return 0;
}
