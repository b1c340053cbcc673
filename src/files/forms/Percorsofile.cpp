#include "files/forms/Percorsofile.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "files/forms/FolderLists.h"

namespace q24 {

Percorsofile::Percorsofile(State& s, Panel& main, FilesEnv env, std::vector<std::string> channelText,
                                 QWidget* parent)
    : QDialog(parent), s_(s), main_(main), env_(std::move(env)), channelText_(std::move(channelText)) {
    setObjectName("Percorsofile");
    setWindowTitle("SAVE FILE");
    setModal(true);
    auto* label1 = new QLabel("File Name:", this);
    label1->setObjectName("Label1");
    name_ = new QLineEdit("xyz", this);
    name_->setObjectName("Text1");
    auto* label2 = new QLabel(".sg2", this);
    label2->setObjectName("Label2");
    status_ = new QLabel(" ", this);
    status_->setObjectName("Label3");
    lists_ = new FolderLists({}, this);
    auto* okButton = new QPushButton("OK", this);
    okButton->setObjectName("OK");
    auto* escButton = new QPushButton("ESC", this);
    escButton->setObjectName("ESCI");

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(label2, 0, 2);
    grid->addWidget(status_, 1, 0, 1, 3);
    grid->addWidget(lists_, 2, 0, 1, 3);
    grid->addWidget(okButton, 3, 0);
    grid->addWidget(escButton, 3, 2);
    grid->setRowStretch(2, 1);
    resize(560, 360);

    if (!lists_->setFolder(QString::fromStdString(DataFolder(env_.home))))
        lists_->setFolder(QString::fromStdString(env_.home));
    connect(lists_, &FolderLists::fileDoubleClicked, this,
            [this](const QString& f) { name_->setText(QString::fromStdString(NameFromPickedFile(f.toStdString()))); });
    connect(okButton, &QPushButton::clicked, this, &Percorsofile::ok);
    connect(escButton, &QPushButton::clicked, this, [this] {
        result_ = SaveResult::Closed;
        reject();
    });
}

void Percorsofile::ok() {
    status_->setText("WAIT ...");
    status_->repaint();
    result_ = TimedSaveOk(s_, main_, env_, lists_->folder().toStdString(), name_->text().toStdString(), channelText_);
    if (result_ == SaveResult::Refused) {
        status_->setText(" ");
        return;
    }
    accept();
}

}  // namespace q24
