#include "files/forms/Percorso_load.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "files/forms/FolderLists.h"
#include "link/forms/FormParts.h"

namespace q24 {

Percorso_load::Percorso_load(State& s, Panel& main, Regional regional, const std::string& folder,
                       std::function<void()> redraw, QWidget* parent)
    : QDialog(parent), s_(s), main_(main), regional_(std::move(regional)), redraw_(std::move(redraw)) {
    setObjectName("Percorso_load");
    setWindowTitle("Load File.txt and File.sg2");
    setModal(true);
    // Other recorders name their SEG-2 files .seg2 and .dat too.
    lists_ = new FolderLists({"*.sg2", "*.txt", "*.seg2", "*.dat"}, this);
    auto* exit = Named(new QPushButton("EXIT", this), "Command2");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lists_, 1);
    layout->addWidget(exit);
    resize(560, 360);
    lists_->setFolder(QString::fromStdString(folder));

    connect(lists_, &FolderLists::fileClicked, this,
            [this](const QString& f) { s_.File_path = (lists_->folder() + "/" + f).toStdString(); });
    connect(lists_, &FolderLists::fileDoubleClicked, this, [this](const QString& f) {
        LoadFile(s_, main_, (lists_->folder() + "/" + f).toStdString(), regional_, redraw_);
        accept();
    });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace q24
