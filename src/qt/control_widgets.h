// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/control_table.h"
#include "qt/run_handler.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace tamberlight {

class FrameBox;
class ScheduleEditor;

// The window's buttons, text boxes and frames as Qt widgets, built from the control table: each
// in its container, stacked and in the keyboard order the table gives. The labels the window
// draws itself get a text element a screen reader can read where the table names them, once
// a screen reader is there.
class ControlWidgets : public QAccessible::ActivationObserver {
public:
    ControlWidgets(QWidget& window, ClockWindow& model, RunHandler run);
    // An edit the model has not taken yet is taken before the boxes go.
    ~ControlWidgets() override;
    ControlWidgets(const ControlWidgets&) = delete;
    ControlWidgets& operator=(const ControlWidgets&) = delete;

    // Brings the widgets up to date with the model. Throws PlatformError for a control placed
    // where no widget can be, once; the others are still brought up to date.
    void sync();
    // Hands the model the text of a box the user edited, which it holds until a handler is to
    // read it: the schedule may be megabytes long.
    void handOver();

    void accessibilityActiveChanged(bool active) override;

private:
    struct ShownText {
        std::array<float, 4> geometry{-1, -1, -1, -1};
        bool enabled = true;
        std::uint64_t revision = ~0ULL, focusRequests = 0;
    };
    struct Bound {
        const ControlEntry* entry;
        QWidget* widget;
        std::variant<Button, Frame, ShownText, Label> shown;
        std::optional<bool> visible; // as shown, the panel's state taken in
    };

    void build(const ControlEntry& entry, QWidget* parent);
    void connectReturnKeys();
    void chainTabOrder();
    void update(Bound& bound);
    QWidget* holder(Container container) const;

    QWidget& window_;
    ClockWindow& model_;
    RunHandler run_;
    std::vector<Bound> bound_;
    bool spokenBuilt_ = false;
    // The buttons and text boxes as what they are, for the keys that press buttons.
    struct Box {
        TextBox ClockWindow::*member;
        ScheduleEditor* editor; // the multi-line box, or
        QLineEdit* line;        // a one-line box
    };
    std::vector<std::pair<Button ClockWindow::*, QPushButton*>> buttons_;
    std::vector<Box> boxes_;
};

} // namespace tamberlight
