#include "refraction/forms/Plots.h"

#include <algorithm>
#include <cmath>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

namespace q24::refraction {

namespace {

constexpr int kLeft = 50, kTop = 24, kRight = 12, kBottom = 30;

QColor shotColour(int shot) { return QColor::fromHsv((shot * 67) % 360, 200, 200); }

// A round step for axis labels covering `span` in about `count` steps.
double niceStep(double span, int count) {
    const double raw = span / std::max(1, count), p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * p) return m * p;
    return 10 * p;
}

// Plot area and the mapping of data ranges into it.
struct Frame {
    QRect area;
    double x0, x1, y0, y1;  // data ranges (y grows downwards on screen)
    double px(double x) const { return area.left() + (x - x0) / (x1 - x0) * area.width(); }
    double py(double y) const { return area.top() + (y - y0) / (y1 - y0) * area.height(); }
    void axes(QPainter& p, const QString& xLabel, const QString& yLabel) const {
        p.setPen(Qt::black);
        p.drawRect(area);
        const double sx = niceStep(x1 - x0, 8), sy = niceStep(std::fabs(y1 - y0), 6);
        for (double x = std::ceil(x0 / sx) * sx; x <= x1 && !xLabel.isEmpty(); x += sx)
            p.drawText(QPointF(px(x) - 12, area.bottom() + 14), QString::number(x));
        const double ylo = std::min(y0, y1), yhi = std::max(y0, y1);
        for (double y = std::ceil(ylo / sy) * sy; y <= yhi; y += sy)
            p.drawText(QPointF(4, py(y) + 4), QString::number(y));
        p.drawText(QPointF(area.center().x() - 30, area.bottom() + 27), xLabel);
        p.drawText(QPointF(4, area.top() - 8), yLabel);
    }
};

}  // namespace

TraceView::TraceView(PickSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(400, 300);
}

const Shot* TraceView::current() const {
    return shot_ >= 0 && shot_ < session_.shotCount() ? &session_.project().shots[static_cast<std::size_t>(shot_)]
                                                      : nullptr;
}

double TraceView::startTime() const {
    const Shot* s = current();
    return s ? std::min(0.0, s->delay) : 0.0;
}

void TraceView::show(int shot) {
    shot_ = shot;
    setView(view_);
}

void TraceView::setView(const ViewSettings& settings) {
    view_ = settings;
    shown_.clear();
    if (const Shot* s = current())
        for (const auto& t : s->traces) shown_.push_back(ForView(t, s->interval, view_));
    update();
}

void TraceView::setMaxTime(double seconds) {
    maxTime_ = std::clamp(seconds, 0.005, 10.0);
    update();
}

int TraceView::xOf(int trace) const {
    const int n = std::max<int>(1, static_cast<int>(shown_.size()));
    return kLeft + static_cast<int>((trace + 0.5) * (width() - kLeft - kRight) / n);
}

int TraceView::traceAt(int x) const {
    const int n = static_cast<int>(shown_.size());
    if (n == 0 || x < kLeft || x >= width() - kRight) return -1;
    return std::clamp((x - kLeft) * n / std::max(1, width() - kLeft - kRight), 0, n - 1);
}

double TraceView::timeAt(int y) const {
    return startTime() +
           static_cast<double>(y - kTop) / std::max(1, height() - kTop - kBottom) * (maxTime_ - startTime());
}

int TraceView::yOf(double time) const {
    return kTop + static_cast<int>((time - startTime()) / (maxTime_ - startTime()) * (height() - kTop - kBottom));
}

void TraceView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const Shot* s = current();
    if (!s) return;
    const int n = static_cast<int>(shown_.size());
    const double column = static_cast<double>(width() - kLeft - kRight) / std::max(1, n);
    Frame f{QRect(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom), 0, 1, startTime() * 1e3,
            maxTime_ * 1e3};
    f.axes(p, "", "ms");
    p.setClipRect(f.area);
    for (int t = 0; t < n; ++t) {
        const auto& v = shown_[static_cast<std::size_t>(t)];
        const double centre = xOf(t), half = column / 2;
        QPainterPath line;
        for (std::size_t j = 0; j < v.size(); ++j) {
            const double time = s->timeOf(static_cast<double>(j));
            if (time > maxTime_) break;
            const double x = centre + std::clamp(static_cast<double>(v[j]), -1.5, 1.5) * half, y = yOf(time);
            if (j == 0) line.moveTo(x, y);
            else line.lineTo(x, y);
            if (v[j] > 0) p.fillRect(QRectF(centre, y, x - centre, 1), QColor(90, 90, 90));
        }
        p.setPen(QPen(Qt::black, 0));
        p.drawPath(line);
        const TracePick& pick = session_.picks(shot_)[static_cast<std::size_t>(t)];
        if (pick.valid()) {
            p.setPen(QPen(pick.flag == PickFlag::Manual ? Qt::blue : Qt::red, 2));
            p.drawLine(QPointF(centre - half * 0.9, yOf(pick.time)), QPointF(centre + half * 0.9, yOf(pick.time)));
        }
    }
    p.setClipping(false);
    p.setPen(Qt::black);
    for (int t = 0; t < n; t += std::max(1, n / 12))
        p.drawText(QPointF(xOf(t) - 10, 14), QString::number(s->receivers[static_cast<std::size_t>(t)]));
}

