#include "acquisition/forms/Channels_setting.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "acquisition/ChannelSettings.h"
#include "link/forms/FormParts.h"

namespace q24 {

namespace {
QString colour(SlotColour c) { return QString("rgb(%1, %2, %3)").arg(c.r).arg(c.g).arg(c.b); }

// The PC at the head of the unit chain, as the panel has always drawn it.
QWidget* pcDrawing(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    auto* pc = Named(new QLabel("PC", box), "Label2");
    pc->setAlignment(Qt::AlignCenter);
    pc->setFixedSize(56, 40);
    pc->setStyleSheet("border: 2px solid black; background: rgb(192, 192, 192); font-weight: bold;");
    v->addWidget(pc, 0, Qt::AlignHCenter);
    auto* line = new QFrame(box);
    line->setFrameShape(QFrame::VLine);
    line->setLineWidth(2);
    v->addWidget(line, 1, Qt::AlignHCenter);
    return box;
}
}  // namespace

Channels_setting::Channels_setting(ChannelSettings& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("Channels_setting");
    setWindowTitle(" ");  // the dialog has no title text

    // Two columns of twelve slotGrid, each: trigger choice, unit number, selection.
    auto* slotGrid = new QWidget(this);
    auto* grid = new QGridLayout(slotGrid);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    for (int half = 0; half < 2; ++half) {
        auto* head = new QLabel("Enable Channels", slotGrid);
        if (half == 0) head->setObjectName("Label1");
        grid->addWidget(head, 0, half * 4 + 2);
    }
    auto* options = new QButtonGroup(this);
    options->setExclusive(false);  // none may be selected; ChannelSettings keeps one at most
    for (int i = 1; i <= ChannelSettings::kSlots; ++i) {
        const int row = (i - 1) % 12 + 1, col = (i - 1) / 12 * 4;
        auto* num = new QLabel(QString::number(i), slotGrid);
        num->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(num, row, col);
        Option_[i] = new QRadioButton(slotGrid);
        Option_[i]->setObjectName(QString("Option%1").arg(i));
        options->addButton(Option_[i]);
        grid->addWidget(Option_[i], row, col + 1);
        Text_[i] = new QLineEdit(slotGrid);
        Text_[i]->setObjectName(QString("Text%1").arg(i));
        Text_[i]->setFixedWidth(64);
        grid->addWidget(Text_[i], row, col + 2);
        Check_[i] = new QCheckBox(slotGrid);
        Check_[i]->setObjectName(QString("Check%1").arg(i));
        Check_[i]->setMinimumWidth(70);
        grid->addWidget(Check_[i], row, col + 3);
        connect(Text_[i], &QLineEdit::textEdited, this,
                [this, i](const QString& t) { logic_.setText(i, t.toStdString()); });
        connect(Check_[i], &QCheckBox::clicked, this, [this, i](bool on) { logic_.setChecked(i, on); });
        connect(Option_[i], &QRadioButton::clicked, this, [this, i] { logic_.clickOption(i); });
    }
    grid->setColumnMinimumWidth(4, 24);

    auto* frame = Named(new QGroupBox(this), "Frame1");
    auto* fl = new QVBoxLayout(frame);
    const char* names[] = {"a", "b", "c", "d"};
    const char* captions[] = {"1 -> 24", "25 -> 48", "49 -> 72", "73 -> 96"};
    for (int g = 0; g < 4; ++g) {
        group_[g] = new QRadioButton(captions[g], frame);
        group_[g]->setObjectName(names[g]);
        fl->addWidget(group_[g]);
        connect(group_[g], &QRadioButton::clicked, this, [this, g] { logic_.selectGroup(g); });
    }
    sett_all_ = Named(new QCheckBox("Set all Channels", this), "sett_all");
    connect(sett_all_, &QCheckBox::clicked, this, [this](bool on) { logic_.setSettAll(on); });
    auto* ok = Named(new QPushButton("OK", this), "Command1");
    connect(ok, &QPushButton::clicked, this, [this] {
        logic_.OK();
        accept();  // hidden, not destroyed
    });

    find_ = Named(new QPushButton("FIND UNITS", this), "Find_units");
    connect(find_, &QPushButton::clicked, this, [this] {
        if (finding_) {
            if (stopFinding) stopFinding();
            return;
        }
        if (!findUnits) return;
        finding_ = true;
        find_->setText("STOP");
        findUnits([self = QPointer<Channels_setting>(this)] {
            if (!self) return;
            self->finding_ = false;
            self->find_->setText("FIND UNITS");
        });
    });

    auto* side = new QVBoxLayout;
    side->addWidget(pcDrawing(this), 1);
    side->addWidget(frame);
    side->addWidget(sett_all_);
    side->addSpacing(12);
    side->addWidget(find_);
    side->addWidget(ok);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(side);
    layout->addWidget(slotGrid, 1);

    // The logic may outlive the dialog or die first (both belong to the
    // program's end); the guard keeps a late notice from reaching a dead one.
    logic_.changed = [self = QPointer<Channels_setting>(this), previous = logic_.changed] {
        if (self) self->refresh();
        if (previous) previous();
    };
    refresh();
}

void Channels_setting::refresh() {
    for (int g = 0; g < 4; ++g) {
        group_[g]->setChecked(logic_.group() == g);
        group_[g]->setEnabled(logic_.groupEnabled(g));
    }
    sett_all_->setChecked(logic_.settAll());
    for (int i = 1; i <= ChannelSettings::kSlots; ++i) {
        const ChannelSettings::Slot& s = logic_.slot(i);
        const QString text = QString::fromStdString(s.text);
        if (Text_[i]->text() != text) Text_[i]->setText(text);
        Text_[i]->setEnabled(s.textEnabled);
        const QString textStyle =
            s.textBackground == kSlotWhite ? QString() : "background-color: " + colour(s.textBackground) + ";";
        if (Text_[i]->styleSheet() != textStyle) Text_[i]->setStyleSheet(textStyle);
        Check_[i]->setChecked(s.checked);
        Check_[i]->setEnabled(s.checkEnabled);
        Check_[i]->setText(QString::fromStdString(s.checkCaption));
        const QString checkStyle =
            s.checkBackground ? "background-color: " + colour(*s.checkBackground) + ";" : QString();
        if (Check_[i]->styleSheet() != checkStyle) Check_[i]->setStyleSheet(checkStyle);
        Option_[i]->setChecked(s.option);
        Option_[i]->setEnabled(s.optionEnabled);
    }
}

}  // namespace q24
