#include "link/forms/Rs232.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/LineOwner.h"
#include "link/Link.h"
#include "link/PortChoice.h"
#include "link/forms/FormParts.h"
#include "state/State.h"

namespace q24 {

Rs232::Rs232(LineOwner& owner, Link& link, State& s, QWidget* parent)
    : QDialog(parent), owner_(owner), link_(link), s_(s) {
    setObjectName("Rs232");
    setWindowTitle("RS232");
    auto* layout = new QVBoxLayout(this);
    auto* select = Named(new QLabel("Select a Port", this), "Label3");
    select->setStyleSheet("font-weight: bold; font-size: 13pt;");
    layout->addWidget(select);
    auto* caption = Named(new QLabel("Serial Ports Numbers :", this), "Label2");
    layout->addWidget(caption);
    list_ = Named(new QLabel(this), "Label1");
    list_->setFrameShape(QFrame::Panel);
    list_->setFrameShadow(QFrame::Sunken);
    list_->setMinimumWidth(260);
    list_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(list_);
    text1_ = Named(new QLineEdit(this), "Text1");
    text1_->setAlignment(Qt::AlignCenter);
    text1_->installEventFilter(this);
    layout->addWidget(text1_);
    // The digit pad: buttons 1 to 9 in rows, 0 below.
    auto* pad = new QGridLayout;
    const char* names[] = {"Command11", "Command10", "Command2", "Command3", "Command4",
                           "Command5",  "Command6",  "Command7", "Command8", "Command9"};
    for (int d = 0; d <= 9; ++d) {
        auto* b = new QPushButton(QString::number(d), this);
        b->setObjectName(names[d]);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, d] { text1_->setText(text1_->text() + QString::number(d)); });
        if (d == 0) pad->addWidget(b, 3, 1);
        else pad->addWidget(b, (d - 1) / 3, (d - 1) % 3);
    }
    layout->addLayout(pad);
    auto* go = Named(new QPushButton("Continue", this), "Command1");
    go->setAutoDefault(false);
    connect(go, &QPushButton::clicked, this, &Rs232::continueClicked);
    layout->addWidget(go);

    link_.ProbePorts();
    list_->setText(QString::fromStdString(link_.PortListText()));
}

bool Rs232::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_ && event->type() == QEvent::KeyPress) {
        const QString t = static_cast<QKeyEvent*>(event)->text();
        if (!t.isEmpty() && !PortKeyAccepted(t.at(0).unicode())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Rs232::continueClicked() {
    s_.Com_port = static_cast<int16_t>(PortNumberOf(text1_->text().toStdString()));
    if (s_.Com_port < 1 || s_.Com_port > 16) return;
    // Opening moves the units to the working speed (about a second); the
    // dialog closes once the line is there.
    owner_.request(Command::BaudRate, Activity::SpeedChange, [this, self = QPointer<Rs232>(this)]() -> Task<void> {
        const int opened = co_await link_.Open_port();
        if (opened && self) accept();
    });
}

}  // namespace q24
