#include "files/forms/Project_name.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace q24 {

Project_name::Project_name(State& s, Panel& main, FilesEnv env, QWidget* parent)
    : QDialog(parent), s_(s), main_(main), env_(std::move(env)) {
    setObjectName("Project_name");
    setWindowTitle("NEW REFRACTION PROJECT");
    setModal(true);
    auto* label1 = new QLabel("Please insert project name:", this);
    label1->setObjectName("Label1");
    name_ = new QLineEdit(" ", this);
    name_->setObjectName("Text1");
    auto* label2 = new QLabel(".PRJ", this);
    label2->setObjectName("Label2");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command2");
    auto* exit = new QPushButton("EXIT", this);
    exit->setObjectName("Command1");
    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0, 1, 3);
    grid->addWidget(name_, 1, 0, 1, 2);
    grid->addWidget(label2, 1, 2);
    grid->addWidget(ok, 2, 0);
    grid->addWidget(exit, 2, 2);

    connect(ok, &QPushButton::clicked, this, [this] {
        if (ProjectNameOk(s_, main_, env_, name_->text().toStdString())) accept();
    });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace q24
