#include "acquisition/forms/acquisizione.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/TimedMode.h"

namespace q24 {

namespace {
QLabel* Label(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);  // Enter starts nothing by itself
    return b;
}
}  // namespace

acquisizione::acquisizione(TimedMode& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("acquisizione");
    setWindowTitle("Continuous sampling");
    setModal(true);

    auto* Frame1 = new QGroupBox("ACQUISITION TIME", this);
    Frame1->setObjectName("Frame1");
    Finestra_tempo_acq_ = Label("Finestra_tempo_acq", "", Frame1);
    Finestra_tempo_acq_->setAlignment(Qt::AlignCenter);
    Finestra_tempo_acq_->setMinimumWidth(48);
    Finestra_tempo_acq_->setFrameShape(QFrame::Panel);
    Finestra_tempo_acq_->setFrameShadow(QFrame::Sunken);
    QFont big = Finestra_tempo_acq_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Finestra_tempo_acq_->setFont(big);
    auto* Command6 = Button("Command6", "<<", Frame1);
    auto* Command5 = Button("Command5", ">>", Frame1);
    auto* minutes = new QHBoxLayout(Frame1);
    minutes->addWidget(Command6);
    minutes->addWidget(Finestra_tempo_acq_);
    minutes->addWidget(Label("Label1", "Minutes", Frame1));
    minutes->addWidget(Command5);

    Label5_ = Label("Label5", "", this);
    auto* frequency = new QHBoxLayout;
    frequency->addWidget(Label("Label4", "Sampling Frequency =", this));
    frequency->addWidget(Label5_);
    frequency->addWidget(Label("Label6", "Hz", this));
    frequency->addStretch(1);

    Label7_ = Label("Label7", "Is Latency Time of Port", this);
    Label7_->setStyleSheet("color: rgb(192, 0, 0);");
    Label3_ = Label("Label3", "END", this);
    Label3_->setAlignment(Qt::AlignCenter);
    QFont bold = Label3_->font();
    bold.setBold(true);
    Label3_->setFont(bold);
    QSizePolicy keep = Label3_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);  // the dialog keeps its size when the status shows
    Label3_->setSizePolicy(keep);
    ProgressBar1_ = new QProgressBar(this);
    ProgressBar1_->setObjectName("ProgressBar1");
    ProgressBar1_->setRange(0, TimedMode::kProgressMax);
    ProgressBar1_->setTextVisible(false);
    auto* Kbytes = Label("Kbytes", " ", this);

    Start_acq_ = Button("Start_acq", "START", this);
    Command7_ = Button("Command7", "Abort", this);
    Command2_ = Button("Command2", "EXIT", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Start_acq_);
    buttons->addWidget(Command7_);
    buttons->addWidget(Command2_);

    auto* v = new QVBoxLayout(this);
    v->addWidget(Frame1);
    v->addLayout(frequency);
    v->addWidget(Label7_);
    v->addLayout(buttons);
    v->addWidget(Label3_);
    v->addWidget(ProgressBar1_);
    v->addWidget(Kbytes);
    setMinimumWidth(420);

    connect(Command5, &QPushButton::clicked, this, [this] { logic_.Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { logic_.Command6_Click(); });
    // The handlers that wait run as sequences of their own; the buttons follow
    // them through refresh (a button that is off refuses the click anyway).
    connect(Start_acq_, &QPushButton::clicked, this, [this] { Spawn(logic_.Start_acq_Click()); });
    connect(Command7_, &QPushButton::clicked, this, [this] { Spawn(logic_.Command7_Click()); });
    connect(Command2_, &QPushButton::clicked, this, [this] { Spawn(logic_.Command2_Click()); });
    refresh();
}

void acquisizione::refresh() {
    const TimedMode::Controls& c = logic_.controls();
    Finestra_tempo_acq_->setText(QString::fromStdString(c.Finestra_tempo_acq));
    Label5_->setText(QString::fromStdString(c.Label5));
    Label7_->setText(QString::fromStdString(c.Label7));
    Label3_->setText(QString::fromStdString(c.Label3));
    Label3_->setVisible(c.Label3_visible);
    ProgressBar1_->setValue(c.ProgressBar1);
    Start_acq_->setEnabled(c.Start_acq);
    Command7_->setEnabled(c.Command7);
    Command2_->setEnabled(c.Command2);
    if (!c.shown && isVisible()) done(QDialog::Accepted);
}

void acquisizione::reject() { Spawn(logic_.CloseRequested()); }

}  // namespace q24
