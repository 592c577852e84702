// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/clock_window.h"
#include "qt/control_widgets.h"
#include "qt/dial_view.h"
#include "qt/window_placement.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

namespace tamberlight {

// Shows ClockWindow and runs its handlers. Every event's handler runs through run(), which then
// brings the widgets, the drawing, the timer and the placement up to date with the model.
class ClockView : public QWidget {
    Q_OBJECT
public:
    ClockView(ClockWindow& model, Services& services);

    // Starts the clock up and places the window as the settings say; the start-up save follows the
    // first frame. Call once, before show().
    void load();

    // A failure ends the work with one line for the user; the state it reached stays and the
    // window goes on.
    void run(const std::function<void()>& work);

    // Shows a line for the user at the foot of the window, until it is clicked away or another
    // line comes.
    void showNotice(const std::string& line);
    // The session ends: the window closes without asking, its settings kept elsewhere when the
    // file cannot be written.
    void endSession();

signals:
    // The clock ticked (true) or jumped to a new time or speed (false).
    void clockMoved(bool tick);
    // The window shows what its model holds now, after any event's work.
    void shown();
    // The window is asked to close (true), before the closing save, or stays open after all
    // (false).
    void closing(bool closing);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The one place where a failure of an event's work is caught and told.
    void guard(const std::function<void()>& step);
    void sync();
    void syncTimer();
    void repaintDial();
    void placeNotice();

    ClockWindow& model_;
    Services& services_;
    std::optional<ControlWidgets> widgets_; // made once the window has its font

    DialView dial_;
    WindowPlacement placement_;
    QTimer timer_;
    std::int32_t shownInterval_ = -1;
    bool shownEnabled_ = false;
    bool savedAtStart_ = true; // until a load holds the start-up save back
    QLabel* notice_;
    ClockWindow::Closing closing_ = ClockWindow::Closing::Asked;
    // Where the left button went down: a drawn control, or the window itself.
    std::optional<std::optional<const ControlEntry*>> pressed_;
};

} // namespace tamberlight
