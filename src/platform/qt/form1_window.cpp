#include "platform/qt/form1_window.h"

#include "platform/qt/drawing.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_services.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

namespace tamberlight {

namespace {

QRect pixelRect(float left, float top, float width, float height, float scale) {
    return QRectF(left / scale, top / scale, width / scale, height / scale).toRect();
}

// The schedule box shows CR LF as a line break; a lone CR or LF stays a character of its line,
// shown by its control picture, so that what the user did not touch comes back unchanged.
constexpr char16_t ShownCr = u'\u240D';
constexpr char16_t ShownLf = u'\u240A';

QString scheduleForDisplay(const std::string& text) {
    QString shown = qtText(text);
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
    return out;
}

std::string scheduleFromDisplay(const QString& raw) {
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

} // namespace

// A frame paints the labels it holds and takes the clicks on its own surface, so that they
// never reach the window; a click on a clickable label runs that label's handler.
class FrameBox : public QGroupBox {
public:
    // The style draws the title; the border is drawn here: the Fusion style draws it from a
    // picture, whose loading brings in every image format plugin during the first frame.
    void paintFrame(QPainter& painter) {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        option.subControls &= ~QStyle::SC_GroupBoxFrame;
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
        const QRect frame =
            style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(palette().color(QPalette::Window).darker(140));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter.restore();
    }

    FrameBox(QWidget* parent, std::vector<const Label*> labels)
        : QGroupBox(parent) {
        for (const Label* label : labels)
            labels_.push_back({label, qtFont(label->FontOf), *label});
    }

    std::function<void()> onLabelClick;
    const Label* clickable = nullptr;

    void syncLabels() {
        QRegion dirty;
        for (Shown& shown : labels_) {
            if (shown.last == *shown.model)
                continue;
            dirty += labelRegion(shown.last, TwipsPerPixel);
            dirty += labelRegion(*shown.model, TwipsPerPixel);
            shown.last = *shown.model;
        }
        if (!dirty.isEmpty())
            update(dirty);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintFrame(painter);
        painter.setRenderHint(QPainter::TextAntialiasing);
        for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) {
            const Label& label = *it->model;
            paintLabel(painter, label, labelRect(label, TwipsPerPixel), it->font,
                       palette().color(backgroundRole()));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        pressedOnLabel_ = event->button() == Qt::LeftButton && onLabel(event->position());
        event->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        pressedOnLabel_ = false;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (pressedOnLabel_ && event->button() == Qt::LeftButton && onLabel(event->position()) &&
            onLabelClick)
            onLabelClick();
        pressedOnLabel_ = false;
    }

private:
    bool onLabel(QPointF point) const {
        return clickable != nullptr && clickable->Visible &&
               labelRect(*clickable, TwipsPerPixel).contains(point);
    }

