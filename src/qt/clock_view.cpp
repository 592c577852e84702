// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/clock_view.h"

#include "platform/platform_error.h"
#include "qt/drawing.h"
#include "qt/fonts.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace tamberlight {

ClockView::ClockView(ClockWindow& model, Services& services)
    : model_(model)
    , services_(services)
    , dial_(model)
    , placement_(*this, model) {
    setWindowTitle(qtText(model_.title()));
    setAccessibleName(QStringLiteral("時計"));
    // The window's font and colours come before its controls, which then need not take a change
    // of either, one by one.
    setFont(qtFont(std::nullopt));
    QPalette background = palette();
    background.setColor(QPalette::Window, qtColour(ClockWindow::Background));
    setPalette(background);
    widgets_.emplace(*this, model, [this](const std::function<void()>& work) { run(work); });
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
    resize(static_cast<int>(model_.clientWidth), static_cast<int>(model_.clientHeight));
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { run([&model = model_] { model.tick(); }); });
    run([] {});
}

void ClockView::load() {
    placement_.record();
    run([&model = model_] { model.startUp(); });
    savedAtStart_ = false;
}

void ClockView::showNotice(const std::string& line) {
    notice_->setText(qtText(line));
    notice_->show();
    notice_->raise();
    placeNotice();
    QAccessibleEvent alert(notice_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void ClockView::placeNotice() {
    const int height = notice_->heightForWidth(width());
    notice_->setGeometry(0, this->height() - height, width(), height);
}

void ClockView::endSession() {
    closing_ = ClockWindow::Closing::SessionEnds;
    close();
}

void ClockView::run(const std::function<void()>& work) {
    guard(work);
    // What the work reached is shown, also when it failed part way.
    guard([this] { sync(); });
    if (const ClockWindow::Moved moved = model_.takeMoved(); moved != ClockWindow::Moved::Not)
        emit clockMoved(moved == ClockWindow::Moved::Tick);
    emit shown();
}

void ClockView::guard(const std::function<void()>& step) {
    try {
        step();
    } catch (const PlatformError& error) {
        services_.report(error.what());
    } catch (const std::exception& error) {
        services_.report(std::string("unexpected failure: ") + error.what() +
                         "; the clock goes on");
    }
}

void ClockView::sync() {
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
    if (const QString title = qtText(model_.title()); title != windowTitle()) {
        setWindowTitle(title);
        setAccessibleDescription(title);
    }
    if (refused)
        std::rethrow_exception(refused);
}

void ClockView::repaintDial() {
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

void ClockView::syncTimer() {
    const std::int32_t interval = model_.clock().interval();
    const bool enabled = model_.timerRuns();
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

void ClockView::mousePressEvent(QMouseEvent* event) {
    pressed_.reset();
    if (notice_->isVisible() && notice_->geometry().contains(event->position().toPoint())) {
        notice_->hide();
        return;
    }
    if (event->button() == Qt::LeftButton)
        pressed_ = dial_.hit(event->position());
}

// The second press of a double click is no click of its own.
void ClockView::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_.reset();
    event->accept();
}

void ClockView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    const std::optional<const ControlEntry*> target = dial_.hit(event->position());
    const bool same = target == *pressed_;
    pressed_.reset();
    if (!same)
        return;
    void (ClockWindow::*click)() = target ? (*target)->click : &ClockWindow::togglePanel;
    // The handler is called on the model alone, not through this window: the sanitizer build
    // misreads a member-function call inside a lambda that captured this.
    if (click != nullptr)
        run([&model = model_, click] { (model.*click)(); });
}

void ClockView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placement_.frameMayHaveArrived();
    placement_.record();
    run([&model = model_, size = size()] {
        model.resize(static_cast<float>(size.width()), static_cast<float>(size.height()));
    });
    placeNotice();
}

void ClockView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placement_.frameMayHaveArrived();
    placement_.record();
}

// A close whose save fails is called off once, and the window says why; the next close goes
// through. The end of a session always goes through.
void ClockView::closeEvent(QCloseEvent* event) {
    emit closing(true);
    placement_.record();
    bool saved = false;
    widgets_->handOver();
    run([&model = model_, &saved, why = closing_] {
        model.close(why);
        saved = true;
    });
    if (!saved && closing_ == ClockWindow::Closing::Asked) {
        closing_ = ClockWindow::Closing::AskedAgain;
        emit closing(false);
        event->ignore();
        return;
    }
    event->accept();
}

void ClockView::paintEvent(QPaintEvent* event) {
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
            this, [this] { run([&model = model_] { model.saveAtStartUp(); }); },
            Qt::QueuedConnection);
    }
}

} // namespace tamberlight
