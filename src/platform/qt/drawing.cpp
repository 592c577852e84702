#include "platform/qt/drawing.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace tamberlight {

namespace {

// Antialiased edges reach a little beyond the geometry.
constexpr double Margin = 1.5;

bool isDot(const Line& line) {
    return line.X1 == line.X2 && line.Y1 == line.Y2;
}

QRectF circleBounds(const Shape& shape) {
    const double diameter = std::max(0.0F, std::min(shape.Width, shape.Height));
    return {shape.Left + (shape.Width - diameter) / 2, shape.Top + (shape.Height - diameter) / 2,
            diameter, diameter};
}

} // namespace

QColor qtColour(Colour colour) {
    return {redOf(colour), greenOf(colour), blueOf(colour)};
}

QString qtText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString qtCaption(const std::string& caption) {
    QString text = qtText(caption);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QRectF labelRect(const Label& label, float scale) {
    return {label.Left / scale, label.Top / scale, label.Width / scale, label.Height / scale};
}

void paintLabel(QPainter& painter, const Label& label, const QRectF& rect, const QFont& font,
                const QColor& background) {
    if (!label.Visible || rect.isEmpty())
        return;
    if (!label.Transparent)
        painter.fillRect(rect, background);
    if (label.Caption.empty())
        return;
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(qtColour(label.ForeColor));
    const int align = label.Align == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    painter.drawText(rect, align | Qt::AlignTop | Qt::TextWordWrap, qtCaption(label.Caption));
    painter.restore();
}

void paintLine(QPainter& painter, const Line& line) {
    if (!line.Visible)
        return;
    const QColor colour = qtColour(line.BorderColor);
    if (isDot(line)) {
        const double radius = line.BorderWidth / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(line.X1, line.Y1), radius, radius);
        return;
    }
    painter.setPen(QPen(colour, line.BorderWidth, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(line.X1, line.Y1), QPointF(line.X2, line.Y2));
}

void paintShape(QPainter& painter, const Shape& shape) {
    if (!shape.Visible)
        return;
    const QRectF bounds = circleBounds(shape);
    const double border = shape.BorderWidth;
    const QColor colour = qtColour(shape.BorderColor);
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

QRegion labelRegion(const Label& label, float scale) {
    if (!label.Visible)
        return {};
    return QRegion(labelRect(label, scale).toAlignedRect().adjusted(-1, -1, 1, 1));
}

QRegion lineRegion(const Line& line) {
    if (!line.Visible)
        return {};
    const double reach = line.BorderWidth / 2.0 + Margin;
    if (isDot(line)) {
        return QRegion(
            QRectF(line.X1 - reach, line.Y1 - reach, 2 * reach, 2 * reach).toAlignedRect());
    }
    // A band around the line, not its bounding box: a turning hand repaints only a thin strip.
    const QLineF axis(line.X1, line.Y1, line.X2, line.Y2);
    const QLineF unit = axis.unitVector();
    const QPointF along = (unit.p2() - unit.p1()) * reach;
    const QPointF across(-along.y(), along.x());
    const QPolygonF band{axis.p1() - along + across, axis.p2() + along + across,
                         axis.p2() + along - across, axis.p1() - along - across};
    // The margin covers the rounding of the corners to whole pixels.
    return QRegion(band.toPolygon());
}

QRegion shapeRegion(const Shape& shape) {
    if (!shape.Visible)
        return {};
    return QRegion(circleBounds(shape).toAlignedRect().adjusted(-1, -1, 1, 1));
}

QRegion imageRegion(const Image& image) {
    if (!image.Visible || !image.Picture)
        return {};
    return QRegion(QRectF(image.Left, image.Top, image.Width, image.Height).toAlignedRect());
}

} // namespace tamberlight
