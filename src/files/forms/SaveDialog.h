#pragma once
// What the two save dialogs (`Percorsofile`, `Percorsofile_tr`) share: the
// file name box `Text1`, the folder lists opened on the Data folder (the home
// folder when there is none), a picked file naming the save after it, the
// "Also save as miniSEED" box `Mseed` (off; the timed and passive saves show
// it), and how the dialog ended.
#include <QDialog>

#include "files/Saving.h"

class QCheckBox;
class QLineEdit;

namespace q24 {

class FolderLists;

class SaveDialog : public QDialog {
    Q_OBJECT
public:
    SaveResult result() const { return result_; }
    FolderLists* lists() const { return lists_; }

protected:
    // `pick` is the lists' signal (a click or a double-click on a file) that
    // names the save.
    SaveDialog(State& s, Panel& main, FilesEnv env, void (FolderLists::*pick)(const QString&), QWidget* parent);

    State& s_;
    Panel& main_;
    FilesEnv env_;
    SaveResult result_ = SaveResult::Closed;
    QLineEdit* name_;
    FolderLists* lists_;
    QCheckBox* mseed_;
};

}  // namespace q24
