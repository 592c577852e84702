// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/dial_view.h"

#include "qt/fonts.h"

#include <QPainter>
#include <algorithm>

namespace tamberlight {

namespace {

template <typename... F> struct Overloaded : F... { using F::operator()...; };
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

QRectF rectOf(const Label& label) {
    return controlRect(label.left, label.top, label.width, label.height, 1);
}

} // namespace

DialView::DialView(ClockWindow& model)
    : model_(model) {
    for (const ControlEntry& entry : Controls) {
        if (entry.container != OnWindow)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(model.*member)>;
                if constexpr (paintedByWindow<T>) {
                    std::optional<CaptionPainter> text;
                    if constexpr (std::is_same_v<T, Label>)
                        text.emplace(qtFont((model.*member).font));
                    drawn_.push_back({&entry, model.*member, std::move(text), false});
                }
            },
            entry.member);
    }
    // The pictures and the circle at the back do not move with the clock.
    for (auto it = drawn_.rbegin(); it != drawn_.rend(); ++it) {
        if (!std::holds_alternative<Image>(it->shown) && !std::holds_alternative<Shape>(it->shown))
            break;
        it->behind = true;
    }
}

DialView::Value DialView::current(const Drawn& drawn) const {
    return std::visit(
        [this](auto member) -> Value {
            if constexpr (paintedByWindow<std::remove_cvref_t<decltype(model_.*member)>>)
                return model_.*member;
            else
                return Value{};
        },
        drawn.entry->member);
}

QRegion DialView::region(const Drawn& drawn, const Value& value) const {
    return std::visit(Overloaded{[&](const Label& l) { return drawn.text->region(l, rectOf(l)); },
                                 [](const Line& l) { return lineRegion(l); },
                                 [](const std::array<Line, 12>& lines) {
                                     QRegion all;
                                     for (const Line& l : lines)
                                         all += lineRegion(l);
                                     return all;
                                 },
                                 [](const Shape& s) { return shapeRegion(s); },
                                 [](const Image& i) { return imageRegion(i); },
                                 [](const std::array<Area, 4>&) { return QRegion(); }},
                      value);
}

// What lies outside the repainted region is skipped, mark by mark.
void DialView::paint(QPainter& painter, const Drawn& drawn, const QRegion& region) const {
    const auto line = [&](const Line& l) {
        if (region.intersects(lineBounds(l)))
            paintLine(painter, l);
    };
    std::visit(Overloaded{[&](const Label& l) {
                              if (region.intersects(drawn.text->region(l, rectOf(l))))
                                  drawn.text->paint(painter, l, rectOf(l), Qt::white);
                          },
                          line,
                          [&](const std::array<Line, 12>& lines) {
                              for (const Line& l : lines)
                                  line(l);
                          },
                          [&](const Shape& s) { paintShape(painter, s); },
                          [&](const Image& i) { paintImage(painter, i); },
                          [](const std::array<Area, 4>&) {}},
               drawn.shown);
}

QRegion DialView::changes() {
    QRegion dirty;
    for (Drawn& drawn : drawn_) {
        Value now = current(drawn);
        if (now == drawn.shown)
            continue;
        // Of the marks only those that changed: a colour or a switch repaints them all anyway.
        if (const auto* marks = std::get_if<std::array<Line, 12>>(&now)) {
            const auto& before = std::get<std::array<Line, 12>>(drawn.shown);
            for (std::size_t i = 0; i < marks->size(); ++i)
                if (!((*marks)[i] == before[i]))
                    dirty += lineRegion(before[i]) + lineRegion((*marks)[i]);
        } else {
            dirty += region(drawn, drawn.shown) + region(drawn, now);
        }
        drawn.shown = std::move(now);
    }
    return dirty;
}

const QPixmap& DialView::backLayer(QSize size, qreal ratio) {
    std::vector<Value> key;
    for (const Drawn& drawn : drawn_)
        if (drawn.behind)
            key.push_back(drawn.shown);
    if (backKey_ == key && backSize_ == size && backRatio_ == ratio)
        return backLayer_;
    backLayer_ = QPixmap((QSizeF(size) * ratio).toSize());
    backLayer_.setDevicePixelRatio(ratio);
    backLayer_.fill(qtColour(ClockWindow::Background));
    QPainter painter(&backLayer_);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    for (auto it = drawn_.rbegin(); it != drawn_.rend() && it->behind; ++it)
        paint(painter, *it, QRect(QPoint(), size));
    backKey_ = std::move(key);
    backSize_ = size;
    backRatio_ = ratio;
    return backLayer_;
}

void DialView::paint(QPainter& painter, const QRegion& region, QSize size, qreal ratio) {
    if (!painted_) {
        // The first frame is painted straight, without waiting for the back layer, which is
        // kept from the next paint on.
        painted_ = true;
        for (const QRect& r : region)
            painter.fillRect(r, qtColour(ClockWindow::Background));
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        for (auto it = drawn_.rbegin(); it != drawn_.rend() && it->behind; ++it)
            paint(painter, *it, region);
    } else {
        const QPixmap& back = backLayer(size, ratio);
        // Rectangle by rectangle: small copies, where one copy of the bounding rectangle could
        // be most of the window.
        for (const QRect& r : region)
            painter.drawPixmap(QRectF(r), back,
                               QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
    }
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // In front of the back layer, back to front.
    for (auto it = drawn_.rbegin(); it != drawn_.rend(); ++it)
        if (!it->behind)
            paint(painter, *it, region);
}

std::optional<const ControlEntry*> DialView::hit(QPointF point) const {
    for (const Drawn& drawn : drawn_) {
        const auto contains = Overloaded{
            [&](const Label& l) { return l.visible && rectOf(l).contains(point); },
            [&](const Image& i) {
                return i.visible &&
                       controlRect(i.left, i.top, i.width, i.height, 1).contains(point);
            },
            [&](const std::array<Area, 4>& areas) {
                return std::any_of(areas.begin(), areas.end(), [&](const Area& a) {
                    return controlRect(a.left, a.top, a.width, a.height, 1).contains(point);
                });
            },
            [](const auto&) { return false; }};
        if (std::visit(contains, current(drawn)))
            return drawn.entry;
    }
    return std::nullopt;
}

} // namespace tamberlight
