// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/services.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace tamberlight {

// The controls of the window as plain values: what each shows and where. Controls placed on the
// window are in pixels of the client area; controls inside a frame are in twips (15 to the
// pixel) from the frame's top-left corner.

inline constexpr float TwipsPerPixel = 15.0F;

struct Font {
    std::string name;
    double size = 8.25; // points
    int weight = 400;
    int charset = 0; // 128: Japanese

    bool operator==(const Font&) const = default;
};

enum class Alignment { Left, Centre };

// Text the window draws itself, on as many lines as fit: CR LF starts a new line.
struct Label {
    static constexpr bool PaintedByWindow = true;
    std::string caption{};
    float left = 0, top = 0, width = 0, height = 0;
    Colour colour = rgb(0, 0, 0);
    Alignment align = Alignment::Left;
    bool transparent = false;
    std::optional<Font> font{};
    bool visible = true;

    bool operator==(const Label&) const = default;
};

struct Button {
    std::string caption{};
    float left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;
    std::optional<Font> font{};

    bool operator==(const Button&) const = default;
};

struct Frame {
    std::string caption{};
    float left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    std::optional<Colour> background{};
    std::optional<Font> font{};

    bool operator==(const Frame&) const = default;
};

// A zero-length line shows as a round dot whose diameter is the line's thickness.
struct Line {
    static constexpr bool PaintedByWindow = true;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Colour colour = 0;
    int thickness = 1;
    bool visible = true;

    bool operator==(const Line&) const = default;
};

// A circle of the largest diameter that fits the bounds, centred in them, not filled, its
// border drawn inside the bounds.
struct Shape {
    static constexpr bool PaintedByWindow = true;
    float left = 0, top = 0, width = 0, height = 0;
    Colour colour = 0;
    int border = 1;
    bool visible = true;

    bool operator==(const Shape&) const = default;
};

// Shows its picture stretched to its own size.
struct Image {
    static constexpr bool PaintedByWindow = true;
    float left = 0, top = 0, width = 0, height = 0;
    PictureHandle picture{};
    bool visible = true;

    bool operator==(const Image&) const = default;
};

// A part of the window where a click does nothing, though nothing is drawn there.
struct Area {
    static constexpr bool PaintedByWindow = true;
    float left = 0, top = 0, width = 0, height = 0;

    bool operator==(const Area&) const = default;
};

// A box the user types into. The view tells the model of an edit at once, and hands it the
// text only before the model reads it, so that a keystroke costs the same however long the text
// is: a text read while the view still holds it is a mistake of the program.
class TextBox {
public:
    TextBox(float left, float top, float width, float height, std::string text)
        : left(left)
        , top(top)
        , width(width)
        , height(height)
        , text_(std::move(text)) {}

    float left, top, width, height;
    bool visible = true;
    bool enabled = true;
    bool multiLine = false;
    std::optional<Colour> background{};

    const std::string& text() const {
        if (held_)
            throw std::logic_error("the text was read before the view handed it over");
        return text_;
    }
    // The program sets the text; the view shows it.
    void setText(std::string text) {
        held_ = false;
        text_ = std::move(text);
        ++revision_;
    }
    // The user edited the text where it is shown; the view holds it until it is handed over.
    void edited() { held_ = true; }
    bool heldByView() const { return held_; }
    // The view hands over the text the user edited, which it shows already.
    void handOver(std::string text) {
        held_ = false;
        text_ = std::move(text);
    }
    void setFocus() { ++focusRequests_; }

    // Lets the view tell a new text or a new focus request from one it has already shown.
    std::uint64_t revision() const { return revision_; }
    std::uint64_t focusRequests() const { return focusRequests_; }

private:
    std::string text_;
    bool held_ = false;
    std::uint64_t revision_ = 0;
    std::uint64_t focusRequests_ = 0;
};

// Every kind of control the window has, written once: the control table's members and the
// view's kinds are made from this list. The hour marks are an array of lines under one name.
template <template <typename...> class To>
using EachControlKind = To<Button, TextBox, Frame, Label, Line, std::array<Line, 12>, Shape, Image,
                           std::array<Area, 4>>;

// Labels, lines, the circle and pictures are painted by the window on its own surface; buttons,
// text boxes and frames are controls of their own.
template <typename T> inline constexpr bool paintedByWindow = requires {
    requires T::PaintedByWindow;
};
template <typename T, std::size_t N>
inline constexpr bool paintedByWindow<std::array<T, N>> = paintedByWindow<T>;

} // namespace tamberlight
