#include "files/forms/SaveDialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include "files/forms/FolderLists.h"
#include "link/forms/FormParts.h"

namespace q24 {

SaveDialog::SaveDialog(State& s, Panel& main, FilesEnv env, void (FolderLists::*pick)(const QString&),
                       QWidget* parent)
    : QDialog(parent), s_(s), main_(main), env_(std::move(env)) {
    setModal(true);
    name_ = Named(new QLineEdit(this), "Text1");
    lists_ = new FolderLists({}, this);
    mseed_ = Named(new QCheckBox("Also save as miniSEED", this), "Mseed");
    if (!lists_->setFolder(QString::fromStdString(DataFolder(env_.home))))
        lists_->setFolder(QString::fromStdString(env_.home));
    connect(lists_, pick, this,
            [this](const QString& f) { name_->setText(QString::fromStdString(NameFromPickedFile(f.toStdString()))); });
}

}  // namespace q24
