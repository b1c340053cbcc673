#pragma once
// The trigger save dialog `Percorsofile_tr` ("SAVE  FILE"): after a trigger
// shot, a stacking series or a passive recording. Thin: DONE and EXIT run
// TriggerSaveDone and TriggerSaveExit.
#include "files/forms/SaveDialog.h"

namespace q24 {

class Percorsofile_tr : public SaveDialog {
    Q_OBJECT
public:
    Percorsofile_tr(State& s, Panel& main, FilesEnv env, QWidget* parent = nullptr);

private:
    void doneClicked();
};

}  // namespace q24