    struct Shown {
        const Label* model;
        QFont font;
        Label last;
    };
    std::vector<Shown> labels_;
    bool pressedOnLabel_ = false;
};

Form1Window::Form1Window(Form1& form)
    : form_(form)
    , commandModels_{nullptr,        &form.Command1, &form.Command2, &form.Command3, &form.Command4,
                     &form.Command5, &form.Command6, &form.Command7, &form.Command8, &form.Command9}
    , clockText_(qtFont(form.Label1.FontOf)) {
    setWindowTitle(qtText(form_.Caption));
    setFont(qtFont(std::nullopt));
    QPalette background = palette();
    background.setColor(QPalette::Window, qtColour(form_.BackColor));
    setPalette(background);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(100, 100);
    resize(static_cast<int>(form_.ScaleWidth), static_cast<int>(form_.ScaleHeight));
    buildWidgets();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this,
            [this] { run("Timer1_Timer", [this] { form_.Timer1_Timer(); }); });
    drawn_ = Drawn{form_.Image1, form_.Shape1, form_.Line1, form_.Line2,
                   form_.Label1, form_.Line3,  form_.Label2};
    // The window is created at its design size; only a placement that a handler sets later
    // (the saved one) is applied to it.
    shownPlacement_ = {form_.Left, form_.Top, form_.Width, form_.Height};
    sync();
}

Form1Window::~Form1Window() {
    (void)form_.Text1.Text(); // the window's editor goes; the model keeps what it held
}

void Form1Window::buildWidgets() {
    frame2_ = new FrameBox(this, {&form_.Label6, &form_.Label5, &form_.Label4});
    frame1_ = new FrameBox(this, {&form_.Label3});
    frame1_->clickable = &form_.Label3;
    frame1_->onLabelClick = [this] { run("Label3_Click", [this] { form_.Label3_Click(); }); };
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame2_->setObjectName(QStringLiteral("Frame2"));
    QPalette white = frame1_->palette();
    white.setColor(QPalette::Window, qtColour(*form_.Frame1.BackColor));
    frame1_->setPalette(white);
    // Frames are opaque: the dial does not show through them.
    frame1_->setAutoFillBackground(true);
    frame2_->setAutoFillBackground(true);

    using Handler = void (*)(Form1&);
    const std::array<Handler, 10> handlers = {nullptr,
                                              [](Form1& f) { f.Command1_Click(); },
                                              [](Form1& f) { f.Command2_Click(); },
                                              [](Form1& f) { f.Command3_Click(); },
                                              [](Form1& f) { f.Command4_Click(); },
                                              [](Form1& f) { f.Command5_Click(); },
                                              [](Form1& f) { f.Command6_Click(); },
                                              [](Form1& f) { f.Command7_Click(); },
                                              [](Form1& f) { f.Command8_Click(); },
                                              [](Form1& f) { f.Command9_Click(); }};
    for (std::size_t i = 1; i < commands_.size(); ++i) {
        const bool inFrame2 = i == 4 || i == 8;
        auto* button = new QPushButton(inFrame2 ? static_cast<QWidget*>(frame2_) : this);
        const QString name = QStringLiteral("Command%1").arg(i);
        button->setObjectName(name);
        button->setFont(qtFont(commandModels_[i]->FontOf));
        button->setAutoDefault(false);
        const Handler handler = handlers[i];
        connect(button, &QPushButton::clicked, this,
                [this, handler, handlerName = name.toStdString() + "_Click"] {
                    run(handlerName.c_str(), [this, handler] { handler(form_); });
                });
        commands_[i] = button;
    }

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text1_->setTabChangesFocus(false);
    QPalette grey = text1_->palette();
    grey.setColor(QPalette::Base, qtColour(*form_.Text1.BackColor));
    text1_->setPalette(grey);
    connect(text1_, &QPlainTextEdit::textChanged, this, [this] {
        if (text1_->signalsBlocked())
            return;
        run("Text1_Change", [this] {
            form_.Text1.setEdited(
                [box = text1_] { return scheduleFromDisplay(box->document()->toRawText()); });
            shownTexts_[0].revision = form_.Text1.revision();
        });
    });

    text2_ = new QLineEdit(frame2_);
    text2_->setObjectName(QStringLiteral("Text2"));
    text3_ = new QLineEdit(frame2_);
    text3_->setObjectName(QStringLiteral("Text3"));
    const std::array<std::pair<QLineEdit*, TextBox*>, 2> lines = {std::pair{text2_, &form_.Text2},
                                                                  std::pair{text3_, &form_.Text3}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto [edit, model] = lines[i];
        edit->setFont(qtFont(std::nullopt));
        connect(edit, &QLineEdit::textEdited, this, [this, model, i](const QString& text) {
            model->setText(text.toStdString());
            shownTexts_[i + 1].revision = model->revision();
        });
    }

    // The keyboard order follows the window's tab indexes.
    const std::vector<QWidget*> order = {text1_,       commands_[1], commands_[2], commands_[3],
                                         commands_[5], commands_[6], commands_[7], text2_,
                                         commands_[8], text3_,       commands_[4], commands_[9]};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    text1_->setFocus();
}

void Form1Window::load() {
    recordPlacement();
    run("Form_Load", [this] { form_.Form_Load(); });
}

void Form1Window::run(const char* name, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        std::cerr << "tamberlight: " << name << ": " << error.what() << '\n';
    } catch (...) {
        std::cerr << "tamberlight: " << name << ": unknown failure\n";
    }
    sync();
}

