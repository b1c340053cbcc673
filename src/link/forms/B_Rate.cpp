#include "link/forms/B_Rate.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <cmath>

#include "link/forms/BR_Change.h"
#include "link/forms/FormParts.h"
#include "state/State.h"

namespace q24 {

B_Rate::B_Rate(State& s, QWidget* parent) : QDialog(parent), s_(s) {
    setObjectName("B_Rate");
    setWindowTitle("Baud Rate");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Baud Rate for TRG and Running:", this), 0, 0);
    br_ = Named(new QLabel(this), "Label_BR");
    grid->addWidget(br_, 0, 1);
    grid->addWidget(new QLabel("Baud Rate for Continuous Acquisition:", this), 1, 0);
    brh_ = Named(new QLabel(this), "Label_BRH");
    grid->addWidget(brh_, 1, 1);
    auto* change = Named(new QPushButton("Change", this), "Command2");
    auto* exit = Named(new QPushButton("EXIT", this), "Command1");
    grid->addWidget(change, 2, 0);
    grid->addWidget(exit, 2, 1);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    connect(change, &QPushButton::clicked, this, [this] {
        BR_Change d(s_, this);
        if (d.exec() == QDialog::Accepted) accept();  // its buttons close both
        else load();
    });
    load();
}

void B_Rate::load() {
    br_->setText(s_.Baud_rate ? QString::number(std::llround(*s_.Baud_rate)) : QString());
    brh_->setText(QString::number(s_.Baud_rate_high));
}

}  // namespace q24