void TraceView::mousePressEvent(QMouseEvent* e) {
    const int trace = traceAt(static_cast<int>(e->position().x()));
    if (e->button() != Qt::LeftButton || trace < 0) return;
    session_.setPick(shot_, trace, timeAt(static_cast<int>(e->position().y())));
    update();
    if (changed) changed();
}

void TraceView::mouseMoveEvent(QMouseEvent* e) { hover_ = traceAt(static_cast<int>(e->position().x())); }

void TraceView::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) && hover_ >= 0) {
        session_.deletePick(shot_, hover_);
        update();
        if (changed) changed();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TraceView::wheelEvent(QWheelEvent* e) { setMaxTime(maxTime_ * (e->angleDelta().y() > 0 ? 0.8 : 1.25)); }

TravelTimePlot::TravelTimePlot(PickSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setMinimumSize(400, 300);
    setFocusPolicy(Qt::StrongFocus);
}

TravelTimePlot::Ranges TravelTimePlot::ranges() const {
    Ranges r;
    bool first = true;
    for (const Shot& shot : session_.project().shots) {
        std::vector<double> xs = shot.receivers;
        xs.push_back(shot.source);
        for (double x : xs) {
            r.x0 = first ? x : std::min(r.x0, x);
            r.x1 = first ? x : std::max(r.x1, x);
            first = false;
        }
    }
    for (int s = 0; s < session_.shotCount(); ++s)
        for (const TracePick& k : session_.picks(s))
            if (k.valid()) r.t1 = std::max(r.t1, k.time);
    if (r.x1 <= r.x0) r.x1 = r.x0 + 1;
    r.t1 *= 1.1;
    return r;
}

QPointF TravelTimePlot::pointOf(double x, double time) const {
    const Ranges r = ranges();
    const Frame f{QRect(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom), r.x0, r.x1, r.t1 * 1e3, 0};
    return {f.px(x), f.py(time * 1e3)};
}

void TravelTimePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (session_.shotCount() == 0) return;
    const Ranges r = ranges();
    const Frame f{QRect(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom), r.x0, r.x1, r.t1 * 1e3, 0};
    f.axes(p, "position (m)", "ms");
    p.setRenderHint(QPainter::Antialiasing);
    // The model's straight lines, one colour a layer: the fit's proposal.
    const QColor layerColour[] = {QColor(0, 120, 220), QColor(230, 120, 0), QColor(0, 160, 60)};
    if (model_)
        for (const BranchFit& fit : model_->fits)
            for (std::size_t k = 0; k < fit.segments.size(); ++k) {
                const Segment& seg = fit.segments[k];
                const double o0 = k == 0 ? 0 : fit.branch.offset(static_cast<std::size_t>(seg.first));
                const double o1 = fit.branch.offset(static_cast<std::size_t>(seg.last));
                p.setPen(QPen(layerColour[k % 3], 3, Qt::SolidLine, Qt::RoundCap));
                p.setOpacity(0.35);
                p.drawLine(QPointF(f.px(fit.branch.source + o0 * fit.branch.direction),
                                   f.py((seg.intercept + seg.slowness * o0) * 1e3)),
                           QPointF(f.px(fit.branch.source + o1 * fit.branch.direction),
                                   f.py((seg.intercept + seg.slowness * o1) * 1e3)));
                p.setOpacity(1);
            }
    for (int s = 0; s < session_.shotCount(); ++s) {
        const Shot& shot = session_.project().shots[static_cast<std::size_t>(s)];
        p.setPen(QPen(shotColour(s), 1.5));
        p.setBrush(shotColour(s));
        p.drawEllipse(QPointF(f.px(shot.source), f.py(0)), 4, 4);
        QPointF last;
        bool have = false;
        for (std::size_t t = 0; t < shot.receivers.size(); ++t) {
            const TracePick& k = session_.picks(s)[t];
            if (!k.valid()) {
                have = false;
                continue;
            }
            const QPointF here(f.px(shot.receivers[t]), f.py(k.time * 1e3));
            p.setPen(QPen(shotColour(s), 1.5));
            p.setBrush(shotColour(s));
            p.drawEllipse(here, 2, 2);
            if (have && (shot.receivers[t] - shot.source) * (shot.receivers[t - 1] - shot.source) > 0)
                p.drawLine(last, here);
            last = here;
            have = true;
            // A layer given by hand: its number beside the pick.
            if (const int given = session_.layerGiven(s, static_cast<int>(t))) {
                p.setPen(layerColour[given - 1]);
                p.drawText(here + QPointF(3, -3), QString::number(given));
            }
        }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.5));
    for (const PickRef& k : selected_)
        if (k.shot < session_.shotCount()) {
            const Shot& shot = session_.project().shots[static_cast<std::size_t>(k.shot)];
            const TracePick& pick = session_.picks(k.shot)[static_cast<std::size_t>(k.trace)];
            if (pick.valid())
                p.drawEllipse(QPointF(f.px(shot.receivers[static_cast<std::size_t>(k.trace)]), f.py(pick.time * 1e3)),
                              5, 5);
        }
    if (dragging_) {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(QRect(pressed_, dragged_).normalized());
    }
    p.setPen(Qt::black);
    p.drawText(QPointF(kLeft + 8, kTop + 14),
               "wide lines: the fitted layers (blue 1, orange 2, green 3); click or drag a box to select picks, "
               "then 1, 2, 3 gives them that layer, 0 back to the fit's");
}