void Form1Window::sync() {
    for (std::size_t i = 1; i < commands_.size(); ++i) {
        const CommandButton& model = *commandModels_[i];
        CommandButton& shown = shownButtons_[i];
        if (shown == model)
            continue;
        const bool inFrame = i == 4 || i == 8;
        QPushButton* button = commands_[i];
        button->setGeometry(pixelRect(model.Left, model.Top, model.Width, model.Height,
                                      inFrame ? TwipsPerPixel : 1.0F));
        button->setText(qtText(model.Caption));
        button->setVisible(model.Visible);
        shown = model;
    }

    const std::array<std::pair<FrameBox*, const Frame*>, 2> frames = {
        std::pair{frame1_, &form_.Frame1}, std::pair{frame2_, &form_.Frame2}};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        auto [box, model] = frames[i];
        if (shownFrames_[i] == *model)
            continue;
        box->setGeometry(pixelRect(model->Left, model->Top, model->Width, model->Height, 1.0F));
        box->setTitle(qtText(model->Caption));
        box->setFont(qtFont(model->FontOf));
        box->setVisible(model->Visible);
        shownFrames_[i] = *model;
    }
    frame1_->syncLabels();

    const std::array<std::tuple<QWidget*, const TextBox*, float>, 3> texts = {
        std::tuple{static_cast<QWidget*>(text1_), &form_.Text1, 1.0F},
        std::tuple{static_cast<QWidget*>(text2_), &form_.Text2, TwipsPerPixel},
        std::tuple{static_cast<QWidget*>(text3_), &form_.Text3, TwipsPerPixel}};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto [widget, model, scale] = texts[i];
        ShownText& shown = shownTexts_[i];
        if (shown.left != model->Left || shown.top != model->Top || shown.width != model->Width ||
            shown.height != model->Height) {
            widget->setGeometry(
                pixelRect(model->Left, model->Top, model->Width, model->Height, scale));
            shown.left = model->Left;
            shown.top = model->Top;
            shown.width = model->Width;
            shown.height = model->Height;
        }
        if (shown.visible != model->Visible) {
            widget->setVisible(model->Visible);
            shown.visible = model->Visible;
        }
        if (shown.revision != model->revision()) {
            const QSignalBlocker quiet(widget);
            if (i == 0)
                text1_->setPlainText(scheduleForDisplay(model->Text()));
            else
                static_cast<QLineEdit*>(widget)->setText(qtText(model->Text()));
            shown.revision = model->revision();
        }
    }
    if (shownFocus_ != form_.Text1.focusRequests()) {
        text1_->setFocus(Qt::OtherFocusReason);
        shownFocus_ = form_.Text1.focusRequests();
    }

    syncDrawn();
    syncTimer();
    applyPlacement();
}

