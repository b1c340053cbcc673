#include "ui/analog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "display/forms/TracePicture.h"
#include "ui/DialogAwait.h"
#include "ui/FlowBar.h"

namespace q24 {

namespace {

struct MenuEntry {
    Ctl ctl;
    const char* name;
    const char* caption;
};

// The menu bar, in its order.
constexpr MenuEntry kMenu[] = {
    {Ctl::File_load, "File_load", "FILE"},
    {Ctl::RESETTA, "RESETTA", "RESET"},
    {Ctl::codice, "codice", "CODE"},
    {Ctl::Stack, "Stack", "STACKING"},
    {Ctl::Trigger_units, "Trigger_units", "TRIGGER UNITS"},
    {Ctl::sss, "sss", "GEOMETRY"},
    {Ctl::canali, "canali", "CHANNELS"},
    {Ctl::parameters, "parameters", "PARAMETERS"},
    {Ctl::displ, "displ", "DISPLAY"},
    {Ctl::SPECTRE, "SPECTRE", "SPECTRUM"},
    {Ctl::Acq_pezzi, "Acq_pezzi", "PASSIVE SEISMIC"},
    {Ctl::Refraction, "Refraction", "REFRACTION"},
    {Ctl::Init_par, "Init_par", "Initialisation Parameters"},
    {Ctl::Running_parameters, "Running_parameters", "Running Parameters"},
    {Ctl::Trg_corr, "Trg_corr", "Trigger time setup"},
    {Ctl::B_R, "B_R", "Baud Rate"},
    {Ctl::uscita, "uscita", "EXIT"},
};

// A caption above a value, centred on it, as the panel's pairs stand.
QWidget* pair(QWidget* parent, QWidget* caption, QWidget* value, QWidget* after = nullptr) {
    auto* box = new QWidget(parent);
    box->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setVerticalSpacing(2);
    grid->addWidget(caption, 0, 0, 1, after ? 2 : 1, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(value, 1, 0, Qt::AlignHCenter | Qt::AlignTop);
    if (after) grid->addWidget(after, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    return box;
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

analog::analog(QWidget* parent) : QMainWindow(parent) {
    setObjectName("analog");
    setWindowTitle(kCaption);
    buildMenu();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    setCentralWidget(central);
    buildPanel();
    panelArea_ = new QScrollArea(central);
    panelArea_->setObjectName("Frame2_area");
    panelArea_->setFrameShape(QFrame::NoFrame);
    panelArea_->setWidgetResizable(true);
    panelArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    panelArea_->setWidget(frame2_);
    layout->addWidget(panelArea_);
    buildPicture();
    layout->addWidget(picture_, 1);
    auto* progress = new QProgressBar(central);
    progress->setObjectName("ProgressBar1");
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    progress->setMaximumHeight(14);
    widgets_[Ctl::ProgressBar1] = progress;
    // Bottom row: progress, line speed and the running-mode values.
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(16);
    bottom->addWidget(progress, 1);
    for (auto [ctl, name] : {std::pair{Ctl::Baudrate_lbl, "Baudrate_lbl"}, std::pair{Ctl::Label5, "Label5"},
                             std::pair{Ctl::Label2, "Label2"}}) {
        auto* l = new QLabel(central);
        l->setObjectName(name);
        l->setMinimumWidth(110);
        widgets_[ctl] = l;
        bottom->addWidget(l);
    }
    layout->addLayout(bottom);
    resize(1280, 800);
    if (qEnvironmentVariableIsSet("Q24_DEBUG_SIZES"))
        qInfo("minimum %d, panel %d, menu %d", minimumSizeHint().width(), frame2_->minimumSizeHint().width(),
              menuWidget()->sizeHint().width());
}

void analog::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const bool narrow = panelArea_->width() < frame2_->minimumSizeHint().width();
    panelArea_->setFixedHeight(frame2_->sizeHint().height() +
                               (narrow ? panelArea_->horizontalScrollBar()->sizeHint().height() : 0));
}

void analog::buildMenu() {
    auto* bar = new FlowBar(this);
    bar->setObjectName("menubar");
    setMenuWidget(bar);
    for (const MenuEntry& e : kMenu) {
        auto* a = new QAction(e.caption, this);
        bar->add(a);
        a->setObjectName(e.name);
        a->setEnabled(false);  // enabled once its command is registered
        actions_[e.ctl] = a;
        connect(a, &QAction::triggered, this, [this, c = e.ctl] { run(c); });
    }
}

QLabel* analog::label(Ctl control, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, frame2_);
    l->setObjectName(name);
    widgets_[control] = l;
    return l;
}

void analog::buildPanel() {
    frame2_ = new QFrame(this);
    frame2_->setObjectName("Frame2");
    frame2_->setFrameShape(QFrame::StyledPanel);
    widgets_[Ctl::Frame2] = frame2_;
    auto* row = new QHBoxLayout(frame2_);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);

    toolbar_ = new QToolBar(frame2_);
    toolbar_->setObjectName("Toolbar2");
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setIconSize({20, 20});
    const std::pair<const char*, QStyle::StandardPixmap> buttons[] = {
        {"GO RUNNING", QStyle::SP_MediaPlay},
        {"STOP", QStyle::SP_MediaStop},
        {"GO TRIGGER", QStyle::SP_MediaSeekForward},
    };
    const char* keys[] = {"GO_RUNNING", "STOP", "GO_TRIGGER"};
    const Ctl toolCtl[] = {Ctl::GO_RUNNING, Ctl::STOP, Ctl::GO_TRIGGER};
    for (int i = 0; i < 3; ++i) {
        QAction* a = toolbar_->addAction(style()->standardIcon(buttons[i].second), buttons[i].first);
        a->setObjectName(keys[i]);
        a->setEnabled(false);
        actions_[toolCtl[i]] = a;
        connect(a, &QAction::triggered, this, [this, c = toolCtl[i]] { run(c); });
    }
    toolbar_->setMinimumWidth(toolbar_->sizeHint().width());
    widgets_[Ctl::Toolbar2] = toolbar_;
    row->addWidget(toolbar_);

    row->addLayout(buildSampleAndNoise());

    QLabel* testo = label(Ctl::testo, "testo");
    testo->setWordWrap(true);
    testo->setMinimumWidth(90);
    testo->setMaximumWidth(420);
    testo->setFrameShape(QFrame::Panel);
    testo->setFrameShadow(QFrame::Sunken);
    testo->setAlignment(Qt::AlignCenter);
    row->addWidget(testo, 2);

    // Mouse readout: time and its unit, trace number.
    auto* readout = new QWidget(frame2_);
    readout->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* rg = new QGridLayout(readout);
    rg->setContentsMargins(2, 0, 2, 0);
    rg->setVerticalSpacing(2);
    QLabel* l1 = label(Ctl::Label1, "Label1");
    l1->setMinimumWidth(48);
    l1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rg->addWidget(l1, 0, 0);
    rg->addWidget(label(Ctl::Label3, "Label3"), 0, 1);
    QLabel* canale = label(Ctl::Canale, "Canale");
    canale->setMinimumWidth(28);
    canale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rg->addWidget(canale, 1, 0);
    rg->addWidget(label(Ctl::Label4, "Label4", "CH"), 1, 1);
    row->addWidget(readout);
    row->addStretch(1);
    row->addWidget(separator(frame2_));

    row->addStretch(1);
    row->addWidget(pair(frame2_, label(Ctl::Samples, "Samples", "Samples"), label(Ctl::N_samples, "N_samples")));

    auto* scroll = new QScrollBar(Qt::Vertical, frame2_);
    scroll->setObjectName("VScroll1");
    scroll->setRange(1, 500);
    scroll->setValue(1);
    scroll->setFixedHeight(36);
    widgets_[Ctl::VScroll1] = scroll;
    connect(scroll, &QScrollBar::valueChanged, this, &analog::traceCountChanged);
    QLabel* geo = label(Ctl::N_Geofoni, "N_Geofoni");
    geo->setMinimumWidth(24);
    geo->setAlignment(Qt::AlignCenter);
    row->addStretch(1);
    row->addWidget(pair(frame2_, label(Ctl::Geophones_number, "Geophones_number", "GEOPHONES Number"), geo, scroll));

    auto* freq = pair(frame2_, label(Ctl::Sampl_freq, "Sampl_freq", "Sampling Frequency:"),
                      label(Ctl::Sampling_freq, "Sampling_freq"), label(Ctl::Hz, "Hz", "Hz"));
    QLabel* trg = label(Ctl::Trigger_lbl, "Trigger_lbl");
    static_cast<QGridLayout*>(freq->layout())->addWidget(trg, 2, 0, 1, 2, Qt::AlignHCenter);
    trg->setVisible(false);
    row->addStretch(1);
    row->addWidget(freq);

    row->addStretch(1);
    row->addWidget(pair(frame2_, label(Ctl::Sampl_duration, "Sampl_duration", "Sampling duration:"),
                        label(Ctl::durata, "durata"), label(Ctl::Label12, "Label12")));
    row->addWidget(separator(frame2_));

    auto* gains = new QWidget(frame2_);
    auto* gg = new QGridLayout(gains);
    gg->setContentsMargins(2, 0, 2, 0);
    gg->setVerticalSpacing(0);
    const std::tuple<Ctl, const char*, const char*> gainButtons[] = {
        {Ctl::TrueAmp, "TrueAmp", "A = 1"},      {Ctl::A10, "A10", "A = 10"},
        {Ctl::A100, "A100", "A = 100"},          {Ctl::A1000, "A1000", "A = 1000"},
        {Ctl::Auto_rng, "Auto_rng", "Autorange"},
    };
    auto* group = new QButtonGroup(this);
    int i = 0;
    for (auto [ctl, name, caption] : gainButtons) {
        auto* b = new QRadioButton(caption, gains);
        b->setObjectName(name);
        group->addButton(b);
        widgets_[ctl] = b;
        connect(b, &QRadioButton::clicked, this, [this, c = ctl] { run(c); });
        gg->addWidget(b, i % 3, i / 3);
        ++i;
    }
    static_cast<QRadioButton*>(widgets_[Ctl::Auto_rng])->setChecked(true);  // Gain 0 at start
    row->addStretch(1);
    row->addWidget(gains);
}

QLayout* analog::buildSampleAndNoise() {
    auto* sample = new QPushButton("Continuous sampling", frame2_);
    sample->setObjectName("puls_sample");
    sample->setEnabled(false);
    widgets_[Ctl::puls_sample] = sample;
    connect(sample, &QPushButton::clicked, this, [this] { run(Ctl::puls_sample); });
    noiseSwitch_ = new QCheckBox("Noise monitor", frame2_);
    noiseSwitch_->setObjectName("Noise_view");
    auto* column = new QVBoxLayout;
    column->addWidget(sample);
    column->addWidget(noiseSwitch_, 0, Qt::AlignHCenter);
    return column;
}

void analog::buildPicture() {
    picture_ = new TracePicture(this);
    widgets_[Ctl::Grafico_multiplo] = picture_;
    // Indications shown over the picture's top edge.
    auto* overlay = new QHBoxLayout;
    overlay->setContentsMargins(6, 6, 6, 6);
    auto* exitTrigger = new QPushButton("Exit from Trigger", picture_);
    exitTrigger->setObjectName("Termina_trigger");
    exitTrigger->setVisible(false);
    widgets_[Ctl::Termina_trigger] = exitTrigger;
    connect(exitTrigger, &QPushButton::clicked, this, [this] { run(Ctl::Termina_trigger); });
    overlay->addWidget(exitTrigger);
    const std::tuple<Ctl, const char*> marks[] = {
        {Ctl::numero_acquisizione, "numero_acquisizione"},
        {Ctl::Unita_errata1, "Unit\u00e0_errata1"},
        {Ctl::Frame_error, "Frame_error"},
    };
    for (auto [ctl, name] : marks) {
        auto* l = new QLabel(picture_);
        l->setObjectName(QString::fromUtf8(name));
        l->setStyleSheet(ctl == Ctl::numero_acquisizione ? "font-weight: bold; font-size: 14pt;"
                                                          : "color: red; font-weight: bold;");
        l->setVisible(false);
        widgets_[ctl] = l;
        overlay->addWidget(l);
    }
    overlay->addStretch(1);
    auto* v = new QVBoxLayout(picture_);
    v->setContentsMargins(0, 0, 0, 0);
    v->addLayout(overlay);
    v->addStretch(1);
    auto* zero = new QFrame(picture_);
    zero->setObjectName("zero_line");
    zero->setFrameShape(QFrame::HLine);
    zero->setStyleSheet("color: green;");
    zero->setVisible(false);
    widgets_[Ctl::zero_line] = zero;
    picture_->installEventFilter(this);
}

void analog::placeZeroLine(double fraction) {
    zeroFraction_ = std::isfinite(fraction) ? fraction : 0.0;
    layoutZeroLine();
}

void analog::layoutZeroLine() {
    QWidget* zero = widgets_[Ctl::zero_line];
    const double y = std::clamp(zeroFraction_, -1.0, 2.0) * picture_->height();
    zero->setGeometry(0, static_cast<int>(std::lround(y)) - 1, picture_->width(), 3);
}

bool analog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::Resize) layoutZeroLine();
    return QMainWindow::eventFilter(watched, event);
}

