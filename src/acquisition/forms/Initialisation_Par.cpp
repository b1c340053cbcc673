#include "acquisition/forms/Initialisation_Par.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "acquisition/RunningParameters.h"

namespace q24 {

namespace {
QLabel* valueLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(70);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QScrollBar* bar(QWidget* parent, const char* name, int min, int max) {
    auto* b = new QScrollBar(Qt::Vertical, parent);
    b->setObjectName(name);
    b->setRange(min, max);
    b->setPageStep(1);
    b->setMinimumHeight(110);
    return b;
}
}  // namespace

Initialisation_Par::Initialisation_Par(RunningParameters& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("Initialisation_Par");
    setWindowTitle("Running Parameters");
    logic_.Load();

    VScroll1_ = bar(this, "VScroll1", RunningParameters::kStepMin, RunningParameters::kStepMax);
    VScroll2_ = bar(this, "VScroll2", RunningParameters::kPowerMin, RunningParameters::kPowerMax);
    Label3_ = valueLabel(this, "Label3");
    Label4_ = valueLabel(this, "Label4");
    auto* freqCaption = new QLabel("Sampling Frequency on Running (2000Hz best choice)", this);
    freqCaption->setObjectName("Label1");
    auto* countCaption = new QLabel("Number of Samples on Running (256 best choice)", this);
    countCaption->setObjectName("Label2");
    auto* save = new QPushButton("SAVE", this);
    save->setObjectName("Command1");
    auto* esc = new QPushButton("ESC", this);
    esc->setObjectName("Command2");

    connect(VScroll1_, &QScrollBar::valueChanged, this, [this](int v) {
        logic_.setFrequencyStep(v);
        refresh();
    });
    connect(VScroll2_, &QScrollBar::valueChanged, this, [this](int v) {
        logic_.setPower(v);
        refresh();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        logic_.Save();
        accept();
    });
    connect(esc, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(VScroll1_, 0, 0, 2, 1);
    grid->addWidget(freqCaption, 0, 1);
    grid->addWidget(Label3_, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(VScroll2_, 2, 0, 2, 1);
    grid->addWidget(countCaption, 2, 1);
    grid->addWidget(Label4_, 3, 1, Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(esc);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    refresh();
}

void Initialisation_Par::refresh() {
    for (auto [b, v] : {std::pair{VScroll1_, logic_.frequencyStep()}, std::pair{VScroll2_, logic_.power()}}) {
        const QSignalBlocker block(b);
        b->setValue(v);
    }
    Label3_->setText(QString::fromStdString(logic_.Label3()));
    Label4_->setText(QString::fromStdString(logic_.Label4()));
}

}  // namespace q24
