#pragma once
// The code dialog `Gestione_codice` ("C O D E"): WRITE sends the typed code to
// the one unit on the line, READ shows the code it answers with. OK accepts
// (the caller then resets the units, so the unit restarts with its code);
// EXIT rejects.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace q24 {

class Link;
class LineOwner;
struct State;

class Gestione_codice : public QDialog {
    Q_OBJECT
public:
    Gestione_codice(LineOwner& owner, Link& link, State& s, QWidget* parent = nullptr);

private:
    LineOwner& owner_;
    Link& link_;
    State& s_;
    QLabel* code_ = nullptr;
    QLineEdit* text1_ = nullptr;
};

}  // namespace q24
