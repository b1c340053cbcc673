#include "files/forms/FolderLists.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QStorageInfo>

namespace q24 {

FolderLists::FolderLists(QStringList patterns, QWidget* parent)
    : QWidget(parent), patterns_(std::move(patterns)) {
    drives_ = new QComboBox(this);
    drives_->setObjectName("Drive1");
    QStringList roots{"/"};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath())) roots << v.rootPath();
    drives_->addItems(roots);
    path_ = new QLabel(this);
    path_->setObjectName("Dir1_path");
    path_->setWordWrap(true);
    dirs_ = new QListWidget(this);
    dirs_->setObjectName("Dir1");
    files_ = new QListWidget(this);
    files_->setObjectName("File1");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(path_, 0, 0);
    grid->addWidget(dirs_, 1, 0);
    grid->addWidget(drives_, 2, 0);
    grid->addWidget(files_, 0, 1, 3, 1);

    // A drive that cannot be shown is ignored; the list keeps its folder.
    connect(drives_, &QComboBox::textActivated, this, [this](const QString& root) { setFolder(root); });
    connect(dirs_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString name = item->text();
        setFolder(QDir::cleanPath(name == ".." ? folder_ + "/.." : folder_ + "/" + name));
    });
    connect(files_, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { emit fileClicked(i->text()); });
    connect(files_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* i) { emit fileDoubleClicked(i->text()); });
}

bool FolderLists::setFolder(const QString& path) {
    QDir dir(path);
    if (!dir.exists() || !dir.isReadable()) return false;
    folder_ = QDir::cleanPath(dir.absolutePath());
    path_->setText(folder_);
    dirs_->clear();
    if (!dir.isRoot()) dirs_->addItem("..");
    dirs_->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    refreshFiles();
    return true;
}

void FolderLists::refreshFiles() {
    files_->clear();
    QDir dir(folder_);
    if (!patterns_.isEmpty()) dir.setNameFilters(patterns_);
    files_->addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

}  // namespace q24
