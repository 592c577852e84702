// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/control_widgets.h"

#include "platform/platform_error.h"
#include "qt/drawing.h"
#include "qt/fonts.h"
#include "qt/frame_box.h"
#include "qt/schedule_editor.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace tamberlight {

namespace {

// A read-only text element over a label the window draws itself. It paints nothing and takes
// neither clicks nor the focus; a new caption reaches a screen reader as a text change.
class SpokenText : public QLineEdit {
public:
    SpokenText(QWidget* parent, const char* name)
        : QLineEdit(parent) {
        setAccessibleName(QString::fromUtf8(name));
        setReadOnly(true);
        setFrame(false);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {}
};

void tint(QWidget* widget, QPalette::ColorRole role, const std::optional<Colour>& colour) {
    if (!colour)
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, qtColour(*colour));
    widget->setPalette(palette);
}

// Only a window that follows another's clock disables controls; a screen reader says why.
void enable(QWidget* widget, bool enabled) {
    widget->setEnabled(enabled);
    widget->setAccessibleDescription(
        enabled ? QString() : QStringLiteral("先導する時計に従っているあいだは変えられません"));
}

float scaleOf(Container container) {
    return container == OnWindow ? 1.0F : TwipsPerPixel;
}

template <typename Control> void place(QWidget* widget, const Control& c, Container container) {
    const QRectF rect = controlRect(c.left, c.top, c.width, c.height, scaleOf(container));
    // Far beyond any screen, or no number at all: no widget can be placed there.
    for (const qreal value : {rect.left(), rect.top(), rect.width(), rect.height()})
        if (!(std::fabs(value) < 1e6))
            throw PlatformError("a control cannot be placed " + std::to_string(value) +
                                " pixels away; it stays where it was");
    widget->setGeometry(rect.toRect());
}

} // namespace

ControlWidgets::ControlWidgets(QWidget& window, ClockWindow& model, RunHandler run)
    : window_(window)
    , model_(model)
    , run_(std::move(run)) {
    // Back to front, so that the front ones end up on top; the frames, on the window, are
    // built before what they hold.
    for (const bool onWindow : {true, false})
        for (auto it = Controls.rbegin(); it != Controls.rend(); ++it)
            if ((it->container == OnWindow) == onWindow && !controlAs<Label>(model_, *it))
                build(*it, holder(it->container));
    connectReturnKeys();
    chainTabOrder();
    // The labels' text elements cost every start a few milliseconds that only a screen reader
    // needs: they are made when one is there, at start or later.
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

void ControlWidgets::accessibilityActiveChanged(bool active) {
    if (!active || spokenBuilt_)
        return;
    spokenBuilt_ = true;
    for (const ControlEntry& entry : Controls)
        if (controlAs<Label>(model_, entry))
            build(entry, holder(entry.container));
}

ControlWidgets::~ControlWidgets() {
    QAccessible::removeActivationObserver(this);
    handOver();
}

void ControlWidgets::handOver() {
    for (const Box& box : boxes_)
        if (TextBox& model = model_.*box.member; box.editor != nullptr && model.heldByView())
            model.handOver(box.editor->text());
}

void ControlWidgets::build(const ControlEntry& entry, QWidget* parent) {
    QWidget* widget = nullptr;
    if (const Button* model = controlAs<Button>(model_, entry)) {
        auto* button = new QPushButton(parent);
        button->setFont(qtFont(model->font));
        button->setAutoDefault(false);
        // Applying reads the schedule: the box hands its text over first, and only then, since
        // taking a long text from the box costs its length.
        QObject::connect(button, &QPushButton::clicked, button, [this, click = entry.click] {
            run_([this, &model = model_, click] {
                if (click == &ClockWindow::applySchedule)
                    handOver();
                (model.*click)();
            });
        });
        widget = button;
        buttons_.push_back({std::get<Button ClockWindow::*>(entry.member), button});
        bound_.push_back({&entry, widget, Button{}, std::nullopt});
    } else if (TextBox* model = controlAs<TextBox>(model_, entry)) {
        Box box{std::get<TextBox ClockWindow::*>(entry.member), nullptr, nullptr};
        if (model->multiLine) {
            // The schedule may be megabytes long: an edit only tells the model, and the text is
            // handed over before a handler reads it.
            auto* editor = box.editor = new ScheduleEditor(parent);
            QObject::connect(editor, &QPlainTextEdit::textChanged, editor,
                             [this] { run_([&model = model_] { model.scheduleEdited(); }); });
            widget = editor;
        } else {
            // A one-line box's text is short: the model has it at once.
            auto* line = box.line = new QLineEdit(parent);
            line->setFont(qtFont(std::nullopt));
            QObject::connect(line, &QLineEdit::textEdited, line,
                             [this, model](const QString& text) {
                                 run_([model, &text] { model->handOver(text.toStdString()); });
                             });
            widget = line;
        }
        tint(widget, QPalette::Base, model->background);
        boxes_.push_back(box);
        bound_.push_back({&entry, widget, ShownText{}, std::nullopt});
    } else if (const Frame* model = controlAs<Frame>(model_, entry)) {
        widget = new FrameBox(parent, model_, std::get<Frame ClockWindow::*>(entry.member), run_);
        widget->setFont(qtFont(model->font));
        tint(widget, QPalette::Window, model->background);
        bound_.push_back({&entry, widget, Frame{}, std::nullopt});
    } else if (controlAs<Label>(model_, entry) && entry.spokenName != nullptr) {
        widget = new SpokenText(parent, entry.spokenName);
        bound_.push_back({&entry, widget, Label{}, std::nullopt});
    }
    if (widget == nullptr)
        return;
    widget->setObjectName(QString::fromLatin1(entry.name));
    if (entry.spokenName != nullptr)
        widget->setAccessibleName(QString::fromUtf8(entry.spokenName));
    update(bound_.back());
}

void ControlWidgets::connectReturnKeys() {
    for (const ReturnPress& keys : ReturnPresses) {
        const auto button = std::find_if(buttons_.begin(), buttons_.end(),
                                         [&](const auto& b) { return b.first == keys.button; });
        const auto press = [pressed = button->second] {
            if (pressed->isVisibleTo(pressed->window()))
                pressed->click();
        };
        for (const Box& box : boxes_) {
            if (box.member != keys.box)
                continue;
            if (box.editor != nullptr)
                box.editor->onApply = press;
            else
                QObject::connect(box.line, &QLineEdit::returnPressed, box.line, press);
        }
    }
}

void ControlWidgets::chainTabOrder() {
    std::vector<const Bound*> stops;
    for (const Bound& bound : bound_)
        if (bound.entry->tabIndex != NoTabStop && (bound.widget->focusPolicy() & Qt::TabFocus))
            stops.push_back(&bound);
    std::sort(stops.begin(), stops.end(), [](const Bound* a, const Bound* b) {
        return a->entry->tabIndex < b->entry->tabIndex;
    });
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1]->widget, stops[i]->widget);
}

