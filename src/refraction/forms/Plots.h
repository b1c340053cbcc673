#pragma once
// The three drawings of velostrata's window: the traces of one shot with its
// picks (mouse: a click sets the pick of the trace under it, Delete removes
// it, the wheel zooms in time), the travel times of all shots with the
// model's lines (mouse: a click or a dragged box selects picks, keys 1, 2, 3
// give them that layer, 0 gives them back to the fit), and the model.
#include <functional>
#include <QWidget>

#include "refraction/Interpretation.h"
#include "refraction/PickSession.h"
#include "refraction/ViewFilters.h"

namespace q24::refraction {

class TraceView : public QWidget {
public:
    explicit TraceView(PickSession& session, QWidget* parent = nullptr);
    void show(int shot);
    int shot() const { return shot_; }
    void setView(const ViewSettings& settings);
    void setMaxTime(double seconds);
    double maxTime() const { return maxTime_; }
    std::function<void()> changed;  // a pick was set or deleted

    // The trace and time under a point of the widget; -1 outside the traces.
    int traceAt(int x) const;
    double timeAt(int y) const;
    int yOf(double time) const;
    int xOf(int trace) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    const Shot* current() const;
    double startTime() const;
    PickSession& session_;
    int shot_ = -1;
    int hover_ = -1;
    ViewSettings view_;
    double maxTime_ = 0.2;
    std::vector<std::vector<float>> shown_;  // the traces as drawn
};

class TravelTimePlot : public QWidget {
public:
    explicit TravelTimePlot(PickSession& session, QWidget* parent = nullptr);
    void setModel(const Model* model) { model_ = model; }
    const std::vector<PickRef>& selected() const { return selected_; }
    std::function<void()> changed;  // picks were given a layer
    // Where a position (m) and a time (s) are drawn.
    QPointF pointOf(double x, double time) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    struct Ranges {
        double x0 = 0, x1 = 1, t1 = 0.01;  // m, m, s
    };
    Ranges ranges() const;
    PickSession& session_;
    const Model* model_ = nullptr;
    std::vector<PickRef> selected_;
    QPoint pressed_, dragged_;
    bool dragging_ = false;
};

class ModelPlot : public QWidget {
public:
    explicit ModelPlot(const PickSession& session, QWidget* parent = nullptr);
    void setLayers(int layers);
    const Model& model() const { return model_; }
    void refresh();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const PickSession& session_;
    int layers_ = 2;
    Model model_;
};

}  // namespace q24::refraction
