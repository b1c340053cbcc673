#include "files/forms/Project_name.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "link/forms/FormParts.h"

namespace q24 {

Project_name::Project_name(State& s, Panel& main, FilesEnv env, QWidget* parent)
    : QDialog(parent), s_(s), main_(main), env_(std::move(env)) {
    setObjectName("Project_name");
    setWindowTitle("NEW REFRACTION PROJECT");
    setModal(true);
    auto* label1 = Named(new QLabel("Please insert project name:", this), "Label1");
    name_ = Named(new QLineEdit(" ", this), "Text1");
    auto* label2 = Named(new QLabel(".PRJ", this), "Label2");
    auto* ok = Named(new QPushButton("OK", this), "Command2");
    auto* exit = Named(new QPushButton("EXIT", this), "Command1");
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