void Form1Window::syncDrawn() {
    const Drawn now{form_.Image1, form_.Shape1, form_.Line1, form_.Line2,
                    form_.Label1, form_.Line3,  form_.Label2};
    if (now == drawn_)
        return;
    QRegion dirty;
    if (!(now.image1 == drawn_.image1))
        dirty += imageRegion(drawn_.image1) + imageRegion(now.image1);
    if (!(now.shape1 == drawn_.shape1))
        dirty += shapeRegion(drawn_.shape1) + shapeRegion(now.shape1);
    const std::array<std::pair<const Line*, const Line*>, 2> hands = {
        std::pair{&drawn_.line1, &now.line1}, std::pair{&drawn_.line2, &now.line2}};
    for (auto [before, after] : hands)
        if (!(*before == *after))
            dirty += lineRegion(*before) + lineRegion(*after);
    for (std::size_t i = 0; i < now.marks.size(); ++i)
        if (!(now.marks[i] == drawn_.marks[i]))
            dirty += lineRegion(drawn_.marks[i]) + lineRegion(now.marks[i]);
    const std::array<std::pair<const Label*, const Label*>, 2> labels = {
        std::pair{&drawn_.label1, &now.label1}, std::pair{&drawn_.label2, &now.label2}};
    for (auto [before, after] : labels)
        if (!(*before == *after))
            dirty += clockText_.region(*before, labelRect(*before, 1.0F)) +
                     clockText_.region(*after, labelRect(*after, 1.0F));
    // What changed beneath an opaque control does not show; the edges are kept for the rounded
    // corners some styles give buttons.
    const QRect changed = dirty.boundingRect();
    for (const QObject* object : children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child != nullptr && child->isVisible() && child->geometry().intersects(changed))
            dirty -= child->geometry().adjusted(2, 2, -2, -2);
    }
    drawn_ = now;
    if (!dirty.isEmpty())
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

void Form1Window::recordPlacement() {
    // A minimised or maximised window keeps the normal placement it had.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QRect frame = frameGeometry();
    // A compositor places the windows of a Wayland client itself: the position in the settings
    // is kept as it was rather than overwritten with one that means nothing.
    if (!positionIsOurs()) {
        form_.Width = static_cast<float>(frame.width()) * TwipsPerPixel;
        form_.Height = static_cast<float>(frame.height()) * TwipsPerPixel;
    } else {
        form_.Left = static_cast<float>(frame.x()) * TwipsPerPixel;
        form_.Top = static_cast<float>(frame.y()) * TwipsPerPixel;
        form_.Width = static_cast<float>(frame.width()) * TwipsPerPixel;
        form_.Height = static_cast<float>(frame.height()) * TwipsPerPixel;
    }
    shownPlacement_ = {form_.Left, form_.Top, form_.Width, form_.Height};
}

bool Form1Window::positionIsOurs() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The placement a handler gave the window (the saved one, at start-up): the outer frame in
// twips, kept on a screen and no smaller than the window can be.
void Form1Window::applyPlacement() {
    const std::array<float, 4> wanted = {form_.Left, form_.Top, form_.Width, form_.Height};
    if (wanted == shownPlacement_)
        return;
    shownPlacement_ = wanted;
    // A damaged file may hold any number; no screen is a million pixels across.
    const auto pixels = [](float twips) {
        return static_cast<int>(std::clamp(std::round(twips / TwipsPerPixel), -1e6F, 1e6F));
    };
    wantedFrame_ =
        QRect(pixels(form_.Left), pixels(form_.Top), pixels(form_.Width), pixels(form_.Height));
    placeFrame();
    // Before the window manager has framed the window its frame is not known: the size is
    // set again once it is, so that a restart does not grow the window by its frame.
    awaitingFrame_ = !isVisible();
}

void Form1Window::placeFrame() {
    const QSize margins = frameGeometry().size() - size();
    QRect target = wantedFrame_;
    QSize client = (target.size() - margins).expandedTo(minimumSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        client =
            client.boundedTo(screen->availableVirtualSize() - margins).expandedTo(minimumSize());
    target.setSize(client + margins);
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(target);
    if (!onScreen && QGuiApplication::primaryScreen() != nullptr)
        target.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    if (positionIsOurs())
        move(target.topLeft());
    resize(client);
}

void Form1Window::frameMayHaveArrived() {
    if (!awaitingFrame_ || frameGeometry().size() == size())
        return;
    awaitingFrame_ = false;
    placeFrame();
}

Form1Window::Target Form1Window::hitTest(QPointF point) const {
    // Front to back; the circle, the hands and the marks take no clicks.
    const auto inside = [point](float left, float top, float width, float height) {
        return QRectF(left, top, width, height).contains(point);
    };
    const auto onLabel = [&](const Label& label) {
        return label.Visible && inside(label.Left, label.Top, label.Width, label.Height);
    };
    const auto onImage = [&](const Image& image) {
        return image.Visible && inside(image.Left, image.Top, image.Width, image.Height);
    };
    if (onLabel(form_.Label2))
        return Target::Inert;
    for (const Image* image : {&form_.Image5, &form_.Image4, &form_.Image3, &form_.Image2})
        if (onImage(*image))
            return Target::Inert;
    if (onLabel(form_.Label1))
        return Target::Inert;
    if (onImage(form_.Image1))
        return Target::Image1;
    return Target::Form;
}

void Form1Window::mousePressEvent(QMouseEvent* event) {
    pressed_.reset();
    if (event->button() == Qt::LeftButton)
        pressed_ = hitTest(event->position());
}

// The second press of a double click is no click of its own.
void Form1Window::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_.reset();
    event->accept();
}

