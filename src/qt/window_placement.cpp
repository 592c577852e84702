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
WindowPlacement::WindowPlacement(QWidget& window, ClockWindow& model)
    : window_(window)
    , model_(model)
    , shown_{model.placement.left, model.placement.top, model.placement.width,
             model.placement.height} {}

void WindowPlacement::record() {
    // A minimised or maximised window keeps the normal placement it had.
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QRect frame = window_.frameGeometry();
    if (positionIsOurs()) {
        model_.placement.left = static_cast<float>(frame.x()) * TwipsPerPixel;
        model_.placement.top = static_cast<float>(frame.y()) * TwipsPerPixel;
    }
    model_.placement.width = static_cast<float>(frame.width()) * TwipsPerPixel;
    model_.placement.height = static_cast<float>(frame.height()) * TwipsPerPixel;
    shown_ = {model_.placement.left, model_.placement.top, model_.placement.width,
              model_.placement.height};
}

void WindowPlacement::apply() {
    const std::array<float, 4> wanted = {model_.placement.left, model_.placement.top,
                                         model_.placement.width, model_.placement.height};
    if (wanted == shown_)
        return;
    shown_ = wanted;
    // A damaged file may hold any number; no screen is a million pixels across.
    const auto pixels = [](float twips) {
        return static_cast<int>(std::clamp(std::round(twips / TwipsPerPixel), -1e6F, 1e6F));
    };
    wanted_ = QRect(pixels(model_.placement.left), pixels(model_.placement.top),
                    pixels(model_.placement.width), pixels(model_.placement.height));
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
