#include "acquisition/forms/TRG_units.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "acquisition/TriggerUnits.h"
#include "link/forms/FormParts.h"

namespace q24 {

TRG_units::TRG_units(TriggerUnits& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("TRG_units");
    setWindowTitle("TRIGGER UNITS SETTING");

    Frame1_ = Named(new QGroupBox(this), "Frame1");
    auto* grid = new QGridLayout(Frame1_);
    auto* options = new QButtonGroup(this);
    options->setExclusive(false);  // none is selected for a manual number
    for (int k = 1; k <= TriggerUnits::kOptions; ++k) {
        Option_[k] = new QRadioButton(QString::fromStdString(TriggerUnits::OptionCaption(k)), Frame1_);
        Option_[k]->setObjectName(QString("Option%1").arg(k));
        options->addButton(Option_[k]);
        grid->addWidget(Option_[k], (k - 1) % 12, (k - 1) / 12);
        connect(Option_[k], &QRadioButton::clicked, this, [this, k] {
            logic_.clickOption(k);
            refresh();
        });
    }

    manual_trg_Check_ = Named(new QCheckBox("Enable Manual Trigger number ", this), "manual_trg_Check");
    VScroll1_ = VerticalBar(this, "VScroll1", TriggerUnits::kScrollMin, TriggerUnits::kScrollMax, 10, 120);
    Label1_ = ValueLabel(this, "Label1", {}, 60);
    auto* done = Named(new QPushButton("DONE", this), "Command1");

    connect(manual_trg_Check_, &QCheckBox::clicked, this, [this](bool on) {
        logic_.manual_trg_Check_Click(on);
        refresh();
    });
    connect(VScroll1_, &QScrollBar::valueChanged, this, [this](int v) {
        logic_.setScrollValue(v);
        refresh();
    });
    connect(done, &QPushButton::clicked, this, [this] {
        logic_.Done();
        accept();
    });

    auto* manual = new QHBoxLayout;
    manual->addWidget(VScroll1_);
    manual->addWidget(Label1_, 0, Qt::AlignVCenter);
    manual->addStretch(1);
    auto* side = new QVBoxLayout;
    side->addWidget(manual_trg_Check_);
    side->addLayout(manual);
    side->addStretch(1);
    side->addWidget(done);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Frame1_);
    layout->addLayout(side);
    refresh();
}

int TRG_units::exec() {
    logic_.Load();
    refresh();
    return QDialog::exec();
}

void TRG_units::refresh() {
    for (int k = 1; k <= TriggerUnits::kOptions; ++k) Option_[k]->setChecked(logic_.selectedOption() == k);
    Frame1_->setEnabled(logic_.optionsEnabled());
    manual_trg_Check_->setChecked(logic_.manualChecked());
    {
        const QSignalBlocker block(VScroll1_);
        VScroll1_->setValue(logic_.scrollValue());
    }
    VScroll1_->setEnabled(logic_.scrollEnabled());
    Label1_->setEnabled(logic_.scrollEnabled());
    Label1_->setText(QString::fromStdString(logic_.Label1()));
}

}  // namespace q24
