// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/schedule_editor.h"

#include "qt/drawing.h"
#include "schedule/schedule.h"
#include "schedule/schedule_line.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

namespace tamberlight {

namespace {

constexpr char16_t ShownCr = u'\u240D';
constexpr char16_t ShownLf = u'\u240A';

// How many lines the count of entries takes on at a time.
constexpr int LinesAtATime = 4000;

} // namespace

class ScheduleEditor::Margin : public QWidget {
public:
    explicit Margin(ScheduleEditor& editor)
        : QWidget(&editor)
        , editor_(editor) {}

protected:
    void paintEvent(QPaintEvent* event) override { editor_.paintMargin(event); }
    bool event(QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return QWidget::event(event);
        auto* help = static_cast<QHelpEvent*>(event);
        editor_.explain(editor_.viewport()->mapFrom(this, help->pos()), help->globalPos(), this);
        return true;
    }

private:
    ScheduleEditor& editor_;
};

ScheduleEditor::ScheduleEditor(QWidget* parent)
    : QPlainTextEdit(parent)
    , margin_(new Margin(*this)) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    setViewportMargins(MarginWidth, 0, 0, 0);
    counting_.setSingleShot(true);
    connect(&counting_, &QTimer::timeout, this, [this] { countEntries(); });
    connect(this, &QPlainTextEdit::textChanged, this, [this] { recount(); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        dy != 0 ? margin_->scroll(0, dy) : margin_->update(0, rect.y(), MarginWidth, rect.height());
    });
    // A screen reader hears what the mark of the line under the cursor says.
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { setAccessibleDescription(markOf(textCursor().block())); });
}

std::string ScheduleEditor::text() const {
    const QString raw = document()->toRawText();
    QString out;
    out.reserve(raw.size() + raw.size() / 16);
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n')
            out += QLatin1String("\r\n");
        else if (c == QChar(ShownCr))
            out += u'\r';
        else if (c == QChar(ShownLf))
            out += u'\n';
        else
            out += c;
    }
    return out.toStdString();
}

void ScheduleEditor::setText(const std::string& text) {
    const QString shown = qtText(text);
    QString out;
    out.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown[i];
        if (c == u'\r' && i + 1 < shown.size() && shown[i + 1] == u'\n') {
            out += u'\n';
            ++i;
        } else if (c == u'\r') {
            out += QChar(ShownCr);
        } else if (c == u'\n') {
            out += QChar(ShownLf);
        } else {
            out += c;
        }
    }
    setPlainText(out);
    recount();
}

QString ScheduleEditor::markOf(const QTextBlock& line) const {
    if (!line.isValid() || line.blockNumber() == 0)
        return {};
    const std::string text = line.text().toStdString();
    const LineKind kind = kindOfLine(text);
    if (kind.entry && lastRinging_ >= 0 && line.blockNumber() > lastRinging_)
        return QStringLiteral("not one of the first %1 entries").arg(Schedule::Capacity);
    if (kind.whyNot != nullptr)
        return QString::fromUtf8(kind.whyNot);
    return kind.rings ? QStringLiteral("rings at ") + QString::fromStdString(scheduleKey(text))
                      : QString();
}

void ScheduleEditor::paintMargin(QPaintEvent* event) {
    QPainter painter(margin_);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    painter.setRenderHint(QPainter::Antialiasing);
    for (QTextBlock line = firstVisibleBlock(); line.isValid(); line = line.next()) {
        const QRectF shape = blockBoundingGeometry(line).translated(contentOffset());
        if (shape.top() > event->rect().bottom())
            break;
        const QString mark = markOf(line);
        if (mark.isEmpty() || !line.isVisible())
            continue;
        const QRectF dot(1.5, shape.top() + fontMetrics().height() / 2.0 - 3, 6, 6);
        if (mark.startsWith(QLatin1String("rings"))) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 128, 0));
        } else {
            painter.setPen(QPen(QColor(200, 0, 0), 1.5));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawEllipse(dot);
    }
}

// A new text: the entries are counted afresh. (A text the program sets may come with the box's
// signals blocked.)
void ScheduleEditor::recount() {
    countedTo_ = counted_ = 0;
    limit_ = -1;
    counting_.start(0);
}

// Counts the entries from the top a few thousand lines at a time, until the last one that rings
// is found or the text ends; the marks change when the count is done.
void ScheduleEditor::countEntries() {
    QTextBlock line = document()->findBlockByNumber(std::max(countedTo_, 1));
    for (int looked = 0; line.isValid() && looked < LinesAtATime; ++looked, line = line.next()) {
        if (kindOfLine(line.text().toStdString()).entry &&
            ++counted_ == static_cast<int>(Schedule::Capacity)) {
            limit_ = line.blockNumber();
            break;
        }
    }
    if (line.isValid() && limit_ < 0) {
        countedTo_ = line.blockNumber();
        counting_.start(0);
        return;
    }
    const int ringing = limit_ < 0 ? document()->blockCount() : limit_;
    if (ringing != lastRinging_) {
        lastRinging_ = ringing;
        margin_->update();
    }
}

void ScheduleEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect inside = contentsRect();
    margin_->setGeometry(inside.left(), inside.top(), MarginWidth, inside.height());
}

bool ScheduleEditor::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QPlainTextEdit::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    explain(help->pos(), help->globalPos(), viewport());
    return true;
}

void ScheduleEditor::explain(QPoint inView, QPoint onScreen, QWidget* over) {
    const QString mark = markOf(cursorForPosition(inView).block());
    mark.isEmpty() ? QToolTip::hideText() : QToolTip::showText(onScreen, mark, over);
}

void ScheduleEditor::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier) && onApply) {
        onApply();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace tamberlight
