// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>

namespace tamberlight {

// The multi-line schedule box. The schedule's lines end with CR LF; a lone CR or LF inside a
// line stays a character of that line, shown by its control picture, so that what the user did
// not touch comes back unchanged. Tab moves on to the next control, as in any form.
class ScheduleEditor : public QPlainTextEdit {
public:
    explicit ScheduleEditor(QWidget* parent);

    std::string text() const;
    void setText(const std::string& text);

    // Ctrl+Return.
    std::function<void()> onApply;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tamberlight
