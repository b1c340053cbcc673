#include "link/forms/BR_Change.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "link/forms/FormParts.h"
#include "state/State.h"

namespace q24 {

namespace {

constexpr int32_t kSpeeds[] = {125000, 250000, 500000, 1000000};
constexpr const char* kCaptions[] = {"125,000", "250,000", "500,000", "1,000,000"};

}  // namespace

BR_Change::BR_Change(State& s, QWidget* parent) : QDialog(parent) {
    setObjectName("BR_Change");
    setWindowTitle("New Baud Rate Setting");
    auto* layout = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    const char* working[] = {"Option_125000", "Option_250000", "Option_500000", "Option_1000000"};
    const char* continuous[] = {"Option_125000_l", "Option_250000_H", "Option_500000_H", "Option_1000000_H"};
    const int32_t current = s.Baud_rate ? static_cast<int32_t>(std::llround(*s.Baud_rate)) : 0;
    auto frame = [&](const char* name, const char* title, const char* const* names, int32_t selected,
                     auto set) {
        auto* box = new QGroupBox(title, this);
        box->setObjectName(name);
        auto* v = new QVBoxLayout(box);
        auto* group = new QButtonGroup(box);
        for (int i = 0; i < 4; ++i) {
            auto* b = new QRadioButton(kCaptions[i], box);
            b->setObjectName(names[i]);
            group->addButton(b);
            v->addWidget(b);
            // The 125000 option is never shown selected: that speed is kept
            // only until the next start.
            if (i > 0 && kSpeeds[i] == selected) b->setChecked(true);
            connect(b, &QRadioButton::clicked, this, [b, set, i] {
                if (b->isChecked()) set(kSpeeds[i]);
            });
        }
        frames->addWidget(box);
    };
    frame("Frame2", "Running and Acquisition", working, current, [&s](int32_t v) { s.Baud_rate = v; });
    frame("Frame1", "Continuous", continuous, s.Baud_rate_high, [&s](int32_t v) { s.Baud_rate_high = v; });
    layout->addLayout(frames);
    auto* buttons = new QHBoxLayout;
    auto* save = Named(new QPushButton("Save and Exit", this), "Command1");
    auto* exit = Named(new QPushButton("EXIT", this), "Command2");
    buttons->addWidget(save);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] {
        QMessageBox box(QMessageBox::NoIcon, "QUELDA24",
                        "It is Mandatory to Power Off the System, click Exit and start App again", QMessageBox::Ok,
                        this);
        box.setObjectName("BR_Change_message");
        box.exec();
        accept();
    });
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace q24
