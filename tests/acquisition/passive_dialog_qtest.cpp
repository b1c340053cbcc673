// The passive seismic dialog as the operator uses it, opened through the owner
// of the line, idle, recording, and stopped by ESC or the program's end.
#include <QApplication>
#include <QProgressBar>
#include <QRadioButton>

#include "acquisition/forms/Passive_seismic.h"
#include "passive_rig.h"
#include "support/DialogTest.h"

namespace q24 {

namespace {

// PASSIVE SEISMIC as the main window asks for it; the dialog it opened.
Passive_seismic* Open(test::Rig& r) {
    r.owner.request(Command::Passive, Activity::Passive,
                    [&r] { return Passive_seismic::Run(r.passive, r.line, nullptr); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<Passive_seismic*>(w); d && d->isVisible()) return d;
    qFatal("the passive dialog did not open");
}

QRadioButton* Rate(const QWidget& d, const char* name) { return test::Find<QRadioButton>(d, name); }
int Progress(const QWidget& d) { return test::Find<QProgressBar>(d, "ProgressBar1")->value(); }
bool StartOn(const QWidget& d) { return test::Find<QAbstractButton>(d, "Command2")->isEnabled(); }

}  // namespace

class PassiveDialogTest : public QObject {
    Q_OBJECT

private slots:
    void minutesAndRates() {
        test::Rig r(1);
        r.s->Finestra_tempo = 2;
        Passive_seismic& d = *Open(r);
        QVERIFY(Rate(d, "FS125")->isChecked());
        for (auto [button, minutes] : {std::pair{"Command6", "1"}, {"Command6", "59"}, {"Command5", "1"}}) {
            test::Click(d, button);
            QCOMPARE(test::Caption(d, "Finestra_tempo_acq"), QString(minutes));
        }
        test::ClickIndicator(Rate(d, "FS500"));
        QVERIFY(r.passive.controls().frequency == 500 && !Rate(d, "FS125")->isChecked());
        test::SaveScreenshot(d, "passive_seismic");
        // ESC when idle closes the dialog, and PASSIVE SEISMIC's sequence ends.
        test::Click(d, "Command1");
        QVERIFY(!d.isVisible());
        r.runUntilIdle();
        QCOMPARE(r.owner.activity(), Activity::Idle);
    }

    void startRecordsShowsItsProgressAndTheDialogOpensAgainAsDrawn() {
        test::Rig r(2);
        r.s->Finestra_tempo = 1;
        Passive_seismic* d = Open(r);
        test::ClickIndicator(Rate(*d, "FS250"));  // two blocks
        QStringList seen;
        int progress = 0;
        r.line.onYield = [&] {
            const QString info = test::Caption(*d, "Informazioni");
            if (seen.isEmpty() || seen.back() != info) {
                seen << info;
                if (info == "Data Transmission CH 2") test::SaveScreenshot(*d, "passive_seismic_recording");
            }
            progress = std::max(progress, Progress(*d));
        };
        r.panel.answers = {Answer::Yes};
        test::Click(*d, "Command2");
        QVERIFY(!StartOn(*d) && !Rate(*d, "FS125")->isEnabled());
        r.line.runUntil([&] { return !r.passive.started(); });
        QCOMPARE(r.panel.questions.front(), std::string("Samples Number=16384"));
        QVERIFY(seen.contains("Acquiring") && seen.contains("Data Transmission CH 2"));
        QCOMPARE(std::pair(progress, r.saves), std::pair(100, 1));
        QVERIFY(!StartOn(*d) && std::filesystem::exists(r.home / "data.txt"));  // START waits for a reopening

        r.line.onYield = nullptr;
        test::Click(*d, "Command1");
        r.runUntilIdle();
        d = Open(r);
        QVERIFY(Rate(*d, "FS125")->isChecked() && StartOn(*d));
        QCOMPARE(std::pair(test::Caption(*d, "Informazioni"), Progress(*d)), std::pair(QString(), 0));
        test::Click(*d, "Command1");
        r.runUntilIdle();
    }

    void escStopsARecordingAndTheProgramEndingClosesTheDialog() {
        for (bool ending : {false, true}) {
            test::Rig r(2);
            r.s->Finestra_tempo = 1;
            Passive_seismic* d = Open(r);
            bool pressed = false;
            r.line.onYield = [&] {
                if (pressed || !r.passive.recording() || r.line.t <= 5) return;
                pressed = true;
                if (ending) return r.owner.cancel(CancelReason::Ending);
                test::Click(*d, "Command1");
                QVERIFY(d->isVisible() && !Rate(*d, "FS250")->isEnabled());
            };
            r.panel.answers = {Answer::Yes};
            test::Click(*d, "Command2");
            if (ending) {  // the sequence ends with the dialog closed, nothing shown
                r.runUntilIdle();
                QVERIFY(!d->isVisible() && r.panel.messages.empty());
                continue;
            }
            r.line.runUntil([&] { return !r.passive.started(); });
            QVERIFY(pressed && d->isVisible());
            QCOMPARE(r.panel.messages.back(), std::string("The recording ended early: no block was recorded whole."));
            QVERIFY(Rate(*d, "FS250")->isEnabled());
            test::Click(*d, "Command1");
            r.runUntilIdle();
        }
    }
};

}  // namespace q24

QTEST_MAIN(q24::PassiveDialogTest)
#include "passive_dialog_qtest.moc"
