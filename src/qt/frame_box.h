// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/control_table.h"
#include "qt/drawing.h"
#include "qt/run_handler.h"

#include <QGroupBox>
#include <vector>

namespace tamberlight {

// A frame of the window. It paints the labels it holds and takes the clicks on its own
// surface, so that they never reach the window; a click on a label runs that label's handler,
// if it has one.
class FrameBox : public QGroupBox {
public:
    FrameBox(QWidget* parent, ClockWindow& model, Container which, RunHandler run);

    // Repaints what changed of its labels.
    void syncLabels();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Held {
        const ControlEntry* entry;
        const Label* model;
        CaptionPainter painter;
        Label shown;
    };
    const Held* labelAt(QPointF point) const;

    ClockWindow& model_;
    RunHandler run_;
    std::vector<Held> labels_; // front to back
    const Held* pressed_ = nullptr;
};

} // namespace tamberlight