QWidget* ControlWidgets::holder(Container container) const {
    for (const Bound& bound : bound_)
        if (const auto* frame = std::get_if<Frame ClockWindow::*>(&bound.entry->member);
            frame != nullptr && *frame == container)
            return bound.widget;
    return &window_;
}

void ControlWidgets::sync() {
    std::optional<PlatformError> refused;
    for (Bound& bound : bound_) {
        try {
            update(bound);
        } catch (const PlatformError& error) {
            refused = error;
        }
    }
    if (refused)
        throw *refused;
}

void ControlWidgets::update(Bound& bound) {
    QWidget* widget = bound.widget;
    const Container container = bound.entry->container;
    // The panel's members show with the panel.
    const auto showIf = [&](bool visible) {
        if (const bool shows = tamberlight::shows(model_, *bound.entry, visible);
            shows != bound.visible) {
            widget->setVisible(shows);
            bound.visible = shows;
        }
    };
    if (const Button* model = controlAs<Button>(model_, *bound.entry)) {
        showIf(model->visible);
        auto& shown = std::get<Button>(bound.shown);
        if (shown == *model)
            return;
        shown = *model;
        static_cast<QPushButton*>(widget)->setText(qtText(model->caption));
        enable(widget, model->enabled);
        place(widget, *model, container);
    } else if (const Frame* model = controlAs<Frame>(model_, *bound.entry)) {
        auto* box = static_cast<FrameBox*>(widget);
        box->syncLabels();
        showIf(model->visible);
        auto& shown = std::get<Frame>(bound.shown);
        if (shown == *model)
            return;
        shown = *model;
        box->setTitle(qtText(model->caption));
        place(widget, *model, container);
    } else if (const Label* model = controlAs<Label>(model_, *bound.entry)) {
        auto& shown = std::get<Label>(bound.shown);
        // Only a screen reader reads these: without one the clock text is not laid out twice a
        // tick. One that starts later reads the text from the next change on.
        if (shown == *model || !QAccessible::isActive())
            return;
        shown = *model;
        QString caption = qtText(model->caption);
        static_cast<QLineEdit*>(widget)->setText(
            caption.replace(QLatin1String("\r\n"), QLatin1String("\n")));
        widget->setVisible(model->visible);
        place(widget, *model, container);
    } else if (const TextBox* model = controlAs<TextBox>(model_, *bound.entry)) {
        auto& shown = std::get<ShownText>(bound.shown);
        if (shown.revision != model->revision()) {
            const QSignalBlocker quiet(widget);
            if (auto* editor = dynamic_cast<ScheduleEditor*>(widget))
                editor->setText(model->text());
            else
                static_cast<QLineEdit*>(widget)->setText(qtText(model->text()));
            shown.revision = model->revision();
        }
        if (shown.focusRequests != model->focusRequests()) {
            widget->setFocus(Qt::OtherFocusReason);
            shown.focusRequests = model->focusRequests();
        }
        showIf(model->visible);
        if (shown.enabled != model->enabled) {
            enable(widget, model->enabled);
            shown.enabled = model->enabled;
        }
        const std::array<float, 4> geometry{model->left, model->top, model->width, model->height};
        if (geometry == shown.geometry)
            return;
        shown.geometry = geometry;
        place(widget, *model, container);
    }
}

} // namespace tamberlight
