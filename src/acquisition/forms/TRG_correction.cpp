#include "acquisition/forms/TRG_correction.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "acquisition/TriggerCorrection.h"

namespace q24 {

TRG_correction::TRG_correction(TriggerCorrection& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("TRG_correction");
    setWindowTitle("Trigger event time setup");
    logic_.Load();

    VScroll1_ = new QScrollBar(Qt::Vertical, this);
    VScroll1_->setObjectName("VScroll1");
    VScroll1_->setRange(TriggerCorrection::kMin, TriggerCorrection::kMax);
    VScroll1_->setPageStep(100);
    VScroll1_->setMinimumHeight(160);
    Label2_ = new QLabel(this);
    Label2_->setObjectName("Label2");
    Label2_->setFrameShape(QFrame::Panel);
    Label2_->setFrameShadow(QFrame::Sunken);
    Label2_->setMinimumWidth(70);
    Label2_->setAlignment(Qt::AlignCenter);
    auto* unit = new QLabel("Microseconds", this);
    unit->setObjectName("Label1");
    auto* note = new QLabel("Positive values shift wave to right of trigger event", this);
    note->setObjectName("Label3");
    auto* saved = new QLabel(
        "Changed Values will be saved permanentely when EXIT from Mirandel application and retrived at next start ",
        this);
    saved->setObjectName("Label4");
    saved->setWordWrap(true);
    auto* restore = new QPushButton("Restore Factory Values", this);
    restore->setObjectName("Command_restore");
    auto* exitButton = new QPushButton("Exit", this);
    exitButton->setObjectName("Command_exit");
    auto* save = new QPushButton("Save and Exit", this);
    save->setObjectName("Command_Save");

    connect(VScroll1_, &QScrollBar::valueChanged, this, [this](int v) {
        logic_.setPosition(v);
        refresh();
    });
    connect(restore, &QPushButton::clicked, this, [this] {
        logic_.RestoreFactory();
        refresh();
    });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(save, &QPushButton::clicked, this, [this] {
        logic_.SaveAndExit();
        accept();
    });

    auto* value = new QVBoxLayout;
    value->addStretch(1);
    value->addWidget(Label2_, 0, Qt::AlignLeft);
    value->addWidget(unit);
    value->addWidget(note);
    value->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(VScroll1_);
    top->addLayout(value, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(restore);
    buttons->addWidget(exitButton);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(saved);
    layout->addLayout(buttons);
    setMinimumWidth(440);
    refresh();
}

void TRG_correction::refresh() {
    {
        const QSignalBlocker block(VScroll1_);
        VScroll1_->setValue(logic_.position());
    }
    Label2_->setText(QString::fromStdString(logic_.Label2()));
}

}  // namespace q24