QAction* analog::toolbarAction(int index) const {
    static constexpr Ctl toolCtl[] = {Ctl::GO_RUNNING, Ctl::STOP, Ctl::GO_TRIGGER};
    return actions_.at(toolCtl[index]);
}

int analog::traceCount() const { return static_cast<QScrollBar*>(widgets_.at(Ctl::VScroll1))->value(); }

void analog::setCommand(Ctl control, std::function<void()> action) {
    const bool has = static_cast<bool>(action);
    commands_[control] = std::move(action);
    if (auto a = actions_.find(control); a != actions_.end()) a->second->setEnabled(has);
    if (control == Ctl::puls_sample) return;  // its state follows the sampling rate
    if (auto w = widgets_.find(control); w != widgets_.end() && !has) w->second->setEnabled(false);
}

void analog::run(Ctl control) {
    if (gate && !gate(control)) return;
    auto it = commands_.find(control);
    if (it != commands_.end() && it->second) it->second();
}

void analog::setText(Ctl control, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (auto a = actions_.find(control); a != actions_.end()) {
        a->second->setText(t);
        return;
    }
    auto w = widgets_.find(control);
    if (w == widgets_.end()) return;
    if (auto* l = qobject_cast<QLabel*>(w->second)) l->setText(t);
    else if (auto* b = qobject_cast<QAbstractButton*>(w->second)) b->setText(t);
}

