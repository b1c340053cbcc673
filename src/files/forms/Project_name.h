#pragma once
// The refraction project dialog `Project_name` ("NEW REFRACTION PROJECT").
// Thin: OK runs ProjectNameOk with the name as typed.
#include <QDialog>

#include "files/Saving.h"

class QLineEdit;

namespace q24 {

class Project_name : public QDialog {
    Q_OBJECT
public:
    Project_name(State& s, Panel& main, FilesEnv env, QWidget* parent = nullptr);

private:
    State& s_;
    Panel& main_;
    FilesEnv env_;
    QLineEdit* name_;
};

}  // namespace q24
