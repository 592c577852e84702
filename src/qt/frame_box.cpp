// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/frame_box.h"

#include "qt/fonts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace tamberlight {

namespace {
QRectF labelRect(const Label& label) {
    return controlRect(label.left, label.top, label.width, label.height, TwipsPerPixel);
}
} // namespace

FrameBox::FrameBox(QWidget* parent, ClockWindow& model, Container which, RunHandler run)
    : QGroupBox(parent)
    , model_(model)
    , run_(std::move(run)) {
    for (const ControlEntry& entry : Controls)
        if (const Label* label = controlAs<Label>(model, entry); label && entry.container == which)
            labels_.push_back({&entry, label, CaptionPainter(qtFont(label->font)), *label});
    // Frames are opaque: the dial does not show through them.
    setAutoFillBackground(true);
}

void FrameBox::syncLabels() {
    QRegion dirty;
    for (Held& held : labels_) {
        if (held.shown == *held.model)
            continue;
        dirty += held.painter.region(held.shown, labelRect(held.shown));
        dirty += held.painter.region(*held.model, labelRect(*held.model));
        held.shown = *held.model;
    }
    if (!dirty.isEmpty())
        update(dirty);
}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The style draws the title; the border is drawn here: the Fusion style draws it from a
    // picture, whose loading brings in every image format plugin during the first frame.
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
    const QRect frame =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(palette().color(QPalette::Window).darker(140));
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it)
        it->painter.paint(painter, *it->model, labelRect(*it->model),
                          palette().color(backgroundRole()));
}

const FrameBox::Held* FrameBox::labelAt(QPointF point) const {
    for (const Held& held : labels_)
        if (held.model->visible && labelRect(*held.model).contains(point))
            return &held;
    return nullptr;
}

void FrameBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton ? labelAt(event->position()) : nullptr;
    event->accept();
}

// The second press of a double click is no click of its own.
void FrameBox::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_ = nullptr;
    event->accept();
}

void FrameBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const Held* released = event->button() == Qt::LeftButton ? labelAt(event->position()) : nullptr;
    if (released != nullptr && released == pressed_ && released->entry->click != nullptr)
        run_([&model = model_, click = released->entry->click] { (model.*click)(); });
    pressed_ = nullptr;
}

} // namespace tamberlight
