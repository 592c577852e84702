// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/drawing.h"

#include "qt/qt_services.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tamberlight {

namespace {

// Antialiased edges reach a little beyond the geometry.
constexpr double Margin = 1.5;
constexpr double PieceLength = 24.0;

QRectF circleBounds(const Shape& shape) {
    const double diameter = std::max(0.0F, std::min(shape.width, shape.height));
    return {shape.left + (shape.width - diameter) / 2, shape.top + (shape.height - diameter) / 2,
            diameter, diameter};
}

QString caption(const Label& label) {
    QString text = qtText(label.caption);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

} // namespace

QColor qtColour(Colour colour) {
    return {redOf(colour), greenOf(colour), blueOf(colour)};
}

QString qtText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRectF controlRect(float left, float top, float width, float height, float scale) {
    return {left / scale, top / scale, width / scale, height / scale};
}

CaptionPainter::CaptionPainter(const QFont& font)
    : font_(font) {}

// The font is loaded when a caption is first measured: the announcement's and the stop mark's
// fonts are not needed for the first frame.
const QFontMetricsF& CaptionPainter::metrics() const {
    if (!metrics_) {
        metrics_.emplace(font_);
        ascent_ = metrics_->ascent();
        height_ = metrics_->height();
    }
    return *metrics_;
}

std::optional<qreal> CaptionPainter::oneLineWidth(const QString& text, const QRectF& rect) const {
    metrics();
    if (text.contains(u'\n') || height_ > rect.height())
        return std::nullopt;
    // The clock text is measured for its old and new regions and for painting: the last two
    // captions' widths are kept rather than laid out again.
    auto known = std::find_if(widths_.begin(), widths_.end(),
                              [&text](const auto& entry) { return entry.first == text; });
    if (known == widths_.end()) {
        std::rotate(widths_.rbegin(), widths_.rbegin() + 1, widths_.rend());
        widths_.front() = {text, metrics_->horizontalAdvance(text)};
        known = widths_.begin();
    }
    const qreal width = known->second;
    if (width > rect.width())
        return std::nullopt;
    return width;
}

void CaptionPainter::paint(QPainter& painter, const Label& label, const QRectF& rect,
                           const QColor& background) const {
    if (!label.visible || rect.isEmpty())
        return;
    if (!label.transparent)
        painter.fillRect(rect, background);
    if (label.caption.empty())
        return;
    const QString text = caption(label);
    painter.setFont(font_);
    painter.setPen(qtColour(label.colour));
    // One line that fits needs no line layout: the clock text on every tick.
    if (const std::optional<qreal> width = oneLineWidth(text, rect)) {
        const qreal x = label.align == Alignment::Centre ? (rect.width() - *width) / 2 : 0;
        painter.drawText(QPointF(rect.left() + x, rect.top() + ascent_), text);
        return;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    const int align = label.align == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    painter.drawText(rect, align | Qt::AlignTop | Qt::TextWordWrap, text);
    painter.restore();
}

QRegion CaptionPainter::region(const Label& label, const QRectF& rect) const {
    if (!label.visible || (label.transparent && label.caption.empty()))
        return {};
    const std::optional<qreal> width = oneLineWidth(caption(label), rect);
    if (!width || !label.transparent)
        return QRegion(rect.toAlignedRect().adjusted(-1, -1, 1, 1));
    const qreal left = label.align == Alignment::Centre ? (rect.width() - *width) / 2 : 0;
    // Glyphs may reach a little past their advances.
    return QRegion(QRectF(rect.left() + left, rect.top(), *width, height_)
                       .toAlignedRect()
                       .adjusted(-3, -1, 3, 1));
}

void paintLine(QPainter& painter, const Line& line) {
    if (!line.visible)
        return;
    // Round ends are drawn as dots on a flat-ended line: the raster engine strokes flat-ended
    // lines on a fast path, and round caps at twice the cost. A zero-length line is the dot
    // alone.
    const double radius = line.thickness / 2.0;
    const QColor colour = qtColour(line.colour);
    const QPointF a(line.x1, line.y1);
    const QPointF b(line.x2, line.y2);
    if (a != b) {
        painter.setPen(QPen(colour, line.thickness, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(a, b);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(a, radius, radius);
    if (a != b)
        painter.drawEllipse(b, radius, radius);
}

void paintShape(QPainter& painter, const Shape& shape) {
    if (!shape.visible)
        return;
    const QRectF bounds = circleBounds(shape);
    const double border = shape.border;
    const QColor colour = qtColour(shape.colour);
    // The border lies inside the bounds: the pen runs along a circle half its width further in.
    if (bounds.width() <= border) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(bounds);
        return;
    }
    painter.setPen(QPen(colour, border));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(bounds.adjusted(border / 2, border / 2, -border / 2, -border / 2));
}

void paintImage(QPainter& painter, const Image& image) {
    if (const auto* picture = dynamic_cast<const QtPicture*>(image.picture.get());
        picture != nullptr && image.visible)
        painter.drawImage(controlRect(image.left, image.top, image.width, image.height, 1),
                          picture->image());
}

QRect lineBounds(const Line& line) {
    const double reach = line.thickness / 2.0 + Margin;
    return QRectF(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2))
        .normalized()
        .adjusted(-reach, -reach, reach, reach)
        .toAlignedRect();
}

QRegion lineRegion(const Line& line) {
    if (!line.visible)
        return {};
    const double reach = line.thickness / 2.0 + Margin;
    // The boxes of short pieces of the line, not the box of the whole line: a turning hand
    // repaints a thin strip around itself.
    const QLineF axis(line.x1, line.y1, line.x2, line.y2);
    const int pieces = std::max(1, static_cast<int>(std::ceil(axis.length() / PieceLength)));
    QRegion region;
    for (int i = 0; i < pieces; ++i) {
        const QPointF a = axis.pointAt(static_cast<double>(i) / pieces);
        const QPointF b = axis.pointAt(static_cast<double>(i + 1) / pieces);
        region += QRectF(QPointF(std::min(a.x(), b.x()) - reach, std::min(a.y(), b.y()) - reach),
                         QPointF(std::max(a.x(), b.x()) + reach, std::max(a.y(), b.y()) + reach))
                      .toAlignedRect();
    }
    return region;
}

QRegion shapeRegion(const Shape& shape) {
    if (!shape.visible)
        return {};
    return QRegion(circleBounds(shape).toAlignedRect().adjusted(-1, -1, 1, 1));
}

QRegion imageRegion(const Image& image) {
    if (!image.visible || !image.picture)
        return {};
    return QRegion(
        controlRect(image.left, image.top, image.width, image.height, 1).toAlignedRect());
}

} // namespace tamberlight
