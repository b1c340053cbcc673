#pragma once
// velostrata's window, a thin form over a PickSession: the shot list, the
// selected shot's traces with the view settings, automatic and manual
// picking with undo, the travel-time plot and the model, each drawing saved
// as PNG.
#include <QMainWindow>

#include "refraction/PickSession.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QTabWidget;

namespace q24::refraction {

class ModelPlot;
class TraceView;
class TravelTimePlot;

class VelostrataWindow : public QMainWindow {
public:
    explicit VelostrataWindow(const std::string& projectPath, QWidget* parent = nullptr);
    PickSession& session() { return session_; }
    TraceView* traces() const { return traces_; }
    // Saves the drawing of a tab (0 traces, 1 travel times, 2 model) as PNG.
    bool savePicture(int tab, const QString& path);
    void selectTab(int tab);
    void autoPick(int shot);  // -1: every shot

private:
    QWidget* controls();
    void applyView();
    void picksChanged();
    void showStatus();

    PickSession session_;
    QListWidget* shots_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    TraceView* traces_ = nullptr;
    TravelTimePlot* travel_ = nullptr;
    ModelPlot* model_ = nullptr;
    QDoubleSpinBox *gain_ = nullptr, *agcWindow_ = nullptr, *lowCut_ = nullptr, *highCut_ = nullptr,
                   *maxTime_ = nullptr;
    QCheckBox *normalise_ = nullptr, *agc_ = nullptr;
    QComboBox* layers_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace q24::refraction