void TravelTimePlot::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pressed_ = dragged_ = e->position().toPoint();
    dragging_ = true;
}

void TravelTimePlot::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    dragged_ = e->position().toPoint();
    update();
}

void TravelTimePlot::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragging_ || e->button() != Qt::LeftButton) return;
    dragging_ = false;
    // A click is a box of a few pixels around it.
    QRect box = QRect(pressed_, e->position().toPoint()).normalized();
    if (box.width() < 6 && box.height() < 6) box = QRect(pressed_ - QPoint(6, 6), QSize(13, 13));
    const Ranges r = ranges();
    const Frame f{QRect(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom), r.x0, r.x1, r.t1 * 1e3, 0};
    auto xAt = [&](int px) { return f.x0 + (px - f.area.left()) * (f.x1 - f.x0) / std::max(1, f.area.width()); };
    auto tAt = [&](int py) {
        return (f.y0 + (py - f.area.top()) * (f.y1 - f.y0) / std::max(1, f.area.height())) / 1e3;
    };
    selected_ = session_.picksWithin(xAt(box.left()), xAt(box.right()), tAt(box.bottom()), tAt(box.top()));
    update();
}

void TravelTimePlot::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_3 && !selected_.empty()) {
        session_.assignLayer(selected_, key - Qt::Key_0);
        if (changed) changed();
        update();
        return;
    }
    QWidget::keyPressEvent(e);
}

ModelPlot::ModelPlot(const PickSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setMinimumSize(400, 300);
}

void ModelPlot::setLayers(int layers) {
    layers_ = layers;
    refresh();
}

void ModelPlot::refresh() {
    model_ = Interpret(session_.table(), layers_, session_.assignment());
    update();
}

void ModelPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int notesHeight = 16 * static_cast<int>(model_.notes.size() + 1);
    double x0 = 0, x1 = 1, z1 = 1;
    bool first = true;
    auto extend = [&](double x, double z) {
        x0 = first ? x : std::min(x0, x);
        x1 = first ? x : std::max(x1, x);
        z1 = std::max(z1, z);
        first = false;
    };
    for (const ShotDepth& d : model_.shotDepths) extend(d.source, d.depths.back());
    for (const ReceiverDepth& d : model_.receiverDepths) extend(d.x, d.depth);
    if (x1 <= x0) x1 = x0 + 1;
    // A margin, so that the marks at the ends of the line are drawn whole.
    const double margin = 0.02 * (x1 - x0);
    x0 -= margin;
    x1 += margin;
    const Frame f{QRect(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom - notesHeight), x0, x1, 0,
                  z1 * 1.3};
    f.axes(p, "position (m)", "depth (m)");
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 80, 0), 2));
    QPointF last;
    for (std::size_t i = 0; i < model_.receiverDepths.size(); ++i) {
        const QPointF here(f.px(model_.receiverDepths[i].x), f.py(model_.receiverDepths[i].depth));
        if (i) p.drawLine(last, here);
        last = here;
    }
    for (const ShotDepth& d : model_.shotDepths)
        for (std::size_t k = 0; k < d.depths.size(); ++k) {
            p.setPen(QPen(k ? Qt::darkGreen : Qt::darkBlue, 2));
            p.drawLine(QPointF(f.px(d.source) - 5, f.py(d.depths[k])), QPointF(f.px(d.source) + 5, f.py(d.depths[k])));
        }
    p.setPen(Qt::black);
    QString v;
    for (std::size_t k = 0; k < model_.velocities.size(); ++k)
        v += QString("v%1 = %2 m/s   ").arg(k + 1).arg(std::round(model_.velocities[k]));
    p.drawText(QPointF(kLeft + 8, kTop + 16), v);
    p.drawText(QPointF(kLeft + 8, kTop + 32),
               "line: plus-minus depth below the receivers; dashes: intercept-time depth "
               "below the shots (blue layer 2, green layer 3)");
    int y = height() - notesHeight + 8;
    for (const std::string& n : model_.notes) p.drawText(QPointF(8, y += 16), QString::fromStdString(n));
}

}  // namespace q24::refraction
