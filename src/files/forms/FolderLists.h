#pragma once
// The drive, folder and file lists the save and load dialogs share:
// `Drive1` (the mounted volumes), `Dir1` (".." and the sub-folders of the
// folder shown above it; a double-click or Enter opens one) and `File1` (the
// folder's files, optionally only those matching name patterns).
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

namespace q24 {

class FolderLists : public QWidget {
    Q_OBJECT
public:
    // Patterns such as "*.sg2" (matched without regard to case); none lists
    // every file.
    explicit FolderLists(QStringList patterns = {}, QWidget* parent = nullptr);

    // Shows `path` in the folder and file lists; false (nothing changes) when
    // it is no readable folder.
    bool setFolder(const QString& path);
    QString folder() const { return folder_; }
    void refreshFiles();

    QComboBox* drives() const { return drives_; }
    QListWidget* dirs() const { return dirs_; }
    QListWidget* files() const { return files_; }

signals:
    void fileClicked(const QString& name);
    void fileDoubleClicked(const QString& name);

private:
    QStringList patterns_;
    QString folder_;
    QComboBox* drives_;
    QLabel* path_;
    QListWidget* dirs_;
    QListWidget* files_;
};

}  // namespace q24
