#include "acquisition/forms/Parametri.h"

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

#include "acquisition/AcqParameters.h"
#include "link/forms/FormParts.h"

namespace q24 {

namespace {
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, bool value = false) {
    return value ? ValueLabel(parent, name, text) : Named(new QLabel(text, parent), name);
}

// One column: the bar on the left, its captions and values on the right.
QWidget* column(QWidget* parent, QScrollBar* bar, std::initializer_list<QWidget*> rows) {
    auto* box = new QWidget(parent);
    auto* h = new QHBoxLayout(box);
    h->addWidget(bar);
    auto* v = new QVBoxLayout;
    v->addStretch(1);
    for (QWidget* w : rows) v->addWidget(w);
    v->addStretch(1);
    h->addLayout(v);
    return box;
}

QWidget* inRow(QWidget* parent, std::initializer_list<QWidget*> items) {
    auto* box = new QWidget(parent);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : items) h->addWidget(w);
    h->addStretch(1);
    return box;
}
}  // namespace

Parametri::Parametri(AcqParameters& params, QWidget* parent) : QDialog(parent), params_(params) {
    setObjectName("Parametri");
    setWindowTitle("Acqusition Parameters");
    auto* frame = Named(new QGroupBox("PARAMETERS", this), "Frame3");

    VScroll2_ = VerticalBar(frame, "VScroll2", AcqParameters::kFreqMin, AcqParameters::kFreqMax, 1, 120);
    Label3_ = makeLabel(frame, "Label3", "4000", true);
    Sampling_rate_ = makeLabel(frame, "Sampling_rate", "250", true);
    // "Hz" beside the frequency: the frequency label already carries its unit.
    auto* hz = makeLabel(frame, "Label5", "Hz");
    hz->setVisible(false);
    QWidget* freq = column(frame, VScroll2_,
                           {inRow(frame, {makeLabel(frame, "Label2", "Fs :"), Label3_}),
                            makeLabel(frame, "Label49", "Sampling rate"),
                            inRow(frame, {Sampling_rate_, makeLabel(frame, "Label56", "msec")})});

    VScroll1_ = VerticalBar(frame, "VScroll1", AcqParameters::kSamplesMin, AcqParameters::kSamplesMax, 1, 120);
    Numero_campioni_ = makeLabel(frame, "Numero_campioni", " 256", true);
    Acq_time_ = makeLabel(frame, "Acq_time", "1.024", true);
    Label4_ = makeLabel(frame, "Label4", "msec");
    QWidget* samples = column(frame, VScroll1_,
                              {makeLabel(frame, "Label48", "Number of samples x channel"), Numero_campioni_,
                               makeLabel(frame, "Label54", "Acquisition Time:"), inRow(frame, {Acq_time_, Label4_})});

    VScroll3_ = VerticalBar(frame, "VScroll3", AcqParameters::kPreMin, AcqParameters::kPreMax, 64, 120);
    pre_camp_ = makeLabel(frame, "pre_camp", " ", true);
    QWidget* pre = column(frame, VScroll3_, {makeLabel(frame, "Label6", "Number of Pre-Samples"), pre_camp_});

    Option1_ = Named(new QRadioButton("Trigger contact closing", frame), "Option1");
    Option2_ = Named(new QRadioButton("Trigger contact opening", frame), "Option2");
    // Kept from the instrument's panel; it does nothing.
    Check1_ = Named(new QCheckBox("Misura Rumore", frame), "Check1");

    auto* grid = new QGridLayout(frame);
    grid->addWidget(freq, 0, 0);
    grid->addWidget(samples, 0, 1);
    grid->addWidget(pre, 0, 2);
    auto* edge = new QVBoxLayout;
    edge->addWidget(Option1_);
    edge->addWidget(Option2_);
    grid->addLayout(edge, 1, 0, 1, 2);
    grid->addWidget(Check1_, 1, 2);

    auto* ok = Named(new QPushButton("OK", this), "Command1");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    connect(VScroll1_, &QScrollBar::valueChanged, this, [this](int v) { params_.setSamplesPosition(v); });
    connect(VScroll2_, &QScrollBar::valueChanged, this, [this](int v) { params_.setFreqPosition(v); });
    connect(VScroll3_, &QScrollBar::valueChanged, this, [this](int v) { params_.setPretriggerPosition(v); });
    connect(Option1_, &QRadioButton::clicked, this, [this] { params_.Option1_Click(); });
    connect(Option2_, &QRadioButton::clicked, this, [this] { params_.Option2_Click(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &QDialog::finished, this, [this] { params_.Unload(); });

    previousChanged_ = params_.changed;
    params_.changed = [this] {
        refresh();
        if (previousChanged_) previousChanged_();
    };
    refresh();
}

Parametri::~Parametri() { params_.changed = previousChanged_; }

void Parametri::refresh() {
    const AcqParameters::Captions& c = params_.captions();
    for (auto [bar, pos] : {std::pair{VScroll1_, params_.samplesPosition()},
                            std::pair{VScroll2_, params_.freqPosition()},
                            std::pair{VScroll3_, params_.pretriggerPosition()}}) {
        const QSignalBlocker block(bar);
        bar->setValue(pos);
    }
    Label3_->setText(QString::fromStdString(c.Label3));
    Sampling_rate_->setText(QString::fromStdString(c.Sampling_rate));
    Numero_campioni_->setText(QString::fromStdString(c.Numero_campioni));
    Acq_time_->setText(QString::fromStdString(c.Acq_time));
    Label4_->setText(QString::fromStdString(c.Label4));
    pre_camp_->setText(QString::fromStdString(c.pre_camp));
    VScroll1_->setEnabled(c.VScroll1_enabled);
    Numero_campioni_->setEnabled(c.VScroll1_enabled);
    Option1_->setChecked(!c.Option2);
    Option2_->setChecked(c.Option2);
}

}  // namespace q24
