// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/controls.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <utility>

class QPainter;

namespace tamberlight {

QColor qtColour(Colour colour);
QString qtText(const std::string& text);

// A control's rectangle in pixels: controls inside a frame are placed in twips.
QRectF controlRect(float left, float top, float width, float height, float scale);

// Paints labels of one font: the caption on as many lines as fit, CR LF starting a new line
// and a longer line wrapping at the label's width, the rest cut off.
class CaptionPainter {
public:
    explicit CaptionPainter(const QFont& font);
    void paint(QPainter& painter, const Label& label, const QRectF& rect,
               const QColor& background) const;
    // The part of the label that painting it can change: the text's own box when the caption
    // is one line that fits, which is what the clock text repaints on every tick.
    QRegion region(const Label& label, const QRectF& rect) const;

private:
    // The caption's width when it is one line that fits the label, else nothing.
    std::optional<qreal> oneLineWidth(const QString& text, const QRectF& rect) const;

    QFont font_;
    const QFontMetricsF& metrics() const;

    mutable std::optional<QFontMetricsF> metrics_;
    mutable qreal ascent_ = 0, height_ = 0;
    mutable std::array<std::pair<QString, qreal>, 2> widths_{};
};

void paintLine(QPainter& painter, const Line& line);
// The box a line's painting stays within.
QRect lineBounds(const Line& line);
void paintShape(QPainter& painter, const Shape& shape);
void paintImage(QPainter& painter, const Image& image);

// The pixels a control covers when painted, with a margin for antialiasing.
QRegion lineRegion(const Line& line);
QRegion shapeRegion(const Shape& shape);
QRegion imageRegion(const Image& image);

} // namespace tamberlight
