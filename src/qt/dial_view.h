// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/control_table.h"
#include "qt/drawing.h"

#include <QPixmap>
#include <QRegion>
#include <optional>
#include <tuple>
#include <type_traits>
#include <variant>
#include <vector>

class QPainter;

namespace tamberlight {

// The controls the window draws on its own surface (the clock labels, the hands, the marks,
// the circle and the pictures), painted back to front in the stacking order of the control
// table. Only what changed since the last paint is repainted.
class DialView {
public:
    explicit DialView(ClockWindow& model);

    // The region of the window that changed since the last call.
    QRegion changes();
    void paint(QPainter& painter, const QRegion& region, QSize size, qreal ratio);

    // The drawn control a click at this point lands on, front to back, or nothing for the
    // window itself. The lines and the circle take no clicks.
    std::optional<const ControlEntry*> hit(QPointF point) const;

private:
    // The kinds of control painted here, as one value.
    template <typename... Kinds>
    using PaintedOf = decltype(std::apply(
        [](auto... kinds) { return std::variant<typename decltype(kinds)::type...>{}; },
        std::tuple_cat(
            std::conditional_t<paintedByWindow<Kinds>, std::tuple<std::type_identity<Kinds>>,
                               std::tuple<>>{}...)));
    using Value = EachControlKind<PaintedOf>;
    struct Drawn {
        const ControlEntry* entry;
        Value shown;
        std::optional<CaptionPainter> text; // for a label
        bool behind;                        // drawn once into the back layer
    };
    Value current(const Drawn& drawn) const;
    QRegion region(const Drawn& drawn, const Value& value) const;
    void paint(QPainter& painter, const Drawn& drawn, const QRegion& region) const;
    const QPixmap& backLayer(QSize size, qreal ratio);

    ClockWindow& model_;
    std::vector<Drawn> drawn_; // front to back
    // What lies behind the hands changes only with the layout, the picture or the colour: it
    // is drawn once into a pixmap of the device's pixels.
    std::optional<std::vector<Value>> backKey_;
    QSize backSize_;
    qreal backRatio_ = 0;
    QPixmap backLayer_;
    bool painted_ = false;
};

} // namespace tamberlight
