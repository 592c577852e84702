// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/page_feed.h"

#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <vector>

namespace tamberlight {

namespace {

// The shortest text that reads back as the same number.
void appendNumber(std::string& out, double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void appendColour(std::string& out, Colour colour) {
    char text[10];
    std::snprintf(text, sizeof text, "\"#%02x%02x%02x\"", redOf(colour), greenOf(colour),
                  blueOf(colour));
    out += text;
}

void appendNumbers(std::string& out, std::initializer_list<double> numbers) {
    out += '[';
    for (const double number : numbers) {
        appendNumber(out, number);
        out += ',';
    }
}

// A label where the window draws it, with its font's size in pixels and its colour.
void appendLabel(std::string& out, const char* name, const Label& label) {
    out += std::string(",\"") + name + "\":";
    const double points = label.font ? label.font->size : 8.25;
    appendNumbers(out, {label.left, label.top, label.width, label.height, points * 96 / 72});
    appendColour(out, label.colour);
    out += ']';
}

// At most bytes bytes of text, cut before a character that would not fit whole.
std::string_view cut(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes)
        return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace

std::optional<std::string> PageFeed::update(const ClockWindow& window) {
    const Room::Shown room = window.room().shown();
    ClockMessage clock = window.ownClockMessage(false);
    if (room.following) {
        clock.running = room.leaderRunning;
        clock.intervalMs = room.interval.value_or(clock.intervalMs);
        clock.baseHour = room.baseHour.value_or(clock.baseHour);
    }
    clock.leader = window.room().leaderIdentity();
    if (clock.leader.empty())
        clock.leader = identity_;

    pictureChanged_ = window.picturePath() != picturePath_;
    if (pictureChanged_) {
        picturePath_ = window.picturePath();
        ++pictures_;
    }
    std::string shown = ",\"room\":";
    appendJsonString(shown, room.status);
    shown += ",\"mark\":";
    appendJsonString(shown, window.stoppedMark.visible ? window.stoppedMark.caption : "");
    shown += ",\"announcement\":";
    const std::string_view announcement = window.announcement.caption;
    appendJsonString(shown, cut(announcement, LongestAnnouncement));
    shown += ",\"picture\":" + std::to_string(picturePath_.empty() ? 0 : pictures_);

    const DialGeometry& dial = window.dial();
    shown += ",\"dial\":{\"w\":";
    appendNumber(shown, dial.width);
    const Shape& circle = window.dialCircle;
    shown += ",\"circle\":";
    appendNumbers(shown, {circle.left, circle.top, circle.width, circle.height,
                          static_cast<double>(circle.visible ? circle.border : 0)});
    appendColour(shown, circle.colour);
    shown += "],\"lines\":[";
    std::vector<const Line*> lines{&window.hourHand, &window.minuteHand};
    for (const Line& mark : window.hourMarks)
        lines.push_back(&mark);
    for (const Line* line : lines) {
        if (!line->visible)
            continue;
        appendNumbers(
            shown, {line->x1, line->y1, line->x2, line->y2, static_cast<double>(line->thickness)});
        appendColour(shown, line->colour);
        shown += "],";
    }
    if (shown.back() == ',')
        shown.back() = ']';
    else
        shown += ']';
    appendLabel(shown, "shadow", window.clockShadow);
    appendLabel(shown, "text", window.clockText);
    appendLabel(shown, "stopped", window.stoppedMark);
    const Image& image = window.picture;
    shown += ",\"image\":";
    appendNumbers(shown, {image.left, image.top, image.width, image.height});
    shown.back() = ']';
    shown += "}}";

    const int minute = window.clock().minute();
    const bool moved = minute != minute_;
    if (!moved && shown == shown_)
        return std::nullopt;
    // A tick is the next minute of a running clock; any other move is a jump.
    clock.tick = moved && clock.running && minute == (minute_ + 1) % (24 * 60);
    minute_ = minute;
    shown_ = shown;
    clock.sequence = ++sequence_;
    std::string message = encodeClockMessage(clock);
    message.pop_back();
    return message + shown;
}

} // namespace tamberlight
