#include "acquisition/forms/TRG_correction.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "acquisition/TriggerCorrection.h"
#include "link/forms/FormParts.h"

namespace q24 {

TRG_correction::TRG_correction(TriggerCorrection& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("TRG_correction");
    setWindowTitle("Trigger event time setup");
    logic_.Load();

    VScroll1_ = VerticalBar(this, "VScroll1", TriggerCorrection::kMin, TriggerCorrection::kMax, 100, 160);
    Label2_ = ValueLabel(this, "Label2");
    auto* unit = Named(new QLabel("Microseconds", this), "Label1");
    auto* note = Named(new QLabel("Positive values shift wave to right of trigger event", this), "Label3");
    auto* saved = new QLabel(
        "Changed Values will be saved permanentely when EXIT from Mirandel application and retrived at next start ",
        this);
    saved->setObjectName("Label4");
    saved->setWordWrap(true);
    auto* restore = Named(new QPushButton("Restore Factory Values", this), "Command_restore");
    auto* exitButton = Named(new QPushButton("Exit", this), "Command_exit");
    auto* save = Named(new QPushButton("Save and Exit", this), "Command_Save");

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
