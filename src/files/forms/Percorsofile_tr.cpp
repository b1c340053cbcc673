#include "files/forms/Percorsofile_tr.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/forms/FolderLists.h"

namespace q24 {

Percorsofile_tr::Percorsofile_tr(State& s, Panel& main, FilesEnv env, QWidget* parent)
    : QDialog(parent), s_(s), main_(main), env_(std::move(env)) {
    setObjectName("Percorsofile_tr");
    setWindowTitle("SAVE  FILE");
    setModal(true);
    name_ = new QLineEdit(this);
    name_->setObjectName("Text1");
    name_->setPlaceholderText("file name (.sg2 and .txt are added)");
    auto* pretrigger = new QLabel("File saved with Pretrigger", this);
    pretrigger->setObjectName("Label1");
    pretrigger->setVisible(s.N_pretrigger > 0);
    lists_ = new FolderLists({}, this);
    auto* doneButton = new QPushButton("DONE", this);
    doneButton->setObjectName("Command1");
    auto* exitButton = new QPushButton("EXIT", this);
    exitButton->setObjectName("Command2");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name_);
    layout->addWidget(pretrigger);
    layout->addWidget(lists_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(doneButton);
    buttons->addWidget(exitButton);
    layout->addLayout(buttons);
    resize(560, 360);

    if (!lists_->setFolder(QString::fromStdString(DataFolder(env_.home))))
        lists_->setFolder(QString::fromStdString(env_.home));
    // Picking a file names the save after it; the folder stays where it was
    // picked, so DONE replaces that very file.
    connect(lists_, &FolderLists::fileClicked, this,
            [this](const QString& f) { name_->setText(QString::fromStdString(NameFromPickedFile(f.toStdString()))); });
    connect(doneButton, &QPushButton::clicked, this, &Percorsofile_tr::doneClicked);
    connect(exitButton, &QPushButton::clicked, this, [this] {
        TriggerSaveExit(s_);
        result_ = SaveResult::Closed;
        reject();
    });
}

void Percorsofile_tr::doneClicked() {
    result_ = TriggerSaveDone(s_, main_, env_, lists_->folder().toStdString(), name_->text().toStdString());
    if (result_ == SaveResult::Refused) return;  // the operator types another name
    accept();
}

}  // namespace q24
