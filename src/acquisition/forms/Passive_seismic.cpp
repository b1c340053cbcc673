#include "acquisition/forms/Passive_seismic.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "acquisition/PassiveSeismic.h"
#include "link/Waits.h"

namespace q24 {

namespace {
template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(name);
    if constexpr (std::is_base_of_v<QPushButton, W>) widget->setAutoDefault(false);  // Enter starts nothing
    return widget;
}
}  // namespace

Passive_seismic::Passive_seismic(PassiveSeismic& logic, QWidget* parent)
    : QDialog(parent), logic_(logic) {
    setObjectName("Passive_seismic");
    setWindowTitle("Passive Seismic");

    FS125_ = Named(new QRadioButton("125Hz", this), "FS125");
    FS250_ = Named(new QRadioButton("250Hz", this), "FS250");
    FS500_ = Named(new QRadioButton("500Hz", this), "FS500");
    auto* rates = new QHBoxLayout;
    for (QRadioButton* b : {FS125_, FS250_, FS500_}) rates->addWidget(b);
    rates->addStretch(1);

    auto* Frame1 = Named(new QGroupBox("ACQUISITION TIME", this), "Frame1");
    auto* Command6 = Named(new QPushButton("<<", Frame1), "Command6");
    auto* Command5 = Named(new QPushButton(">>", Frame1), "Command5");
    Finestra_tempo_acq_ = Named(new QLabel(Frame1), "Finestra_tempo_acq");
    Finestra_tempo_acq_->setAlignment(Qt::AlignCenter);
    Finestra_tempo_acq_->setMinimumWidth(48);
    Finestra_tempo_acq_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont large = Finestra_tempo_acq_->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    Finestra_tempo_acq_->setFont(large);
    auto* minutes = new QHBoxLayout(Frame1);
    minutes->addWidget(Command6);
    minutes->addWidget(Finestra_tempo_acq_);
    minutes->addWidget(Named(new QLabel("Minuti", Frame1), "Label1"));
    minutes->addWidget(Command5);

    Informazioni_ = Named(new QLabel(this), "Informazioni");
    Informazioni_->setAlignment(Qt::AlignCenter);
    Informazioni_->setMinimumHeight(Informazioni_->fontMetrics().height() + 6);
    Informazioni_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProgressBar1_ = Named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1_->setRange(0, PassiveSeismic::kProgressMax);
    ProgressBar1_->setTextVisible(false);

    Command2_ = Named(new QPushButton("START", this), "Command2");
    auto* Command1 = Named(new QPushButton("ESC", this), "Command1");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2_);
    buttons->addWidget(Command1);

    auto* column = new QVBoxLayout(this);
    column->addLayout(rates);
    column->addWidget(Frame1);
    column->addWidget(Informazioni_);
    column->addWidget(ProgressBar1_);
    column->addLayout(buttons);
    setMinimumWidth(380);

    connect(FS125_, &QRadioButton::clicked, this, [this] { logic_.SelectFrequency(125); });
    connect(FS250_, &QRadioButton::clicked, this, [this] { logic_.SelectFrequency(250); });
    connect(FS500_, &QRadioButton::clicked, this, [this] { logic_.SelectFrequency(500); });
    connect(Command5, &QPushButton::clicked, this, [this] { logic_.Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { logic_.Command6_Click(); });
    connect(Command2_, &QPushButton::clicked, this, &Passive_seismic::start);
    connect(Command1, &QPushButton::clicked, this, &Passive_seismic::reject);
    refresh();
}

void Passive_seismic::refresh() {
    const PassiveSeismic::Controls& c = logic_.controls();
    FS125_->setChecked(c.frequency == 125);
    FS250_->setChecked(c.frequency == 250);
    FS500_->setChecked(c.frequency == 500);
    for (QRadioButton* b : {FS125_, FS250_, FS500_}) b->setEnabled(!logic_.recording());
    Finestra_tempo_acq_->setText(QString::fromStdString(c.Finestra_tempo_acq));
    Informazioni_->setText(QString::fromStdString(c.Informazioni));
    ProgressBar1_->setValue(c.ProgressBar1);
    Command2_->setEnabled(c.Command2);
}

void Passive_seismic::reject() {
    if (logic_.Command1_Click()) QDialog::reject();
}

void Passive_seismic::start() {
    Spawn(logic_.Command2_Click(), [self = QPointer<Passive_seismic>(this), waits = waits_](const std::exception_ptr& e) {
        if (self) self->failure_ = e;
        if (waits) waits->wake();
    });
}

Task<void> Passive_seismic::Run(PassiveSeismic& logic, Waits& waits, QWidget* parent) {
    QPointer<Passive_seismic> d = new Passive_seismic(logic, parent);
    d->waits_ = &waits;
    bool closed = false;
    const auto seen = connect(d, &QDialog::finished, d, [&closed, &waits] {
        closed = true;
        waits.wake();
    });
    logic.changed = [d] {
        if (d) d->refresh();
    };
    logic.Form_Load();
    d->show();
    // Until the dialog is closed (or gone with the main window, or the program
    // ends) and START's sequence is over.
    while (logic.started() || (d && !closed && !waits.cancelled())) co_await waits.until(-1, Waits::kNever);
    logic.changed = {};
    std::exception_ptr failure;
    if (d) {
        disconnect(seen);
        failure = d->failure_;
        d->hide();
        d->deleteLater();
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace q24
