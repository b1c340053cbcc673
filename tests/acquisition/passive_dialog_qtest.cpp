// The passive seismic dialog `Passive_seismic` as the operator uses it: its
// captions, the rate and minute buttons, a whole recording started by START
// and shown as it runs, ESC stopping a recording and closing the idle dialog.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

#include "acquisition/PassiveSeismicDialog.h"
#include "passive_rig.h"
#include "support/DialogTest.h"

namespace q24 {

class PassiveDialogTest : public QObject {
    Q_OBJECT

private slots:
    void captionsRatesAndMinutes() {
        test::Rig r(1);
        r.s->Finestra_tempo = 2;
        PassiveSeismicDialog d(r.passive);
        r.passive.changed = [&d] { d.refresh(); };
        r.passive.Form_Load();
        d.show();
        QCOMPARE(d.windowTitle(), QString("Passive Seismic"));
        QCOMPARE(d.objectName(), QString("Passive_seismic"));
        for (auto [name, text] : {std::pair{"FS125", "125Hz"}, {"FS250", "250Hz"}, {"FS500", "500Hz"}, {"Command5", ">>"},
                                  {"Command6", "<<"}, {"Command2", "START"}, {"Command1", "ESC"}})
            QCOMPARE(test::Find<QAbstractButton>(d, name)->text(), QString(text));
        QVERIFY(test::Find<QRadioButton>(d, "FS125")->isChecked());
        QCOMPARE(test::Find<QGroupBox>(d, "Frame1")->title(), QString("ACQUISITION TIME"));
        QCOMPARE(test::Caption(d, "Label1"), QString("Minuti"));
        test::Find<QLabel>(d, "Informazioni");
        test::Find<QProgressBar>(d, "ProgressBar1");
        QCOMPARE(test::Caption(d, "Finestra_tempo_acq"), QString("2"));
        test::Click(d, "Command6");
        test::Click(d, "Command6");
        QCOMPARE(test::Caption(d, "Finestra_tempo_acq"), QString("59"));
        test::Click(d, "Command5");
        QCOMPARE(test::Caption(d, "Finestra_tempo_acq"), QString("1"));
        test::ClickIndicator(test::Find<QRadioButton>(d, "FS500"));
        QCOMPARE(r.passive.controls().frequency, 500);
        QVERIFY(!test::Find<QRadioButton>(d, "FS125")->isChecked());
        test::SaveScreenshot(d, "passive_seismic");
        // ESC when idle closes the dialog.
        test::Click(d, "Command1");
        QVERIFY(!d.isVisible());
    }

    void startRecordsAndShowsItsProgress() {
        test::Rig r(2);
        r.s->Finestra_tempo = 1;
        PassiveSeismicDialog d(r.passive);
        QStringList seen;
        int progress = 0;
        r.passive.changed = [&] {
            d.refresh();
            const QString info = test::Caption(d, "Informazioni");
            if (seen.isEmpty() || seen.back() != info) seen << info;
            progress = std::max(progress, test::Find<QProgressBar>(d, "ProgressBar1")->value());
            if (info == "Data Transmission CH 2") test::SaveScreenshot(d, "passive_seismic_recording");
        };
        r.passive.Form_Load();
        d.show();
        r.panel.answers = {Answer::Yes};
        test::Click(d, "Command2");
        QCOMPARE(r.panel.questions.front(), std::string("Samples Number=8192"));
        QVERIFY(seen.contains("Acquiring"));
        QVERIFY(seen.contains("Data Transmission CH 2"));
        QCOMPARE(progress, 100);
        QCOMPARE(r.saves, 1);
        QVERIFY(!test::Find<QAbstractButton>(d, "Command2")->isEnabled());  // until opened again
        QVERIFY(std::filesystem::exists(r.home / "data.txt"));
    }

    void escStopsARecordingAndTheDialogStays() {
        test::Rig r(2);
        r.s->Finestra_tempo = 1;
        PassiveSeismicDialog d(r.passive);
        r.passive.changed = [&d] { d.refresh(); };
        r.passive.Form_Load();
        d.show();
        bool pressed = false;
        r.line.onYield = [&] {
            if (!pressed && r.passive.recording() && r.line.t > 5) {
                pressed = true;
                test::Click(d, "Command1");
                QVERIFY(d.isVisible());
                QVERIFY(!test::Find<QRadioButton>(d, "FS250")->isEnabled());
            }
        };
        r.panel.answers = {Answer::Yes};
        test::Click(d, "Command2");
        QVERIFY(pressed);
        QVERIFY(d.isVisible());
        QCOMPARE(r.panel.messages.back(), std::string("The recording ended early: no block was recorded whole."));
        QVERIFY(test::Find<QRadioButton>(d, "FS250")->isEnabled());
    }
};

}  // namespace q24

QTEST_MAIN(q24::PassiveDialogTest)
#include "passive_dialog_qtest.moc"