std::string analog::text(Ctl control) const {
    if (auto a = actions_.find(control); a != actions_.end()) return a->second->text().toStdString();
    auto w = widgets_.find(control);
    if (w == widgets_.end()) return {};
    if (auto* l = qobject_cast<QLabel*>(w->second)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w->second)) return b->text().toStdString();
    return {};
}

void analog::setEnabled(Ctl control, bool enabled) {
    // The panel's input controls are usable when the panel is enabled and they
    // are enabled themselves, each keeping its own state while the panel is
    // off ("Continuous sampling" stays off at the high rates, the toolbar
    // after a low rate was chosen); the panel's labels stay readable.
    static constexpr Ctl kPanelInputs[] = {Ctl::Toolbar2, Ctl::puls_sample, Ctl::VScroll1, Ctl::TrueAmp,
                                           Ctl::A10,      Ctl::A100,        Ctl::A1000,    Ctl::Auto_rng};
    static constexpr const char* kOwn = "q24OwnEnabled";
    static constexpr const char* kPanelOn = "q24PanelEnabled";
    auto own = [](QWidget* w) {
        const QVariant v = w->property(kOwn);
        return v.isValid() ? v.toBool() : w->isEnabled();
    };
    if (control == Ctl::Frame2) {
        frame2_->setProperty(kPanelOn, enabled);
        for (Ctl c : kPanelInputs) {
            QWidget* w = widgets_[c];
            const bool itself = own(w);
            w->setProperty(kOwn, itself);
            w->setEnabled(enabled && itself);
        }
        return;
    }
    if (auto a = actions_.find(control); a != actions_.end()) {
        a->second->setEnabled(enabled && commands_.count(control) && commands_[control]);
        return;
    }
    auto w = widgets_.find(control);
    if (w == widgets_.end()) return;
    if (std::find(std::begin(kPanelInputs), std::end(kPanelInputs), control) != std::end(kPanelInputs)) {
        const QVariant panelOn = frame2_->property(kPanelOn);
        w->second->setProperty(kOwn, enabled);
        w->second->setEnabled(enabled && (!panelOn.isValid() || panelOn.toBool()));
        return;
    }
    w->second->setEnabled(enabled);
}

