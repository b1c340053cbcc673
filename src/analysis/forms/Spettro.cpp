#include "analysis/forms/Spettro.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace q24 {

namespace {

constexpr int kPictureLeft = 16, kPictureTop = 16, kPictureWidth = 640, kPictureHeight = 264;
// A caption's left edge sits 100 twips (7 pixels) left of its grid line.
constexpr int kCaptionShift = 7;

// One vertical grid or cursor line across the picture; the mouse passes
// through it to the picture.
class VLine : public QWidget {
public:
    VLine(QColor colour, Qt::PenStyle style, QWidget* parent) : QWidget(parent), colour_(colour), style_(style) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedWidth(1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(colour_, 1, style_));
        p.drawLine(0, 0, 0, height() - 1);
    }

private:
    QColor colour_;
    Qt::PenStyle style_;
};

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

SpectrumPicture::SpectrumPicture(int width, int height, QWidget* parent)
    : QWidget(parent), canvas_(width, height, QImage::Format_RGB32) {
    setObjectName("Picture1");
    setFixedSize(width, height);
    setMouseTracking(true);
    canvas_.fill(Qt::white);
}

void SpectrumPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_);
}

void SpectrumPicture::mouseMoveEvent(QMouseEvent* event) { emit mouseMoved(event->position().x()); }

Spettro::Spettro(State& s, SpectrumSession& session, const Regional& regional, QWidget* parent)
    : QDialog(parent), s_(s), session_(session) {
    setObjectName("Spettro");
    setWindowTitle("SPECTRUM");
    setFixedSize(kPictureLeft + kPictureWidth + 180, kPictureTop + kPictureHeight + 60);

    auto* frame = new QWidget(this);  // the picture's border
    frame->setGeometry(kPictureLeft - 1, kPictureTop - 1, kPictureWidth + 2, kPictureHeight + 2);
    frame->setStyleSheet("background: #404040;");
    picture_ = new SpectrumPicture(kPictureWidth, kPictureHeight, this);
    picture_->move(kPictureLeft, kPictureTop);

    const double w = kPictureWidth;
    for (int k = 1; k <= 19; ++k) {
        auto* line = new VLine(k < 10 ? QColor(150, 150, 150) : QColor(190, 190, 190),
                               k < 10 ? Qt::SolidLine : Qt::DotLine, picture_);
        line->setObjectName(QString("Line%1").arg(k));
        line->setGeometry(static_cast<int>(GridLineX(k, w)), 0, 1, kPictureHeight);
    }
    cursor_ = new VLine(QColor(0, 160, 0), Qt::SolidLine, picture_);
    cursor_->setObjectName("Line20");
    cursor_->setGeometry(0, 0, 1, kPictureHeight);

    const int captionTop = kPictureTop + kPictureHeight + 6;
    for (int k = 1; k <= 9; ++k) {
        auto* l = MakeLabel(QString("Label%1").arg(4 + k),
                            QString::fromStdString(GridCaption(k, s_.Sampling_freq, regional)), this);
        l->adjustSize();
        l->move(kPictureLeft + static_cast<int>(GridLineX(k, w)) - kCaptionShift, captionTop);
    }
    auto* nyquist = MakeLabel("Label4", QString::fromStdString(NyquistCaption(s_.Sampling_freq, regional)), this);
    nyquist->adjustSize();
    nyquist->move(kPictureLeft + kPictureWidth - nyquist->width() / 2, captionTop);

    const int side = kPictureLeft + kPictureWidth + 24;
    MakeLabel("Label2", "Track Number", this)->setGeometry(side, kPictureTop, 140, 20);
    trace_ = MakeLabel("Label1", "1", this);
    trace_->setGeometry(side, kPictureTop + 24, 60, 24);
    trace_->setAlignment(Qt::AlignCenter);
    trace_->setFrameShape(QFrame::Box);
    auto* selector = new QScrollBar(Qt::Vertical, this);
    selector->setObjectName("VScroll1");
    selector->setRange(1, 96);
    selector->setValue(1);
    selector->setSingleStep(1);
    selector->setPageStep(10);
    selector->setGeometry(side + 68, kPictureTop + 20, 18, 90);
    connect(selector, &QScrollBar::valueChanged, this, [this](int v) { trace_->setText(QString::number(v)); });

    evaluate_ = new QPushButton("EVALUATE", this);
    evaluate_->setObjectName("Command1");
    evaluate_->setGeometry(side, kPictureTop + 124, 120, 32);
    connect(evaluate_, &QPushButton::clicked, this, &Spettro::evaluate);
    auto* exit = new QPushButton("EXIT", this);
    exit->setObjectName("Command2");
    exit->setGeometry(side, kPictureTop + 164, 120, 32);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);

    MakeLabel("Label15", "Frequency", this)->setGeometry(side, kPictureTop + 214, 120, 20);
    readout_ = MakeLabel("Label14", "", this);
    readout_->setGeometry(side, kPictureTop + 236, 80, 24);
    readout_->setFrameShape(QFrame::Box);
    readout_->setAlignment(Qt::AlignCenter);

    connect(picture_, &SpectrumPicture::mouseMoved, this, &Spettro::moveCursor);
}

void Spettro::evaluate() {
    evaluate_->setEnabled(false);
    // The computation takes a few milliseconds and does not yield; the
    // disabled button refuses a second start all the same.
    const int t = trace_->text().toInt();
    if (EvaluateSpectrum(s_, t, session_.transform) > 0) {
        QImage& canvas = picture_->canvas();
        const auto points = SpectrumCurve(s_.Spettro_amp, s_.N_samples, canvas.width(), canvas.height());
        const CurveRgb c = session_.colours.next();
        QPolygonF line;
        line.reserve(static_cast<int>(points.size()));
        for (const CurvePoint& p : points) line << QPointF(p.x, p.y);
        QPainter painter(&canvas);
        painter.setPen(QPen(QColor(c.r, c.g, c.b), 1));
        painter.drawPolyline(line);
        picture_->update();
    }
    evaluate_->setEnabled(true);
}

void Spettro::moveCursor(double x) {
    cursor_->move(static_cast<int>(x), 0);
    readout_->setText(QString::fromStdString(CursorReadout(s_.Sampling_freq, x, picture_->width())));
}

}  // namespace q24
