// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/services.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace tamberlight {

// The controls of the window as plain values. Controls placed on the window are in pixels of
// the client area; controls inside a frame are in twips (15 to the pixel) from the frame's
// top-left corner.

inline constexpr float TwipsPerPixel = 15.0F;

struct Font {
    std::string Name;
    double Size = 8.25; // points
    int Weight = 400;
    int Charset = 0;

    bool operator==(const Font&) const = default;
};

enum class Alignment { Left, Centre };

struct Label {
    static constexpr bool PaintedByWindow = true;
    std::string Caption{};
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour ForeColor = rgb(0, 0, 0);
    Alignment Align = Alignment::Left;
    bool Transparent = false;
    std::optional<Font> FontOf{};
    bool Visible = true;

    bool operator==(const Label&) const = default;
};

struct CommandButton {
    std::string Caption{};
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    bool Enabled = true;
    std::optional<Font> FontOf{};

    bool operator==(const CommandButton&) const = default;
};

struct Frame {
    std::string Caption{};
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    std::optional<Colour> BackColor{};
    std::optional<Font> FontOf{};

    bool operator==(const Frame&) const = default;
};

// A zero-length line shows as a round dot whose diameter is the line's width.
struct Line {
    static constexpr bool PaintedByWindow = true;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    Colour BorderColor = 0;
    int BorderWidth = 1;
    bool Visible = true;

    bool operator==(const Line&) const = default;
};

// A circle of the largest diameter that fits the bounds, centred in them, not filled, its
// border drawn inside the bounds.
struct Shape {
    static constexpr bool PaintedByWindow = true;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    Colour BorderColor = 0;
    int BorderWidth = 1;
    bool Visible = true;

    bool operator==(const Shape&) const = default;
};

// Shows its picture stretched to its own size.
struct Image {
    static constexpr bool PaintedByWindow = true;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    PictureHandle Picture{};
    bool Visible = true;

    bool operator==(const Image&) const = default;
};

struct FileListBox {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;

    bool operator==(const FileListBox&) const = default;
};

class TextBox {
public:
    TextBox(float left, float top, float width, float height, std::string text)
        : Left(left)
        , Top(top)
        , Width(width)
        , Height(height)
        , text_(std::move(text)) {}

    float Left, Top, Width, Height;
    bool Visible = true;
    bool Enabled = true;
    bool MultiLine = false;
    std::optional<Colour> BackColor{};

    const std::string& Text() const {
        if (edited_)
            text_ = std::exchange(edited_, nullptr)();
        return text_;
    }
    // Every assignment raises the change event before it returns, as a user's edit does.
    void setText(std::string text) {
        edited_ = nullptr;
        text_ = std::move(text);
        changed();
    }
    // The user edited the text where it is shown. It is taken from there when it is next read,
    // so that a keystroke costs the same however long the text is.
    void edited(std::function<std::string()> take) {
        edited_ = std::move(take);
        changed();
    }
    void SetFocus() { ++focusRequests_; }

    // Lets the view tell a new text or a new focus request from one it has already shown.
    std::uint64_t revision() const { return revision_; }
    std::uint64_t focusRequests() const { return focusRequests_; }

    std::function<void()> onChange;

private:
    void changed() {
        ++revision_;
        if (onChange)
            onChange();
    }

    mutable std::string text_;
    mutable std::function<std::string()> edited_;
    std::uint64_t revision_ = 0;
    std::uint64_t focusRequests_ = 0;
};

class Timer {
public:
    // 0 stops the ticks until a positive interval is set; a negative one is refused.
    void setInterval(std::int32_t milliseconds);
    std::int32_t Interval() const { return interval_; }
    bool Enabled = true;

private:
    std::int32_t interval_ = 1492;
};

// Every kind of control the window has, written once: the control table's members and the
// view's kinds are made from this list. The hour marks are an array of lines under one name.
template <template <typename...> class To>
using EachControlKind =
    To<CommandButton, TextBox, Frame, Label, Line, std::array<Line, 12>, Shape, Image, FileListBox>;

// Labels, lines, the circle and pictures are painted by the window on its own surface; buttons,
// text boxes and frames are controls of their own.
template <typename T> inline constexpr bool paintedByWindow = requires {
    requires T::PaintedByWindow;
};
template <typename T, std::size_t N>
inline constexpr bool paintedByWindow<std::array<T, N>> = paintedByWindow<T>;

// The one dialog object behind the picture, sound and colour choices.
class CommonDialog {
public:
    explicit CommonDialog(Services& services)
        : services_(services) {}
    void ShowOpen() { FileName = services_.showOpen(); }
    void ShowColor() { Color = services_.showColor(); }

    std::string FileName;
    std::optional<Colour> Color; // nothing when the dialog was cancelled

private:
    Services& services_;
};

} // namespace tamberlight
