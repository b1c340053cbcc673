#include "refraction/forms/VelostrataWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "refraction/forms/Plots.h"

namespace q24::refraction {

namespace {

QDoubleSpinBox* spin(const char* name, double low, double high, double value, double step) {
    auto* s = new QDoubleSpinBox;
    s->setObjectName(name);
    s->setRange(low, high);
    s->setValue(value);
    s->setSingleStep(step);
    return s;
}

QPushButton* button(const char* text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}

}  // namespace

VelostrataWindow::VelostrataWindow(const std::string& projectPath, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString("velostrata - %1").arg(QString::fromStdString(projectPath)));
    session_.open(projectPath);
    shots_ = new QListWidget;
    shots_->setObjectName("Shots");
    for (const Shot& s : session_.project().shots)
        shots_->addItem(
            QString("%1 (source %2 m)").arg(QFileInfo(QString::fromStdString(s.path)).fileName()).arg(s.source));
    traces_ = new TraceView(session_);
    traces_->setObjectName("Traces");
    travel_ = new TravelTimePlot(session_);
    travel_->setObjectName("TravelTimes");
    model_ = new ModelPlot(session_);
    model_->setObjectName("Model");
    travel_->setModel(&model_->model());
    tabs_ = new QTabWidget;
    tabs_->addTab(traces_, "Traces");
    tabs_->addTab(travel_, "Travel times");
    tabs_->addTab(model_, "Model");
    auto* split = new QSplitter;
    split->addWidget(shots_);
    split->addWidget(tabs_);
    split->setStretchFactor(1, 4);
    status_ = new QLabel;
    status_->setObjectName("Status");
    status_->setWordWrap(true);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(controls());
    layout->addWidget(split, 1);
    layout->addWidget(status_);
    setCentralWidget(central);
    resize(1200, 760);

    traces_->changed = [this] { picksChanged(); };
    travel_->changed = [this] { picksChanged(); };
    connect(shots_, &QListWidget::currentRowChanged, this, [this](int row) {
        traces_->show(row);
        showStatus();
    });
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, [this] {
        if (session_.undo()) picksChanged();
    });
    if (session_.shotCount() > 0) shots_->setCurrentRow(0);
    applyView();
    model_->refresh();
    showStatus();
}

QWidget* VelostrataWindow::controls() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    gain_ = spin("Gain", 0.1, 100, 1, 0.5);
    normalise_ = new QCheckBox("Normalise");
    normalise_->setObjectName("Normalise");
    normalise_->setChecked(true);
    agc_ = new QCheckBox("AGC");
    agc_->setObjectName("Agc");
    agcWindow_ = spin("AgcWindow", 5, 2000, 100, 10);
    lowCut_ = spin("LowCut", 0, 1000, 0, 5);
    highCut_ = spin("HighCut", 0, 5000, 0, 10);
    maxTime_ = spin("MaxTime", 5, 10000, 200, 10);
    layers_ = new QComboBox;
    layers_->setObjectName("Layers");
    layers_->addItems({"2", "3"});
    auto* pickShot = button("Pick shot", "PickShot");
    auto* pickAll = button("Pick all", "PickAll");
    auto* undo = button("Undo", "Undo");
    auto* save = button("Save PNG...", "SavePng");
    auto* csv = button("Export CSV", "ExportCsv");
    const std::pair<const char*, QWidget*> items[] = {
        {"Gain", gain_},         {nullptr, normalise_},     {nullptr, agc_},       {"AGC ms", agcWindow_},
        {"Low cut Hz", lowCut_}, {"High cut Hz", highCut_}, {"Time ms", maxTime_}, {nullptr, pickShot},
        {nullptr, pickAll},      {nullptr, undo},           {"Layers", layers_},   {nullptr, save},
        {nullptr, csv}};
    for (const auto& [label, widget] : items) {
        if (label) row->addWidget(new QLabel(label));
        row->addWidget(widget);
    }
    row->addStretch();
    for (QDoubleSpinBox* s : {gain_, agcWindow_, lowCut_, highCut_, maxTime_})
        connect(s, &QDoubleSpinBox::valueChanged, this, [this] { applyView(); });
    for (QCheckBox* c : {normalise_, agc_}) connect(c, &QCheckBox::toggled, this, [this] { applyView(); });
    connect(pickShot, &QPushButton::clicked, this, [this] { autoPick(traces_->shot()); });
    connect(pickAll, &QPushButton::clicked, this, [this] { autoPick(-1); });
    connect(undo, &QPushButton::clicked, this, [this] {
        if (session_.undo()) picksChanged();
    });
    connect(layers_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_->setLayers(i + 2);
        travel_->update();
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        std::string report;
        session_.exportCsv(layers_->currentIndex() + 2, report);
        status_->setText(QString::fromStdString(report));
    });
    connect(save, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Save the drawing", QString(), "PNG (*.png)");
        if (!path.isEmpty() && !savePicture(tabs_->currentIndex(), path))
            status_->setText(path + " could not be written");
    });
    return bar;
}

void VelostrataWindow::applyView() {
    ViewSettings v;
    v.gain = gain_->value();
    v.normalise = normalise_->isChecked();
    v.agcWindow = agc_->isChecked() ? agcWindow_->value() / 1e3 : 0;
    v.lowCut = lowCut_->value();
    v.highCut = highCut_->value();
    traces_->setView(v);
    traces_->setMaxTime(maxTime_->value() / 1e3);
}

void VelostrataWindow::picksChanged() {
    traces_->update();
    travel_->update();
    model_->refresh();
    showStatus();
}

void VelostrataWindow::showStatus() {
    QStringList lines;
    for (const std::string& p : session_.project().problems) lines << QString::fromStdString("Skipped " + p);
    const int shot = traces_->shot();
    if (shot >= 0 && shot < session_.shotCount())
        for (const std::string& n : session_.project().shots[static_cast<std::size_t>(shot)].notes)
            lines << QString::fromStdString(n);
    if (!session_.message().empty()) lines << QString::fromStdString(session_.message());
    if (session_.shotCount() == 0) lines << "No shot of the project could be read.";
    status_->setText(lines.join("\n"));
}

bool VelostrataWindow::savePicture(int tab, const QString& path) {
    QWidget* w = tab == 0 ? static_cast<QWidget*>(traces_) : tab == 1 ? static_cast<QWidget*>(travel_) : model_;
    return w->grab().save(path, "PNG");
}

void VelostrataWindow::autoPick(int shot) {
    session_.autoPick(shot);
    picksChanged();
}

void VelostrataWindow::selectTab(int tab) { tabs_->setCurrentIndex(tab); }

}  // namespace q24::refraction
