// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The clock's widgets and fonts in plain Qt, with no clock behind them: nine buttons, two
// group boxes with line edits, the schedule editor with the focus, Japanese captions and the
// clock text in Comic Neue. What Qt itself takes to start such a window.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QFont jp(QStringLiteral("IPAPGothic"));
    jp.setPixelSize(11);
    QWidget window;
    window.setWindowTitle(QStringLiteral("same widgets"));
    window.resize(235, 625);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    const char* captions[] = {"↑",      "↓",        "画像指定",     "サウンド指定", "・off",
                              "色変更", "予定更新", "基準時刻設定", "設定"};
    int y = 0;
    for (const char* c : captions) {
        auto* b = new QPushButton(QString::fromUtf8(c), &window);
        b->setFont(jp);
        b->setGeometry(4, y += 22, 80, 20);
    }
    auto* g1 = new QGroupBox(QStringLiteral("時刻設定"), &window);
    g1->setFont(jp);
    g1->setGeometry(100, 10, 130, 80);
    auto* g2 = new QGroupBox(QStringLiteral("予定"), &window);
    g2->setFont(jp);
    g2->setGeometry(0, 380, 235, 60);
    auto* e1 = new QLineEdit(QStringLiteral("18"), g1);
    e1->setGeometry(5, 20, 30, 20);
    auto* e2 = new QLineEdit(QStringLiteral("1492"), g1);
    e2->setGeometry(5, 50, 40, 20);
    auto* l1 = new QLabel(QStringLiteral("時 分間隔＝ m秒"), g1);
    l1->setFont(jp);
    l1->setGeometry(40, 20, 80, 20);
    auto* t = new QPlainTextEdit(QStringLiteral("#Tamberlight   ver.0.2"), &window);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setGeometry(0, 450, 235, 170);
    QFont comic(QStringLiteral("Comic Neue"));
    comic.setPixelSize(32);
    comic.setBold(true);
    auto* clock = new QLabel(QStringLiteral("00:00"), &window);
    clock->setFont(comic);
    clock->setGeometry(70, 220, 100, 40);
    window.show();
    t->setFocus();
    return QApplication::exec();
}
