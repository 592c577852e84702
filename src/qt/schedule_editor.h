// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>
#include <QTimer>
#include <functional>
#include <string>

namespace tamberlight {

// The multi-line schedule box. The schedule's lines end with CR LF; a lone CR or LF inside a
// line stays a character of that line, shown by its control picture, so that what the user did
// not touch comes back unchanged. Tab moves on to the next control, as in any form.
//
// A narrow margin marks each line that will ring, and each line that is an entry or looks like
// one but will never ring; the reason shows on hover and is what a screen reader hears of the
// line the cursor is on. Only the lines in view are looked at when painting; which entries are
// past the first 101 is worked out a few thousand lines at a time while the user is idle, so a
// keystroke costs the same at any length.
class ScheduleEditor : public QPlainTextEdit {
public:
    static constexpr int MarginWidth = 9;

    explicit ScheduleEditor(QWidget* parent);

    std::string text() const;
    void setText(const std::string& text);
    // Why the line never rings, or when it rings, or nothing for a line that is no entry.
    QString markOf(const QTextBlock& line) const;
    // Whether the entries are still being counted; until they are, the marks stay as they were.
    bool counting() const { return counting_.isActive(); }

    // Ctrl+Return.
    std::function<void()> onApply;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    class Margin;
    void paintMargin(QPaintEvent* event);
    // The mark of the line at a point of the view, as a tooltip.
    void explain(QPoint inView, QPoint onScreen, QWidget* over);
    void countEntries();
    void recount();

    Margin* margin_;
    QTimer counting_;
    int lastRinging_ = -1; // the line of the last entry that rings, once known
    int countedTo_ = 0, counted_ = 0, limit_ = -1; // the count under way
};

} // namespace tamberlight
