#include "acquisition/forms/Initialisation_Par.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "acquisition/RunningParameters.h"
#include "link/forms/FormParts.h"

namespace q24 {

Initialisation_Par::Initialisation_Par(RunningParameters& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("Initialisation_Par");
    setWindowTitle("Running Parameters");
    logic_.Load();

    VScroll1_ = VerticalBar(this, "VScroll1", RunningParameters::kStepMin, RunningParameters::kStepMax, 1, 110);
    VScroll2_ = VerticalBar(this, "VScroll2", RunningParameters::kPowerMin, RunningParameters::kPowerMax, 1, 110);
    Label3_ = ValueLabel(this, "Label3");
    Label4_ = ValueLabel(this, "Label4");
    auto* freqCaption = Named(new QLabel("Sampling Frequency on Running (2000Hz best choice)", this), "Label1");
    auto* countCaption = Named(new QLabel("Number of Samples on Running (256 best choice)", this), "Label2");
    auto* save = Named(new QPushButton("SAVE", this), "Command1");
    auto* esc = Named(new QPushButton("ESC", this), "Command2");

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
