// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/form1_window.h"

#include "platform/platform_error.h"
#include "qt/drawing.h"
#include "qt/fonts.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace tamberlight {

Form1Window::Form1Window(Form1& form, Services& services)
    : form_(form)
    , services_(services)
    , dial_(form)
    , placement_(*this, form) {
    setWindowTitle(qtText(form_.Caption));
    setAccessibleName(QStringLiteral("時計"));
    // The window's font and colours come before its controls, which then need not take a change
    // of either, one by one.
    setFont(qtFont(std::nullopt));
    QPalette background = palette();
    background.setColor(QPalette::Window, qtColour(form_.BackColor));
    setPalette(background);
    widgets_.emplace(*this, form, [this](const std::function<void()>& work) { run(work); });
    // Failures the user would otherwise not notice are told here too, over the foot of the
    // schedule box, which reaches below the window anyway.
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setAccessibleName(QStringLiteral("お知らせ"));
    notice_->setWordWrap(true);
    notice_->setMargin(4);
    notice_->setAutoFillBackground(true);
    notice_->setFrameShape(QFrame::Box);
    QPalette warning = notice_->palette();
    warning.setColor(QPalette::Window, QColor(255, 244, 196));
    warning.setColor(QPalette::WindowText, Qt::black);
    notice_->setPalette(warning);
    notice_->hide();
    // Escape ends the sound that plays.
    auto* hush = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(hush, &QShortcut::activated, this, [this] { services_.stopSound(); });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(100, 100);
    resize(static_cast<int>(form_.ScaleWidth), static_cast<int>(form_.ScaleHeight));
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { run([this] { form_.Timer1_Timer(); }); });
    run([] {});
}

void Form1Window::load() {
    placement_.record();
    run([this] { form_.Form_LoadBeforeSave(); });
    savedAtStart_ = false;
}

void Form1Window::showNotice(const std::string& line) {
    notice_->setText(qtText(line));
    notice_->show();
    notice_->raise();
    placeNotice();
    QAccessibleEvent alert(notice_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void Form1Window::placeNotice() {
    const int height = notice_->heightForWidth(width());
    notice_->setGeometry(0, this->height() - height, width(), height);
}

void Form1Window::endSession() {
    closing_ = Form1::Closing::SessionEnds;
    close();
}

void Form1Window::run(const std::function<void()>& work) {
    guard(work);
    // What the work reached is shown, also when it failed part way.
    guard([this] { sync(); });
}

void Form1Window::guard(const std::function<void()>& step) {
    try {
        step();
    } catch (const PlatformError& error) {
        services_.report(error.what());
    } catch (const std::exception& error) {
        services_.report(std::string("unexpected failure: ") + error.what() +
                         "; the clock goes on");
    }
}

void Form1Window::sync() {
    // The view's own failure comes last, once the rest is up to date.
    std::exception_ptr refused;
    try {
        widgets_->sync();
    } catch (const PlatformError&) {
        refused = std::current_exception();
    }
    repaintDial();
    syncTimer();
    placement_.apply();
    if (const QString title = qtText(form_.Caption); title != windowTitle()) {
        setWindowTitle(title);
        setAccessibleDescription(title);
    }
    if (refused)
        std::rethrow_exception(refused);
}

void Form1Window::repaintDial() {
    QRegion dirty = dial_.changes();
    if (dirty.isEmpty())
        return;
    // What changed beneath an opaque control does not show; the edges are kept for the rounded
    // corners some styles give buttons.
    const QRect changed = dirty.boundingRect();
    for (const QObject* object : children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child != nullptr && child->isVisible() && child->autoFillBackground() &&
            child->geometry().intersects(changed))
            dirty -= child->geometry().adjusted(2, 2, -2, -2);
    }
    update(dirty);
}

void Form1Window::syncTimer() {
    const std::int32_t interval = form_.Timer1.Interval();
    const bool enabled = form_.Timer1.Enabled;
    if (interval == shownInterval_ && enabled == shownEnabled_)
        return;
    // Qt would fire a timer of interval 0 without pause; the window's timer stands still then.
    if (enabled && interval > 0)
        timer_.start(interval);
    else
        timer_.stop();
    shownInterval_ = interval;
    shownEnabled_ = enabled;
}

void Form1Window::mousePressEvent(QMouseEvent* event) {
    pressed_.reset();
    if (notice_->isVisible() && notice_->geometry().contains(event->position().toPoint())) {
        notice_->hide();
        return;
    }
    if (event->button() == Qt::LeftButton)
        pressed_ = dial_.hit(event->position());
}

// The second press of a double click is no click of its own.
void Form1Window::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_.reset();
    event->accept();
}

void Form1Window::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    const std::optional<const ControlEntry*> target = dial_.hit(event->position());
    const bool same = target == *pressed_;
    pressed_.reset();
    if (!same)
        return;
    void (Form1::*click)() = target ? (*target)->click : &Form1::Form_Click;
    // The handler is called on the form alone, not through this window: the sanitizer build
    // misreads a member-function call inside a lambda that captured this.
    if (click != nullptr)
        run([&form = form_, click] { (form.*click)(); });
}

void Form1Window::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placement_.frameMayHaveArrived();
    placement_.record();
    form_.ScaleWidth = static_cast<float>(width());
    form_.ScaleHeight = static_cast<float>(height());
    run([this] { form_.Form_Resize(); });
    placeNotice();
}

void Form1Window::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placement_.frameMayHaveArrived();
    placement_.record();
}

// A close whose save fails is called off once, and the window says why; the next close goes
// through. The end of a session always goes through.
void Form1Window::closeEvent(QCloseEvent* event) {
    if (onClosing)
        onClosing(true);
    placement_.record();
    bool saved = false;
    run([&form = form_, &saved, why = closing_] {
        form.Form_Unload(why);
        saved = true;
    });
    if (!saved && closing_ == Form1::Closing::Asked) {
        closing_ = Form1::Closing::AskedAgain;
        if (onClosing)
            onClosing(false);
        event->ignore();
        return;
    }
    event->accept();
}

void Form1Window::paintEvent(QPaintEvent* event) {
    // A Wayland client draws its own frame: it is known by the first paint, and no move or
    // resize follows it there.
    if (placement_.awaitingFrame() && frameGeometry().size() != size())
        QMetaObject::invokeMethod(
            this, [this] { placement_.frameMayHaveArrived(); }, Qt::QueuedConnection);
    QPainter painter(this);
    dial_.paint(painter, event->region(), size(), devicePixelRatioF());
    // The start-up save, with its flushes to disk, follows the first frame, before the user
    // can do anything in the window.
    if (!savedAtStart_) {
        savedAtStart_ = true;
        QMetaObject::invokeMethod(
            this, [this] { run([this] { form_.saveAtStartUp(); }); }, Qt::QueuedConnection);
    }
}

} // namespace tamberlight
