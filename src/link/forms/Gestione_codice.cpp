#include "link/forms/Gestione_codice.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "link/LineOwner.h"
#include "link/Link.h"
#include "link/PortChoice.h"
#include "link/forms/FormParts.h"
#include "state/State.h"

namespace q24 {

Gestione_codice::Gestione_codice(LineOwner& owner, Link& link, State& s, QWidget* parent)
    : QDialog(parent), owner_(owner), link_(link), s_(s) {
    setObjectName("Gestione_codice");
    setWindowTitle("C O D E");
    auto* grid = new QGridLayout(this);
    auto* warn = Named(new QLabel("ONLY 1 UNIT MUST BE CONNECTED !", this), "Label2");
    warn->setStyleSheet("color: red; font-weight: bold;");
    grid->addWidget(warn, 0, 0, 1, 2);
    code_ = Named(new QLabel(this), "Label1");
    code_->setFrameShape(QFrame::Panel);
    code_->setFrameShadow(QFrame::Sunken);
    code_->setMinimumWidth(80);
    grid->addWidget(code_, 1, 1);
    text1_ = Named(new QLineEdit(this), "Text1");
    grid->addWidget(text1_, 1, 0);
    const char* names[] = {"Command1", "Command2", "Command3", "Command4"};
    const char* captions[] = {"WRITE", "READ", "OK", "EXIT"};
    QPushButton* b[4];
    for (int i = 0; i < 4; ++i) {
        b[i] = new QPushButton(captions[i], this);
        b[i]->setObjectName(names[i]);
        b[i]->setAutoDefault(false);
        grid->addWidget(b[i], 2 + i / 2, i % 2);
    }
    connect(text1_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (CodeBoxFilter(t.toStdString()).empty() && !t.isEmpty()) text1_->clear();
    });
    connect(b[0], &QPushButton::clicked, this, [this] {
        const auto code = UnitCodeOf(text1_->text().toStdString());
        if (!code || !owner_.allows(Command::Code)) return;
        s_.Unit_code = *code;
        link_.Write_unit_code();
    });
    connect(b[1], &QPushButton::clicked, this, [this] {
        s_.Stop_req = 0;
        owner_.request(Command::Code, Activity::Code, [this, self = QPointer<Gestione_codice>(this)]() -> Task<void> {
            const int32_t code = co_await link_.Read_unit_code();
            if (self) code_->setText(QString::number(code));
        });
    });
    connect(b[2], &QPushButton::clicked, this, &QDialog::accept);
    connect(b[3], &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace q24
