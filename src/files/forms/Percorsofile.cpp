#include "files/forms/Percorsofile.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "files/forms/FolderLists.h"
#include "link/forms/FormParts.h"

namespace q24 {

Percorsofile::Percorsofile(State& s, Panel& main, FilesEnv env, std::vector<std::string> channelText,
                                 QWidget* parent)
    : SaveDialog(s, main, std::move(env), &FolderLists::fileDoubleClicked, parent),
      channelText_(std::move(channelText)) {
    setObjectName("Percorsofile");
    setWindowTitle("SAVE FILE");
    auto* label1 = Named(new QLabel("File Name:", this), "Label1");
    name_->setText("xyz");
    auto* label2 = Named(new QLabel(".sg2", this), "Label2");
    status_ = Named(new QLabel(" ", this), "Label3");
    auto* okButton = Named(new QPushButton("OK", this), "OK");
    auto* escButton = Named(new QPushButton("ESC", this), "ESCI");

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(label2, 0, 2);
    grid->addWidget(status_, 1, 0, 1, 3);
    grid->addWidget(lists_, 2, 0, 1, 3);
    grid->addWidget(mseed_, 3, 0, 1, 3);
    grid->addWidget(okButton, 4, 0);
    grid->addWidget(escButton, 4, 2);
    grid->setRowStretch(2, 1);
    resize(560, 360);

    connect(okButton, &QPushButton::clicked, this, &Percorsofile::ok);
    connect(escButton, &QPushButton::clicked, this, [this] {
        result_ = SaveResult::Closed;
        reject();
    });
}

void Percorsofile::ok() {
    status_->setText("WAIT ...");
    status_->repaint();
    result_ = TimedSaveOk(s_, main_, env_, lists_->folder().toStdString(), name_->text().toStdString(), channelText_,
                          mseed_->isChecked());
    if (result_ == SaveResult::Refused) {
        status_->setText(" ");
        return;
    }
    accept();
}

}  // namespace q24
