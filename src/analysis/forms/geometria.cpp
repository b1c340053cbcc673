#include "analysis/forms/geometria.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "analysis/forms/ShowGeometry.h"

namespace q24 {

namespace {

using L = GeometryLayout;
constexpr int kPx = geometria::kTwipsPerPixel;

int Px(int32_t twips) { return static_cast<int>(twips / kPx); }

// A geophone or the shot: a filled symbol of the given size in twips.
class Symbol : public QWidget {
public:
    enum Kind { Geophone, Shot };
    Symbol(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
        if (kind == Geophone)
            setFixedSize(Px(L::kGeophoneWidth), Px(L::kGeophoneHeight));
        else
            setFixedSize(Px(L::kShotWidth), Px(L::kShotHeight));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const double w = width(), h = height();
        if (kind_ == Geophone) {  // a green spike planted on the row's base line
            p.setBrush(QColor(0, 120, 0));
            p.drawPolygon(QPolygonF{{0, 0}, {w, 0}, {w / 2, h * 0.55}});
            p.drawRect(QRectF(w / 2 - 0.75, h * 0.5, 1.5, h * 0.5));
        } else {  // a red marker standing above the shot point
            p.setBrush(QColor(200, 0, 0));
            p.drawEllipse(QRectF(0, 0, w, w));
            p.drawRect(QRectF(w / 2 - 1, w / 2, 2, h - w / 2));
        }
    }

private:
    Kind kind_;
};

QLabel* MakeLabel(const char* name, const QString& text, QWidget* parent, const QRect& rect = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    if (rect.isValid())
        l->setGeometry(rect);
    else
        l->adjustSize();
    return l;
}

QLabel* MakeReadout(const char* name, QWidget* parent, const QRect& rect) {
    QLabel* l = MakeLabel(name, "", parent, rect);
    l->setFrameShape(QFrame::Box);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

geometria::geometria(State& s, const std::string& triggerName, char decimal, QWidget* parent)
    : QDialog(parent), view_(s, kWidthTwips, decimal), s_(s) {
    setObjectName("geometria");
    setWindowTitle("GEOMETRY");
    setFixedSize(Px(kWidthTwips), Px(kHeightTwips));
    setStyleSheet("QDialog#geometria { background: #f4f4f0; }");

    MakeLabel("Label7", "Shot to first receiver distance", this)->move(16, 18);
    const std::pair<const char*, const char*> buttons[] = {
        {"Command2", "<<"}, {"Command3", "<"}, {"Command4", ">"}, {"Command5", ">>"}};
    const SourceMove moves[] = {SourceMove::FiveBack, SourceMove::HalfBack, SourceMove::HalfForward,
                                SourceMove::FiveForward};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(buttons[i].second, this);
        b->setObjectName(buttons[i].first);
        b->setGeometry(250 + i * 50, 12, 44, 28);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, m = moves[i]] { move(m); });
    }

    MakeLabel("Label8", "TRIGGER UNIT", this, QRect(700, 10, 120, 20));
    auto* trg = MakeReadout("TRG_display", this, QRect(700, 32, 80, 24));
    trg->setText(QString::fromStdString(triggerName));

    MakeLabel("Label3", "Receivers spacing", this, QRect(16, 62, 130, 20));
    spacing_ = MakeReadout("Label1", this, QRect(148, 60, 50, 24));
    MakeLabel("Label2", "m", this, QRect(202, 62, 16, 20));
    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName("VScroll1");
    scroll_->setRange(1, 100);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(10);
    scroll_->setGeometry(222, 50, 18, 46);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int tenths) {
        view_.spacingChanged(tenths);
        showDrawing();
    });

    MakeLabel("Label6", "Shot to 1st receiver distance", this, QRect(290, 62, 200, 20));
    distance_ = MakeReadout("Label4", this, QRect(492, 60, 64, 24));
    MakeLabel("Label5", "m", this, QRect(560, 62, 16, 20));

    for (int row = 0; row < 2; ++row) {
        auto* line = new QFrame(this);
        line->setObjectName(row == 0 ? "Line1" : "Line2");
        line->setStyleSheet("background: #505050;");
        line->setGeometry(0, Px(L::kLineY[row]), width(), 1);
    }
    shapes_.assign(L::kMaxGeophones + 1, nullptr);
    numbers_.assign(L::kMaxGeophones + 1, nullptr);
    for (int k = 1; k <= L::kMaxGeophones; ++k) {
        shapes_[k] = new Symbol(Symbol::Geophone, this);
        shapes_[k]->setObjectName(QString("Shape%1").arg(k));
        numbers_[k] = new QLabel(QString::number(k), this);
        numbers_[k]->setObjectName(QString("geo%1").arg(k));
        QFont small = numbers_[k]->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        numbers_[k]->setFont(small);
        numbers_[k]->adjustSize();
    }
    shot_ = new Symbol(Symbol::Shot, this);
    shot_->setObjectName("shot");
    shotLabel_ = MakeLabel("shotLabel", "SHOT", this);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setGeometry(width() - 110, height() - 44, 90, 30);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    view_.draw();
    showDrawing();
}

void geometria::showDrawing() {
    {
        const QSignalBlocker quiet(scroll_);
        scroll_->setValue(view_.scroll());
    }
    spacing_->setText(QString::fromStdString(view_.spacingText()));
    const int n = view_.shown();
    for (int k = 1; k <= L::kMaxGeophones; ++k) {
        const bool on = k <= n;
        shapes_[k]->setVisible(on);
        numbers_[k]->setVisible(on);
        if (!on) continue;
        const int x = Px(view_.geophoneLeft(k));
        shapes_[k]->move(x, Px(view_.geophoneTop(k)));
        // The number stands centred under its symbol.
        numbers_[k]->move(x + (shapes_[k]->width() - numbers_[k]->width()) / 2, Px(view_.numberTop(k)));
    }
    showShot();
}

void geometria::showShot() {
    const int x = Px(s_.Shot_x);
    shot_->move(x, Px(view_.shotTop()));
    shotLabel_->move(x - shotLabel_->width() / 2, Px(view_.shotLabelTop()));
    shot_->raise();
    distance_->setText(QString::fromStdString(view_.distanceText()));
}

void geometria::move(SourceMove m) {
    view_.move(m);
    showShot();
}

void ShowGeometry(State& s, const std::string& triggerName, char decimal, QWidget* parent) {
    geometria dialog(s, triggerName, decimal, parent);
    dialog.exec();
}

}  // namespace q24
