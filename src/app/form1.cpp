// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include "clock/dial.h"

namespace tamberlight {

namespace {

// What a default desktop reports for the title bar of an inactive window and for the border of
// an active one.
constexpr Colour InactiveTitleBar = rgb(191, 205, 219);
constexpr Colour ActiveBorder = rgb(180, 180, 180);

constexpr int Japanese = 128;

Font gothic(double size) {
    return Font{"ＭＳ Ｐゴシック", size, 400, Japanese};
}

} // namespace

Form1::Form1(Services& services)
    : Command9{.Caption = "色変更",
               .Left = 28,
               .Top = 40,
               .Width = 71,
               .Height = 21,
               .FontOf = gothic(8.25)}
    , Frame2{.Caption = "時刻設定",
             .Left = 96,
             .Top = 0,
             .Width = 143,
             .Height = 61,
             .FontOf = gothic(8.25)}
    , Command4{.Caption = "設定", .Left = 1530, .Top = 540, .Width = 495, .Height = 255}
    , Text3(660, 540, 495, 270, "1492")
    , Command8{.Caption = "基準時刻設定",
               .Left = 780,
               .Top = 180,
               .Width = 1245,
               .Height = 315,
               .FontOf = gothic(8.25)}
    , Text2(60, 180, 435, 315, "18")
    , Label6{.Caption = "m秒", .Left = 1170, .Top = 600, .Width = 345, .Height = 195}
    , Label5{.Caption = "分間隔＝",
             .Left = 30,
             .Top = 600,
             .Width = 765,
             .Height = 195,
             .FontOf = gothic(8.25)}
    , Label4{.Caption = "時", .Left = 510, .Top = 240, .Width = 405, .Height = 255}
    , Command7{.Caption = "・off", .Left = 0, .Top = 40, .Width = 29, .Height = 21}
    , Command5{.Caption = "予定更新",
               .Left = 0,
               .Top = 316,
               .Width = 109,
               .Height = 21,
               .Visible = false,
               .FontOf = gothic(8.25)}
    , Frame1{.Caption = "予定",
             .Left = 0,
             .Top = 220,
             .Width = 229,
             .Height = 113,
             .BackColor = rgb(255, 255, 255)}
    , Label3{.Caption = "Label3",
             .Left = 60,
             .Top = 180,
             .Width = 3315,
             .Height = 1455,
             .ForeColor = rgb(192, 0, 0),
             .Align = Alignment::Left,
             .Transparent = true,
             .FontOf = gothic(14.25)}
    , Command6{.Caption = "サウンド指定",
               .Left = 24,
               .Top = 20,
               .Width = 73,
               .Height = 21,
               .FontOf = gothic(8.25)}
    , File1{.Left = 28, .Top = 520, .Width = 185, .Height = 66, .Visible = false}
    , CommonDialog1(services)
    , Command3{.Caption = "画像指定",
               .Left = 24,
               .Top = 0,
               .Width = 73,
               .Height = 21,
               .FontOf = gothic(8.25)}
    , Command2{.Caption = "↓", .Left = 0, .Top = 20, .Width = 25, .Height = 21}
    , Command1{.Caption = "↑", .Left = 0, .Top = 0, .Width = 25, .Height = 21}
    , Text1(0, 336, 229, 153, "#Tamberlight   ver.0.2\r\n")
    , Label2{.Caption = "Label2",
             .Left = 60,
             .Top = 160,
             .Width = 113,
             .Height = 41,
             .ForeColor = rgb(0, 0, 192),
             .Align = Alignment::Centre,
             .Transparent = true,
             .FontOf = Font{"Comic Sans MS", 21.75, 400, 0}}
    , Label7{.Caption = "‖ 停止中",
             .Width = 100,
             .Height = 16,
             .ForeColor = rgb(192, 0, 0),
             .Align = Alignment::Centre,
             .Transparent = true,
             .FontOf = gothic(9),
             .Visible = false}
    , Image5{.Left = 16, .Top = 604, .Width = 165, .Height = 21}
    , Image4{.Left = 12, .Top = 580, .Width = 145, .Height = 17}
    , Image3{.Left = 8, .Top = 528, .Width = 137, .Height = 41}
    , Image2{.Left = 20, .Top = 492, .Width = 141, .Height = 37}
    , Label1{.Caption = "00:00",
             .Left = 72,
             .Top = 156,
             .Width = 97,
             .Height = 37,
             .ForeColor = rgb(255, 255, 255),
             .Align = Alignment::Centre,
             .Transparent = true,
             .FontOf = Font{"Comic Sans MS", 21.75, 400, 0}}
    , Line2{.BorderColor = InactiveTitleBar, .BorderWidth = 3}
    , Line1{.BorderColor = InactiveTitleBar, .BorderWidth = 5}
    , Shape1{.Left = 0,
             .Top = 0,
             .Width = 241,
             .Height = 253,
             .BorderColor = InactiveTitleBar,
             .BorderWidth = 9}
    , Image1{.Left = 48, .Top = 4, .Width = 128, .Height = 256}
    , services_(services) {
    Text1.MultiLine = true;
    Text1.BackColor = ActiveBorder;
    Text1.onChange = [this] { Text1_Change(); };
    for (std::size_t i = 0; i < Line3.size(); ++i)
        Line3[i] = Line{.BorderColor = InactiveTitleBar, .BorderWidth = markWidth(i)};
}

} // namespace tamberlight
