// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tamberlight {

namespace {
bool positionIsOurs() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
} // namespace

// The window is created at its design size; only a placement that a handler sets later is
// applied to it.
WindowPlacement::WindowPlacement(QWidget& window, Form1& form)
    : window_(window)
    , form_(form)
    , shown_{form.Left, form.Top, form.Width, form.Height} {}

void WindowPlacement::record() {
    // A minimised or maximised window keeps the normal placement it had.
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QRect frame = window_.frameGeometry();
    if (positionIsOurs()) {
        form_.Left = static_cast<float>(frame.x()) * TwipsPerPixel;
        form_.Top = static_cast<float>(frame.y()) * TwipsPerPixel;
    }
    form_.Width = static_cast<float>(frame.width()) * TwipsPerPixel;
    form_.Height = static_cast<float>(frame.height()) * TwipsPerPixel;
    shown_ = {form_.Left, form_.Top, form_.Width, form_.Height};
}

void WindowPlacement::apply() {
    const std::array<float, 4> wanted = {form_.Left, form_.Top, form_.Width, form_.Height};
    if (wanted == shown_)
        return;
    shown_ = wanted;
    // A damaged file may hold any number; no screen is a million pixels across.
    const auto pixels = [](float twips) {
        return static_cast<int>(std::clamp(std::round(twips / TwipsPerPixel), -1e6F, 1e6F));
    };
    wanted_ =
        QRect(pixels(form_.Left), pixels(form_.Top), pixels(form_.Width), pixels(form_.Height));
    placeFrame();
    awaitingFrame_ = !window_.isVisible();
}

void WindowPlacement::placeFrame() {
    const QSize margins = window_.frameGeometry().size() - window_.size();
    QRect target = wanted_;
    QSize client = (target.size() - margins).expandedTo(window_.minimumSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        client = client.boundedTo(screen->availableVirtualSize() - margins)
                     .expandedTo(window_.minimumSize());
    target.setSize(client + margins);
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(target);
    if (!onScreen && QGuiApplication::primaryScreen() != nullptr)
        target.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    if (positionIsOurs())
        window_.move(target.topLeft());
    window_.resize(client);
}

void WindowPlacement::frameMayHaveArrived() {
    if (!awaitingFrame_ || window_.frameGeometry().size() == window_.size())
        return;
    awaitingFrame_ = false;
    placeFrame();
}

} // namespace tamberlight
