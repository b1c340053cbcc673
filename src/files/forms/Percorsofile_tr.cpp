#include "files/forms/Percorsofile_tr.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/forms/FolderLists.h"
#include "link/forms/FormParts.h"

namespace q24 {

Percorsofile_tr::Percorsofile_tr(State& s, Panel& main, FilesEnv env, QWidget* parent)
    : SaveDialog(s, main, std::move(env), &FolderLists::fileClicked, parent) {
    setObjectName("Percorsofile_tr");
    setWindowTitle("SAVE  FILE");
    name_->setPlaceholderText("file name (.sg2 and .txt are added)");
    // The next free name after the last shot saved in the folder shown.
    name_->setText(QString::fromStdString(ProposedName(lists_->folder().toStdString())));
    auto* pretrigger = Named(new QLabel("File saved with Pretrigger", this), "Label1");
    pretrigger->setVisible(s.N_pretrigger > 0);
    auto* doneButton = Named(new QPushButton("DONE", this), "Command1");
    auto* exitButton = Named(new QPushButton("EXIT", this), "Command2");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name_);
    layout->addWidget(pretrigger);
    layout->addWidget(lists_, 1);
    layout->addWidget(mseed_);
    mseed_->setVisible(s.Passive_mode);  // a shot has no absolute start to stamp
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(doneButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);
    resize(560, 360);

    // A picked file names the save; the folder stays where it was picked, so
    // DONE replaces that very file.
    connect(doneButton, &QPushButton::clicked, this, &Percorsofile_tr::doneClicked);
    connect(exitButton, &QPushButton::clicked, this, [this] {
        TriggerSaveExit(s_);
        result_ = SaveResult::Closed;
        reject();
    });
}

void Percorsofile_tr::doneClicked() {
    result_ = TriggerSaveDone(s_, main_, env_, lists_->folder().toStdString(), name_->text().toStdString(),
                              mseed_->isChecked());
    if (result_ == SaveResult::Refused) return;  // the operator types another name
    accept();
}

}  // namespace q24