void analog::setVisible(Ctl control, bool visible) {
    if (auto a = actions_.find(control); a != actions_.end()) {
        a->second->setVisible(visible);
        return;
    }
    if (auto w = widgets_.find(control); w != widgets_.end()) w->second->setVisible(visible);
}

void analog::setValue(Ctl control, int value) {
    auto w = widgets_.find(control);
    if (w == widgets_.end()) return;
    if (auto* s = qobject_cast<QScrollBar*>(w->second)) s->setValue(value);
    else if (auto* p = qobject_cast<QProgressBar*>(w->second)) p->setValue(value);
}

void analog::message(const std::string& text, const std::optional<std::string>& title) {
    std::unique_ptr<QMessageBox> b(box(text, Buttons::Ok, title, false));
    b->exec();
}

void analog::clearPicture() { picture_->Clear(); }

void analog::plotTrace(int trace, int style) { picture_->PlotTrace(trace, style); }

void analog::setPictureBackground(int red, int green, int blue) { picture_->setBackground(QColor(red, green, blue)); }

QMessageBox* analog::box(const std::string& text, Buttons buttons, const std::optional<std::string>& title,
                         bool question) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Buttons::Ok: set = QMessageBox::Ok; break;
        case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
        case Buttons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    return new QMessageBox(question ? QMessageBox::Question : QMessageBox::NoIcon,
                           QString::fromStdString(title.value_or(kTitle)), QString::fromStdString(text), set, this);
}

