#include "display/forms/Display.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "display/Redraw.h"

namespace q24 {

Display::Display(State& s, Panel& main, QWidget* parent) : QDialog(parent), s_(s), main_(main) {
    setObjectName("Display");
    setWindowTitle("TRACES DISPLAY OPTIONS");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(8);
    const std::pair<const char*, const char*> options[] = {
        {"Option1", "Normal"}, {"Option2", "RED/BLUE"}, {"Option3", "BLACK SOLID"}};
    for (int16_t mode = 1; mode <= 3; ++mode) {
        auto* b = new QRadioButton(options[mode - 1].second, this);
        b->setObjectName(options[mode - 1].first);
        b->setChecked(s_.Display_mode == mode);
        connect(b, &QRadioButton::toggled, this, [this, mode](bool selected) {
            if (selected) s_.Display_mode = mode;
        });
        layout->addWidget(b);
    }
    auto* note = new QLabel("Action valid only for Trigger", this);
    note->setObjectName("Label1");
    layout->addWidget(note);
    auto* done = new QPushButton("Done", this);
    done->setObjectName("Command1");
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, [this] {
        RedrawAll(s_, main_);
        accept();
    });
    layout->addWidget(done, 0, Qt::AlignHCenter);
}

}  // namespace q24
