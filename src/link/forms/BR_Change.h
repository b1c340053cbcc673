#pragma once
// The speed dialog `BR_Change`: a selected option sets its speed at once;
// "Save and Exit" reminds that the system must be restarted. Both buttons
// close this dialog and the speed display (the dialog is accepted).
#include <QDialog>

namespace q24 {

struct State;

class BR_Change : public QDialog {
    Q_OBJECT
public:
    explicit BR_Change(State& s, QWidget* parent = nullptr);
};

}  // namespace q24