void Form1Window::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    const Target target = hitTest(event->position());
    const bool same = target == *pressed_;
    pressed_.reset();
    if (!same)
        return;
    if (target == Target::Form)
        run("Form_Click", [this] { form_.Form_Click(); });
    else if (target == Target::Image1)
        run("Image1_Click", [this] { form_.Image1_Click(); });
}

void Form1Window::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    frameMayHaveArrived();
    recordPlacement();
    form_.ScaleWidth = static_cast<float>(width());
    form_.ScaleHeight = static_cast<float>(height());
    run("Form_Resize", [this] { form_.Form_Resize(); });
}

void Form1Window::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    frameMayHaveArrived();
    recordPlacement();
}

void Form1Window::closeEvent(QCloseEvent* event) {
    recordPlacement();
    run("Form_Unload", [this] { form_.Form_Unload(); });
    event->accept();
}

const QPixmap& Form1Window::backLayer() {
    const BackKey key{form_.Image1, form_.Shape1, form_.BackColor, size(), devicePixelRatioF()};
    if (backKey_ == key)
        return backLayer_;
    backLayer_ = QPixmap((QSizeF(key.size) * key.ratio).toSize());
    backLayer_.setDevicePixelRatio(key.ratio);
    backLayer_.fill(qtColour(key.background));
    QPainter painter(&backLayer_);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const Image& image = key.image1;
    if (const auto* picture = dynamic_cast<const QtPicture*>(image.Picture.get());
        picture != nullptr && image.Visible)
        painter.drawImage(QRectF(image.Left, image.Top, image.Width, image.Height),
                          picture->image());
    paintShape(painter, key.shape1);
    backKey_ = key;
    return backLayer_;
}

void Form1Window::paintEvent(QPaintEvent* event) {
    // A Wayland client draws its own frame: it is known by the first paint, and no move or
    // resize follows it there.
    if (awaitingFrame_ && frameGeometry().size() != size())
        QMetaObject::invokeMethod(
            this, [this] { frameMayHaveArrived(); }, Qt::QueuedConnection);
    QPainter painter(this);
    const QRegion& region = event->region();
    const QPixmap& back = backLayer();
    const qreal ratio = back.devicePixelRatio();
    // Rectangle by rectangle: small copies, where one copy of the bounding rectangle could be
    // most of the window.
    for (const QRect& r : region)
        painter.drawPixmap(QRectF(r), back,
                           QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // In front of the back layer, back to front; what lies outside the repainted region is
    // skipped.
    const auto inRegion = [&region](const QRectF& bounds) {
        return region.intersects(bounds.toAlignedRect());
    };
    for (const Line* hand : {&form_.Line1, &form_.Line2})
        if (inRegion(lineBounds(*hand)))
            paintLine(painter, *hand);
    const QRectF label1 = labelRect(form_.Label1, 1.0F);
    if (inRegion(label1))
        clockText_.paint(painter, form_.Label1, label1);
    for (const Line& mark : form_.Line3)
        if (inRegion(lineBounds(mark)))
            paintLine(painter, mark);
    const QRectF label2 = labelRect(form_.Label2, 1.0F);
    if (inRegion(label2))
        clockText_.paint(painter, form_.Label2, label2);
}

} // namespace tamberlight
