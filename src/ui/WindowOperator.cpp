#include "ui/WindowOperator.h"

#include <QGuiApplication>
#include <QScreen>

#include "acquisition/TriggerUnits.h"
#include "acquisition/forms/Message.h"
#include "acquisition/forms/Passive_seismic.h"
#include "acquisition/forms/Review_hit.h"
#include "acquisition/forms/acquisizione.h"
#include "analysis/forms/geometria.h"
#include "display/forms/TracePicture.h"
#include "files/forms/Percorsofile.h"
#include "files/forms/Percorsofile_tr.h"
#include "link/forms/Rs232.h"
#include "program/Program.h"
#include "ui/DialogAwait.h"
#include "ui/analog.h"

namespace q24 {

WindowOperator::WindowOperator(analog& window) : PanelRelay(window), window_(window) {}

WindowOperator::~WindowOperator() = default;

void WindowOperator::attach(Program& program) {
    program_ = &program;
    // Every change of the timed recording refreshes its dialog and wakes the
    // sequence that awaits the dialog, which looks again.
    program.timed().changed = [this] {
        if (timed_) timed_->refresh();
        program_->waits().wake();
    };
}

void WindowOperator::showMainWindow() {
    // The trace picture wants the whole screen: the window opens maximized
    // (sized to the screen by hand as well, for desktops without a manager).
    if (QScreen* screen = QGuiApplication::primaryScreen()) window_.setGeometry(screen->availableGeometry());
    window_.showMaximized();
}

int WindowOperator::pictureWidth() const { return window_.picture()->width(); }

void WindowOperator::choosePort() {
    Rs232 dialog(program_->owner(), program_->link(), program_->state(), &window_);
    dialog.exec();
}

Task<void> WindowOperator::geometry() {
    State& s = program_->state();
    co_await AwaitAndRead(new geometria(s, Unit_letter(s), program_->regional().decimal, &window_), 0,
                          [](geometria&) { return 0; });
}

Task<SaveResult> WindowOperator::saveTrigger() {
    // Over the passive dialog when a passive recording is saved.
    QWidget* over = &window_;
    for (auto* d : window_.findChildren<Passive_seismic*>())
        if (d->isVisible()) over = d;
    return AwaitAndRead(new Percorsofile_tr(program_->state(), program_->panel(), program_->files(), over),
                        SaveResult::Closed, [](Percorsofile_tr& d) { return d.result(); });
}

Task<SaveResult> WindowOperator::saveTimed() {
    State& s = program_->state();
    std::vector<std::string> texts;
    for (int k = 1; k <= s.N_Geofoni; ++k) texts.push_back(program_->channels().text(k));
    QWidget* over = timedShown() ? static_cast<QWidget*>(timed_) : &window_;
    return AwaitAndRead(new Percorsofile(s, program_->panel(), program_->files(), texts, over), SaveResult::Closed,
                        [](Percorsofile& d) { return d.result(); });
}

Task<HitChoice> WindowOperator::reviewHit(int hit, const TraceArray& traces) {
    return AwaitAndRead(new Review_hit(program_->state(), hit, traces, &window_), HitChoice::Reject,
                        [](Review_hit& d) { return d.choice(); });
}

void WindowOperator::waitMessage(bool shown) {
    if (!message_) message_ = new Message(&window_);
    if (shown) message_->showNow();
    else message_->hide();
}

bool WindowOperator::timedShown() const { return timed_ && timed_->isVisible(); }

// Shows the timed dialog, set up for a recording, and returns once it has
// closed and its last handler has ended: its closing and every change of the
// timed recording wake the wait. A cancellation (the program ends) closes it;
// a recording under way stops and resets by itself, and since nothing may
// wake the wait after that, it then looks again every 50 ms.
Task<void> WindowOperator::timedSampling() {
    TimedMode& mode = program_->timed();
    Waits& waits = program_->waits();
    if (!timed_) {
        timed_ = new acquisizione(mode, &window_);
        QObject::connect(timed_, &QDialog::finished, timed_, [&waits] { waits.wake(); });
    }
    mode.Prepare();
    timed_->show();
    for (;;) {
        if (waits.cancelled() && timedShown()) timed_->done(QDialog::Rejected);
        if (!timedShown() && !mode.busy()) co_return;
        co_await waits.until(-1, waits.cancelled() ? waits.now() + 0.05 : Waits::kNever);
    }
}

Task<void> WindowOperator::passiveSeismic() {
    return Passive_seismic::Run(program_->passive(), program_->waits(), &window_);
}

void WindowOperator::endProgram() { program_->end(0); }

}  // namespace q24
