#pragma once

#include "app/controls.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QRegion>
#include <QString>
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
void paintLine(QPainter& painter, const Line& line);
void paintShape(QPainter& painter, const Shape& shape);

// The pixels a control covers when painted, with a margin for antialiasing.
QRegion labelRegion(const Label& label, float scale);
QRegion lineRegion(const Line& line);
QRegion shapeRegion(const Shape& shape);
QRegion imageRegion(const Image& image);

} // namespace tamberlight
