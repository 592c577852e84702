// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/schedule_editor.h"

#include "qt/drawing.h"

#include <QKeyEvent>
#include <QTextDocument>

namespace tamberlight {

namespace {
constexpr char16_t ShownCr = u'\u240D';
constexpr char16_t ShownLf = u'\u240A';
} // namespace

ScheduleEditor::ScheduleEditor(QWidget* parent)
    : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
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
