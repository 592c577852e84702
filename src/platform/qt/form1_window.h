#pragma once

#include "app/form1.h"
#include "platform/qt/drawing.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tamberlight {

class FrameBox;

// Shows Form1: buttons, text boxes and frames as Qt widgets, labels, lines, the circle and the
// pictures painted on the window in their stacking order. Every event runs its handler through
// run(), which then brings the widgets up to date and repaints only what changed.
class Form1Window : public QWidget {
    Q_OBJECT
public:
    explicit Form1Window(Form1& form);
    ~Form1Window() override;

    // Runs Form_Load and places the window as the settings say. Call once, before show().
    void load();

    // A failing handler ends with one line on standard error; the state it reached stays and
    // the window goes on.
    void run(const char* name, const std::function<void()>& handler);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Target { Form, Image1, Inert };

    // What the window last painted of each drawn control, to tell what changed.
    struct Drawn {
        Image image1;
        Shape shape1;
        Line line1, line2;
        Label label1;
        std::array<Line, 12> marks;
        Label label2;
        bool operator==(const Drawn&) const = default;
    };

    void buildWidgets();
    void sync();
    void syncDrawn();
    void syncTimer();
    void recordPlacement();
    void applyPlacement();
    void placeFrame();
    void frameMayHaveArrived();
    static bool positionIsOurs();
    Target hitTest(QPointF point) const;
    const QPixmap& backLayer();

    Form1& form_;
    // Command1 .. Command9 at their own numbers.
    std::array<CommandButton*, 10> commandModels_{};
    std::array<QPushButton*, 10> commands_{};
    QPlainTextEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLineEdit* text3_ = nullptr;
    FrameBox* frame1_ = nullptr;
    FrameBox* frame2_ = nullptr;
    QTimer timer_;

    Drawn drawn_;
    std::array<CommandButton, 10> shownButtons_{};
    std::array<Frame, 2> shownFrames_{};
    struct ShownText {
        float left = -1, top = -1, width = -1, height = -1;
        bool visible = false;
        std::uint64_t revision = ~0ULL;
    };
    std::array<ShownText, 3> shownTexts_{};
    std::uint64_t shownFocus_ = 0;
    std::int32_t shownInterval_ = -1;
    bool shownEnabled_ = false;
    std::array<float, 4> shownPlacement_{};
    QRect wantedFrame_;
    bool awaitingFrame_ = false;
    std::optional<Target> pressed_;

    CaptionPainter clockText_;
    // What lies behind the hands (the background, the picture and the circle) changes only with
    // the layout or the colour, so it is drawn once into a pixmap of the device's pixels.
    struct BackKey {
        Image image1;
        Shape shape1;
        Colour background = 0;
        QSize size;
        qreal ratio = 0;
        bool operator==(const BackKey&) const = default;
    };
    std::optional<BackKey> backKey_;
    QPixmap backLayer_;
};

} // namespace tamberlight
