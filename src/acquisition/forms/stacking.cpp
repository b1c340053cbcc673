#include "acquisition/forms/stacking.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "acquisition/TriggerAcquisition.h"
#include "link/forms/FormParts.h"

namespace q24 {

stacking::stacking(State& s, Panel& main, QWidget* parent) : QDialog(parent), s_(s), main_(main) {
    setObjectName("stacking");
    setWindowTitle("STACKING");

    auto* on = Named(new QRadioButton("STACKING", this), "Option1");
    auto* off = Named(new QRadioButton("NO  STACKING", this), "Option2");
    auto* review = Named(new QCheckBox("Review each hit", this), "Review_hits");
    auto* done = Named(new QPushButton("Done", this), "Command1");
    // "NO  STACKING" is the choice until the program says otherwise.
    (s_.Stacking ? on : off)->setChecked(true);
    // The review belongs to stacking: offered only with "STACKING" chosen.
    review->setChecked(s_.Review_hits);
    review->setEnabled(s_.Stacking);

    connect(on, &QRadioButton::clicked, this, [this, on, review] {
        if (on->isChecked()) ChooseStacking(s_, main_, true);
        review->setEnabled(s_.Stacking);
    });
    connect(off, &QRadioButton::clicked, this, [this, off, review] {
        if (off->isChecked()) ChooseStacking(s_, main_, false);
        review->setEnabled(s_.Stacking);
    });
    connect(review, &QCheckBox::toggled, this, [this](bool on) { s_.Review_hits = on; });
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(on);
    layout->addWidget(off);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(20);
    indented->addWidget(review);
    layout->addLayout(indented);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(done);
    row->addStretch(1);
    layout->addSpacing(8);
    layout->addLayout(row);
    setMinimumWidth(260);
}

}  // namespace q24
