#include "link/forms/Password.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/PortChoice.h"

namespace q24 {

Password::Password(QWidget* parent) : QDialog(parent) {
    setObjectName("Password");
    setWindowTitle("PASSWORD");
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel("Please insert password to enable coding process:", this);
    label->setObjectName("Label1");
    layout->addWidget(label);
    text1_ = new QLineEdit(this);
    text1_->setObjectName("Text1");
    text1_->setEchoMode(QLineEdit::Password);
    layout->addWidget(text1_);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (text1_->text() == QString::fromLatin1(kCodePassword)) accept();
        else reject();  // no message for a wrong password
    });
}

}  // namespace q24
