#include "link/forms/Password.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/PortChoice.h"
#include "link/forms/FormParts.h"

namespace q24 {

Password::Password(QWidget* parent) : QDialog(parent) {
    setObjectName("Password");
    setWindowTitle("PASSWORD");
    auto* layout = new QVBoxLayout(this);
    auto* label = Named(new QLabel("Please insert password to enable coding process:", this), "Label1");
    layout->addWidget(label);
    text1_ = Named(new QLineEdit(this), "Text1");
    text1_->setEchoMode(QLineEdit::Password);
    layout->addWidget(text1_);
    auto* ok = Named(new QPushButton("OK", this), "Command1");
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (text1_->text() == QString::fromLatin1(kCodePassword)) accept();
        else reject();  // no message for a wrong password
    });
}

}  // namespace q24