namespace {

Answer AnswerOf(QMessageBox::StandardButton b, Buttons buttons) {
    switch (b) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

}  // namespace

Answer analog::ask(Question, const std::string& text, Buttons buttons, const std::optional<std::string>& title) {
    std::unique_ptr<QMessageBox> b(box(text, buttons, title, true));
    return AnswerOf(static_cast<QMessageBox::StandardButton>(b->exec()), buttons);
}

Task<Answer> analog::askAsync(Question, const std::string& text, Buttons buttons, const std::optional<std::string>& title) {
    QPointer<QMessageBox> b = box(text, buttons, title, true);
    b->setAttribute(Qt::WA_DeleteOnClose);
    awaited_.push_back(b.data());
    OpenAwaited(b.data());
    // The button pressed is the result the box finished with: the box closes
    // itself on the click and is gone by the time the sequence goes on.
    const int pressed = co_await DialogFinished{b.data()};
    co_return AnswerOf(static_cast<QMessageBox::StandardButton>(pressed), buttons);
}

Task<void> analog::messageAsync(const std::string& text, const std::optional<std::string>& title) {
    QPointer<QMessageBox> b = box(text, Buttons::Ok, title, false);
    b->setAttribute(Qt::WA_DeleteOnClose);
    awaited_.push_back(b.data());
    OpenAwaited(b.data());
    co_await DialogFinished{b.data()};
}

void analog::dismissQuestions() {
    auto boxes = std::exchange(awaited_, {});
    for (auto& b : boxes)
        if (b) b->close();  // as the close box does: Cancel, or No
    // Dialogs a sequence awaits (geometry, save) are closed the same way.
    for (QDialog* d : findChildren<QDialog*>())
        if (d->isVisible() && d->property(kAwaited).toBool()) d->reject();
}

void analog::closeEvent(QCloseEvent* event) {
    if (closeRequested && !closeRequested()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace q24
