#include "platform/qt/drawing.h"

#include <QFontMetricsF>
#include <QGlyphRun>
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
    const QString caption = qtCaption(label.Caption);
    painter.setFont(font);
    painter.setPen(qtColour(label.ForeColor));
    const QFontMetricsF metrics(font);
    const double advance = metrics.horizontalAdvance(caption);
    // A caption of one line that fits needs no line layout: the clock text on every tick.
    if (advance <= rect.width() && metrics.height() <= rect.height() && !caption.contains(u'\n')) {
        const double x = label.Align == Alignment::Centre ? (rect.width() - advance) / 2 : 0;
        painter.drawText(QPointF(rect.left() + x, rect.top() + metrics.ascent()), caption);
        return;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    const int align = label.Align == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    painter.drawText(rect, align | Qt::AlignTop | Qt::TextWordWrap, caption);
    painter.restore();
}

CaptionPainter::CaptionPainter(const QFont& font)
    : font_(font)
    , raw_(QRawFont::fromFont(font))
    , ascent_(QFontMetricsF(font).ascent())
    , descent_(QFontMetricsF(font).descent()) {
    if (!raw_.isValid())
        return;
    QString ascii;
    for (int c = 32; c < 127; ++c)
        ascii += QChar(c);
    const QList<quint32> indexes = raw_.glyphIndexesForString(ascii);
    if (indexes.size() != ascii.size())
        return;
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(indexes);
    for (int c = 32; c < 127; ++c) {
        glyphs_[static_cast<std::size_t>(c)] = indexes[c - 32];
        advances_[static_cast<std::size_t>(c)] = advances[c - 32].x();
    }
}

std::optional<qreal> CaptionPainter::glyphWidth(const Label& label, const QRectF& rect) const {
    if (!raw_.isValid() || ascent_ + descent_ > rect.height())
        return std::nullopt;
    qreal width = 0;
    for (const char c : label.Caption) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code >= 127 || glyphs_[code] == 0)
            return std::nullopt;
        width += advances_[code];
    }
    if (width > rect.width())
        return std::nullopt;
    return width;
}

void CaptionPainter::paint(QPainter& painter, const Label& label, const QRectF& rect) {
    if (!label.Visible || rect.isEmpty() || label.Caption.empty())
        return;
    const std::optional<qreal> width = glyphWidth(label, rect);
    if (!width) {
        paintLabel(painter, label, rect, font_, Qt::white);
        return;
    }
    QList<quint32> indexes;
    QList<QPointF> positions;
    qreal x = 0;
    for (const char c : label.Caption) {
        const auto code = static_cast<unsigned char>(c);
        indexes.append(glyphs_[code]);
        positions.append(QPointF(x, 0));
        x += advances_[code];
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    const qreal left = label.Align == Alignment::Centre ? (rect.width() - *width) / 2 : 0;
    painter.setPen(qtColour(label.ForeColor));
    painter.drawGlyphRun(QPointF(rect.left() + left, rect.top() + ascent_), run);
}

QRegion CaptionPainter::region(const Label& label, const QRectF& rect) const {
    if (!label.Visible || label.Caption.empty())
        return {};
    const std::optional<qreal> width = glyphWidth(label, rect);
    if (!width)
        return QRegion(rect.toAlignedRect().adjusted(-1, -1, 1, 1));
    const qreal left = label.Align == Alignment::Centre ? (rect.width() - *width) / 2 : 0;
    // Glyphs may reach a little past their advances.
    return QRegion(QRectF(rect.left() + left, rect.top(), *width, ascent_ + descent_)
                       .toAlignedRect()
                       .adjusted(-3, -1, 3, 1));
}

void paintLine(QPainter& painter, const Line& line) {
    if (!line.Visible)
        return;
    // Round ends are drawn as dots on a flat-ended line: the raster engine strokes flat-ended
    // lines on a fast path, and round caps at twice the cost. A zero-length line is the dot
    // alone.
    const double radius = line.BorderWidth / 2.0;
    const QColor colour = qtColour(line.BorderColor);
    const QPointF a(line.X1, line.Y1);
    const QPointF b(line.X2, line.Y2);
    if (a != b) {
        painter.setPen(QPen(colour, line.BorderWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(a, b);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(a, radius, radius);
    if (a != b)
        painter.drawEllipse(b, radius, radius);
}

QRectF lineBounds(const Line& line) {
    const double reach = line.BorderWidth / 2.0 + Margin;
    return QRectF(QPointF(line.X1, line.Y1), QPointF(line.X2, line.Y2))
        .normalized()
        .adjusted(-reach, -reach, reach, reach);
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
    // The boxes of short pieces of the line, not the box of the whole line: a turning hand
    // repaints a thin strip around itself.
    const QLineF axis(line.X1, line.Y1, line.X2, line.Y2);
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
