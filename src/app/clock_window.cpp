// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"

#include "clock/dial.h"

namespace tamberlight {

namespace {

// What a default desktop reports for the title bar of an inactive window and for the border of
// an active one: the design colours of the dial and of the schedule box.
constexpr Colour InactiveTitleBar = rgb(191, 205, 219);
constexpr Colour ActiveBorder = rgb(180, 180, 180);

constexpr int Japanese = 128;

Font gothic(double size) {
    return Font{"ＭＳ Ｐゴシック", size, 400, Japanese};
}

} // namespace

// The controls as the window was designed: captions, fonts and colours, and the places that the
// layout leaves alone. The controls inside the time frame are placed in twips.
ClockWindow::ClockWindow(Services& services)
    : colourButton{.caption = "色変更",
                   .left = 28,
                   .top = 40,
                   .width = 71,
                   .height = 21,
                   .font = gothic(8.25)}
    , timeFrame{.caption = "時刻設定",
                .left = 96,
                .top = 0,
                .width = 143,
                .height = 61,
                .font = gothic(8.25)}
    , intervalButton{.caption = "設定", .left = 1530, .top = 540, .width = 495, .height = 255}
    , intervalBox(660, 540, 495, 270, "1492")
    , baseHourButton{.caption = "基準時刻設定",
                     .left = 780,
                     .top = 180,
                     .width = 1245,
                     .height = 315,
                     .font = gothic(8.25)}
    , baseHourBox(60, 180, 435, 315, "18")
    , millisecondsCaption{.caption = "m秒", .left = 1170, .top = 600, .width = 345, .height = 195}
    , intervalCaption{.caption = "分間隔＝",
                      .left = 30,
                      .top = 600,
                      .width = 765,
                      .height = 195,
                      .font = gothic(8.25)}
    , hourCaption{.caption = "時", .left = 510, .top = 240, .width = 405, .height = 255}
    , marksButton{.caption = "・off", .left = 0, .top = 40, .width = 29, .height = 21}
    , applyButton{.caption = "予定更新",
                  .left = 0,
                  .top = 316,
                  .width = 109,
                  .height = 21,
                  .visible = false,
                  .font = gothic(8.25)}
    , announcementFrame{.caption = "予定",
                        .left = 0,
                        .top = 220,
                        .width = 229,
                        .height = 113,
                        .background = rgb(255, 255, 255)}
    // The announcement is placed in twips inside its frame; its caption at design is a name.
    , announcement{.caption = "Label3",
                   .left = 60,
                   .top = 180,
                   .width = 3315,
                   .height = 1455,
                   .colour = rgb(192, 0, 0),
                   .align = Alignment::Left,
                   .transparent = true,
                   .font = gothic(14.25)}
    , soundButton{.caption = "サウンド指定",
                  .left = 24,
                  .top = 20,
                  .width = 73,
                  .height = 21,
                  .font = gothic(8.25)}
    , pictureButton{.caption = "画像指定",
                    .left = 24,
                    .top = 0,
                    .width = 73,
                    .height = 21,
                    .font = gothic(8.25)}
    , pictureDownButton{.caption = "↓", .left = 0, .top = 20, .width = 25, .height = 21}
    , pictureUpButton{.caption = "↑", .left = 0, .top = 0, .width = 25, .height = 21}
    , scheduleBox(0, 336, 229, 153, "#Tamberlight   ver.0.2\r\n")
    , stoppedMark{.caption = "‖ 停止中",
                  .width = 180,
                  .height = 16,
                  .colour = rgb(192, 0, 0),
                  .align = Alignment::Centre,
                  .transparent = true,
                  .font = gothic(9),
                  .visible = false}
    , clockText{.caption = "Label2",
                .left = 60,
                .top = 160,
                .width = 113,
                .height = 41,
                .colour = rgb(0, 0, 192),
                .align = Alignment::Centre,
                .transparent = true,
                .font = Font{"Comic Sans MS", 21.75, 400, 0}}
    , clockShadow{.caption = "00:00",
                  .left = 72,
                  .top = 156,
                  .width = 97,
                  .height = 37,
                  .colour = rgb(255, 255, 255),
                  .align = Alignment::Centre,
                  .transparent = true,
                  .font = Font{"Comic Sans MS", 21.75, 400, 0}}
    , minuteHand{.colour = InactiveTitleBar, .thickness = 3}
    , hourHand{.colour = InactiveTitleBar, .thickness = 5}
    // 253 high at design, a few pixels more than it is wide; the first resize makes it round.
    , dialCircle{.left = 0,
                 .top = 0,
                 .width = 241,
                 .height = 253,
                 .colour = InactiveTitleBar,
                 .border = 9}
    , picture{.left = 48, .top = 4, .width = 128, .height = 256}
    , services_(services) {
    scheduleBox.multiLine = true;
    scheduleBox.background = ActiveBorder;
    for (std::size_t i = 0; i < hourMarks.size(); ++i)
        hourMarks[i] = Line{.colour = InactiveTitleBar, .thickness = markWidth(i)};
}

std::string ClockWindow::title() const {
    return roomStatus_.empty() ? "Tamberlight" : "Tamberlight – " + roomStatus_;
}

} // namespace tamberlight
