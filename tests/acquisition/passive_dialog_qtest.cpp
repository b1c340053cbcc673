// The passive seismic dialog `Passive_seismic` as the operator uses it: its
// captions, the rate and minute buttons, a whole recording started by START
// and shown as it runs, ESC stopping a recording and closing the idle dialog.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "acquisition/PassiveSeismicDialog.h"
#include "passive_rig.h"
#include "support/DialogTest.h"

namespace q24 {

class PassiveDialogTest : public QObject {
    Q_OBJECT

    template <class W>
    static W* find(QWidget& d, const char* name) {
        auto* w = d.findChild<W*>(name);
        if (!w) qFatal("no control %s", name);
        return w;
    }
    static QString label(QWidget& d, const char* name) { return find<QLabel>(d, name)->text(); }
    static void click(QWidget& d, const char* name) { QTest::mouseClick(find<QPushButton>(d, name), Qt::LeftButton); }

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
        QCOMPARE(find<QRadioButton>(d, "FS125")->text(), QString("125Hz"));
        QCOMPARE(find<QRadioButton>(d, "FS250")->text(), QString("250Hz"));
        QCOMPARE(find<QRadioButton>(d, "FS500")->text(), QString("500Hz"));
        QVERIFY(find<QRadioButton>(d, "FS125")->isChecked());
        QCOMPARE(find<QGroupBox>(d, "Frame1")->title(), QString("ACQUISITION TIME"));
        QCOMPARE(label(d, "Label1"), QString("Minuti"));
        QCOMPARE(find<QPushButton>(d, "Command5")->text(), QString(">>"));
        QCOMPARE(find<QPushButton>(d, "Command6")->text(), QString("<<"));
        QCOMPARE(find<QPushButton>(d, "Command2")->text(), QString("START"));
        QCOMPARE(find<QPushButton>(d, "Command1")->text(), QString("ESC"));
        find<QLabel>(d, "Informazioni");
        find<QProgressBar>(d, "ProgressBar1");
        QCOMPARE(label(d, "Finestra_tempo_acq"), QString("2"));
        click(d, "Command6");
        click(d, "Command6");
        QCOMPARE(label(d, "Finestra_tempo_acq"), QString("59"));
        click(d, "Command5");
        QCOMPARE(label(d, "Finestra_tempo_acq"), QString("1"));
        test::ClickIndicator(find<QRadioButton>(d, "FS500"));
        QCOMPARE(r.passive.controls().frequency, 500);
        QVERIFY(!find<QRadioButton>(d, "FS125")->isChecked());
        test::SaveScreenshot(d, "passive_seismic");
        // ESC when idle closes the dialog.
        click(d, "Command1");
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
            const QString info = label(d, "Informazioni");
            if (seen.isEmpty() || seen.back() != info) seen << info;
            progress = std::max(progress, find<QProgressBar>(d, "ProgressBar1")->value());
            if (info == "Data Transmission CH 2") test::SaveScreenshot(d, "passive_seismic_recording");
        };
        r.passive.Form_Load();
        d.show();
        r.panel.answers = {Answer::Yes};
        click(d, "Command2");
        QCOMPARE(r.panel.questions.front(), std::string("Samples Number=8192"));
        QVERIFY(seen.contains("Acquiring"));
        QVERIFY(seen.contains("Data Transmission CH 2"));
        QCOMPARE(progress, 100);
        QCOMPARE(r.saves, 1);
        QVERIFY(!find<QPushButton>(d, "Command2")->isEnabled());  // until opened again
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
                click(d, "Command1");
                QVERIFY(d.isVisible());
                QVERIFY(!find<QRadioButton>(d, "FS250")->isEnabled());
            }
        };
        r.panel.answers = {Answer::Yes};
        click(d, "Command2");
        QVERIFY(pressed);
        QVERIFY(d.isVisible());
        QCOMPARE(r.panel.messages.back(), std::string("The recording ended early: no block was recorded whole."));
        QVERIFY(find<QRadioButton>(d, "FS250")->isEnabled());
    }
};

}  // namespace q24

QTEST_MAIN(q24::PassiveDialogTest)
#include "passive_dialog_qtest.moc"
