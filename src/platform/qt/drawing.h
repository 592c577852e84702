#pragma once

#include "app/controls.h"

#include <QColor>
#include <QFont>
#include <QRawFont>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <array>
#include <optional>
#include <string>

class QPainter;

namespace tamberlight {

QColor qtColour(Colour colour);
QString qtText(const std::string& text);
// A caption's CR LF pairs as Qt's line breaks.
QString qtCaption(const std::string& caption);

QRectF labelRect(const Label& label, float scale);
void paintLabel(QPainter& painter, const Label& label, const QRectF& rect, const QFont& font,
                const QColor& background);

// Paints labels of one font. A caption of plain ASCII on one line that fits its label is drawn
// from glyphs looked up once, without shaping the text anew: the clock text changes on every
// tick. Anything else goes through the full text layout.
class CaptionPainter {
public:
    explicit CaptionPainter(const QFont& font);
    void paint(QPainter& painter, const Label& label, const QRectF& rect);
    // The part of the label that painting it can change: the text's own box on the fast path.
    QRegion region(const Label& label, const QRectF& rect) const;

private:
    // The width of the caption drawn from looked-up glyphs, or nothing when it takes the full
    // text layout.
    std::optional<qreal> glyphWidth(const Label& label, const QRectF& rect) const;

    QFont font_;
    QRawFont raw_;
    std::array<quint32, 128> glyphs_{};
    std::array<qreal, 128> advances_{};
    qreal ascent_ = 0;
    qreal descent_ = 0;
};
void paintLine(QPainter& painter, const Line& line);
QRectF lineBounds(const Line& line);
void paintShape(QPainter& painter, const Shape& shape);

// The pixels a control covers when painted, with a margin for antialiasing.
QRegion labelRegion(const Label& label, float scale);
QRegion lineRegion(const Line& line);
QRegion shapeRegion(const Shape& shape);
QRegion imageRegion(const Image& image);

} // namespace tamberlight
