#pragma once
// The password dialog `Password` in front of the code dialog: OK accepts when
// the text is exactly the password and closes the dialog in every case.
#include <QDialog>

class QLineEdit;

namespace q24 {

class Password : public QDialog {
    Q_OBJECT
public:
    explicit Password(QWidget* parent = nullptr);

private:
    QLineEdit* text1_ = nullptr;
};

}  // namespace q24
