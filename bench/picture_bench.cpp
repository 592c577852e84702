// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// What a phone photo costs in memory as the dial picture: a 48-megapixel JPEG (8000 x 6000)
// loaded for the 128 x 256 picture box, against a picture of that very size loaded the same
// way. The peak is the highest resident memory while loading, from the kernel's high-water
// mark reset just before; what stays is the resident memory added while the picture is held.
// Every load is measured in a process of its own, after a tiny picture has loaded the image
// plugin: memory an earlier load freed would otherwise hide what a load takes. The pictures are
// made by a child process too.
#include "qt/qt_services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tamberlight;

const QSize Shown(128, 256);

// Smooth shading with some fine detail, so that the file is about as large as a photo's.
int makePicture(const QString& path, int width, int height, bool progressive) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return 1;
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525U + 1013904223U;
            const int grain = static_cast<int>(noise >> 28);
            line[x] = qRgb((x * 255 / width + grain) & 0xFF, (y * 255 / height + grain) & 0xFF,
                           ((x + y) / 16 % 64 + 96 + grain) & 0xFF);
        }
    }
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? 0 : 1;
}

long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return -1;
}

// Sets the high-water mark back to the resident memory of now.
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5" << std::flush;
    return static_cast<bool>(clear);
}

struct Cost {
    double peak = 0;  // KB above the resident memory before the load
    double stays = 0; // KB added while the picture is held
    double milliseconds = 0;
};

Cost measure(const std::string& path) {
    resetPeak();
    const long before = statusKilobytes("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    PictureHandle picture = loadQtPicture(path, Shown);
    const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const long peak = statusKilobytes("VmHWM:");
    const long held = statusKilobytes("VmRSS:");
    picture.reset();
    return {static_cast<double>(peak - before), static_cast<double>(held - before), milliseconds};
}

// A load in a child process: this program again, told to measure.
Cost loadOnce(const std::string& path, const std::string& first) {
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--measure"), QString::fromStdString(path), QString::fromStdString(first)});
    Cost cost;
    if (!child.waitForFinished(60000) || child.exitCode() != 0 ||
        std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf %lf", &cost.peak,
                    &cost.stays, &cost.milliseconds) != 3) {
        std::fprintf(stderr, "the load of %s failed: %s\n", path.c_str(),
                     child.readAllStandardError().constData());
        std::exit(1);
    }
    return cost;
}

// The median of each figure over the runs.
Cost median(std::vector<Cost> runs) {
    const auto middle = [&runs](double Cost::*figure) {
        std::vector<double> values;
        for (const Cost& run : runs)
            values.push_back(run.*figure);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {middle(&Cost::peak), middle(&Cost::stays), middle(&Cost::milliseconds)};
}

void row(const char* what, const Cost& cost) {
    std::printf("  %-42s %9.2f MB %9.2f MB %9.1f ms\n", what, cost.peak / 1024, cost.stays / 1024,
                cost.milliseconds);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--make") == 0)
        return makePicture(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                           std::strcmp(argv[5], "progressive") == 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        QGuiApplication application(argc, argv);
        // The image plugin and the decoder load on the first picture; that is not this one's.
        measure(argv[3]);
        const Cost cost = measure(argv[2]);
        std::printf("%.0f %.0f %.3f\n", cost.peak, cost.stays, cost.milliseconds);
        return 0;
    }
    QGuiApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!resetPeak()) {
        std::fprintf(stderr, "this kernel cannot reset the peak memory (/proc/self/clear_refs)\n");
        return 1;
    }

    QTemporaryDir dir;
    struct Made {
        const char* name;
        int width, height;
        const char* kind;
        std::string path;
    };
    const Made first{"first.jpg", 16, 16, "baseline", {}};
    std::vector<Made> pictures = {first,
                                  {"small.jpg", Shown.width(), Shown.height(), "baseline", {}},
                                  {"photo.jpg", 8000, 6000, "baseline", {}},
                                  {"progressive.jpg", 8000, 6000, "progressive", {}}};
    for (Made& picture : pictures) {
        const QString path = dir.filePath(QString::fromLatin1(picture.name));
        const int status =
            QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--make"), path, QString::number(picture.width),
                               QString::number(picture.height), QString::fromLatin1(picture.kind)});
        if (status != 0) {
            std::fprintf(stderr, "cannot make %s\n", picture.name);
            return 1;
        }
        picture.path = path.toStdString();
    }

    // They take turns, so that drifts hit all alike.
    std::vector<std::vector<Cost>> costs(pictures.size());
    for (int run = 0; run < runs; ++run)
        for (std::size_t i = 1; i < pictures.size(); ++i)
            costs[i].push_back(loadOnce(pictures[i].path, pictures[0].path));
    const Cost small = median(costs[1]);
    const Cost photo = median(costs[2]);
    const Cost progressive = median(costs[3]);

    std::printf("a JPEG loaded for the %dx%d dial picture, median of %d runs\n", Shown.width(),
                Shown.height(), runs);
    std::printf("  %-42s %12s %12s %12s\n", "", "peak", "stays", "load");
    row("128x256 picture", small);
    row("8000x6000 photo (48 MP)", photo);
    row("8000x6000 photo, progressive JPEG", progressive);
    const auto ratio = [](double ours, double base) { return base > 0 ? ours / base : 0.0; };
    std::printf("table:48 MP JPEG as the dial picture: peak\t%.2f MB\t%.2f MB (128x256 JPEG)"
                "\t%.1fx\tpeak under 20 MB\n",
                photo.peak / 1024, small.peak / 1024, ratio(photo.peak, small.peak));
    std::printf("table:  what stays while it is shown\t%.2f MB\t%.2f MB (128x256 JPEG)\t%.1fx\t-\n",
                photo.stays / 1024, small.stays / 1024, ratio(photo.stays, small.stays));
    std::printf("table:  the same photo as a progressive JPEG: peak\t%.2f MB\t%.2f MB (128x256 "
                "JPEG)\t%.1fx\t-\n",
                progressive.peak / 1024, small.peak / 1024, ratio(progressive.peak, small.peak));
    return 0;
}
