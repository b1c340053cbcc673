#pragma once
// The trigger save dialog `Percorsofile_tr` ("SAVE  FILE"): after a trigger
// shot, a stacking series or a passive recording. Thin: DONE and EXIT run
// TriggerSaveDone and TriggerSaveExit.
#include <QDialog>

#include "files/Saving.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace q24 {

class FolderLists;

class Percorsofile_tr : public QDialog {
    Q_OBJECT
public:
    Percorsofile_tr(State& s, Panel& main, FilesEnv env, QWidget* parent = nullptr);
    SaveResult result() const { return result_; }
    FolderLists* lists() const { return lists_; }

private:
    void doneClicked();
    State& s_;
    Panel& main_;
    FilesEnv env_;
    SaveResult result_ = SaveResult::Closed;
    FolderLists* lists_;
    QLineEdit* name_;
};

}  // namespace q24
