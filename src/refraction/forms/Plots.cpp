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

TravelTimePlot::TravelTimePlot(const PickSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setMinimumSize(400, 300);
}

void TravelTimePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const PickTable table = session_.table();
    if (table.points.empty()) return;
    double x0 = table.points.front().x, x1 = x0, t1 = 0.01;
    for (const Point& pt : table.points) {
        x0 = std::min(x0, pt.x);
        x1 = std::max(x1, pt.x);
    }
    for (const Pick& k : table.picks) t1 = std::max(t1, k.time);
    if (x1 <= x0) x1 = x0 + 1;
    const Frame f{QRect(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom), x0, x1, t1 * 1.1e3, 0};
    f.axes(p, "position (m)", "ms");
    p.setRenderHint(QPainter::Antialiasing);
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
            p.drawEllipse(here, 2, 2);
            if (have && (shot.receivers[t] - shot.source) * (shot.receivers[t - 1] - shot.source) > 0)
                p.drawLine(last, here);
            last = here;
            have = true;
        }
    }
}

ModelPlot::ModelPlot(const PickSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setMinimumSize(400, 300);
}

void ModelPlot::setLayers(int layers) {
    layers_ = layers;
    refresh();
}

void ModelPlot::refresh() {
    model_ = Interpret(session_.table(), layers_);
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
