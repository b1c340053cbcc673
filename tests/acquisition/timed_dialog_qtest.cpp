// The timed sampling dialog `acquisizione` as the operator uses it: the
// minute buttons, START with the recording shown as it runs (one unit
// silent), Abort answered Cancel, the save's "FINE", and the close box.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "acquisition/acquisizione.h"
#include "support/DialogTest.h"
#include "timed_rig.h"

namespace q24 {

class TimedDialogTest : public QObject {
    Q_OBJECT

    template <class W>
    static W* find(QWidget& d, const char* name) {
        auto* w = d.findChild<W*>(name);
        if (!w) qFatal("no control %s", name);
        return w;
    }
    static QString text(QWidget& d, const char* name) { return find<QLabel>(d, name)->text(); }

private slots:
    void captionsAndMinuteButtons() {
        test::TimedRig r(test::PatternUnits({1}));
        r.s->Finestra_tempo = 58;
        acquisizione d(r.mode);
        r.mode.changed = [&d] { d.refresh(); };
        r.mode.Prepare();
        d.show();
        QCOMPARE(find<QGroupBox>(d, "Frame1")->title(), QString("ACQUISITION TIME"));
        QCOMPARE(text(d, "Label1"), QString("Minutes"));
        QCOMPARE(text(d, "Label4"), QString("Sampling Frequency ="));
        QCOMPARE(text(d, "Label5"), QString("250"));
        QCOMPARE(text(d, "Label6"), QString("Hz"));
        QCOMPARE(text(d, "Label7"), QString("Is Latency Time of Port: 3 set to 1 msec ?"));
        QCOMPARE(find<QPushButton>(d, "Start_acq")->text(), QString("START"));
        QCOMPARE(find<QPushButton>(d, "Command7")->text(), QString("Abort"));
        QCOMPARE(find<QPushButton>(d, "Command2")->text(), QString("EXIT"));
        QCOMPARE(text(d, "Finestra_tempo_acq"), QString("58"));
        QTest::mouseClick(find<QPushButton>(d, "Command5"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(d, "Command5"), Qt::LeftButton);
        QCOMPARE(text(d, "Finestra_tempo_acq"), QString("1"));
        QTest::mouseClick(find<QPushButton>(d, "Command6"), Qt::LeftButton);
        QCOMPARE(text(d, "Finestra_tempo_acq"), QString("1"));
        QCOMPARE(r.s->Finestra_tempo, int16_t{1});
    }

    void recordingAsItRunsThenFine() {
        auto c = test::PatternUnits({1, 2, 3, 4});
        c.silent = {2};
        test::TimedRig r(std::move(c));
        r.spread({1, 2, 3, 4});
        r.s->Sampling_freq = 500;
        acquisizione d(r.mode);
        r.mode.changed = [&d] { d.refresh(); };
        r.mode.showSave = [&r] { r.mode.SaveDone(); };
        r.mode.Prepare();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(!find<QLabel>(d, "Label3")->isVisible());

        bool looked = false;
        r.panel.answers = {Answer::Cancel};
        r.mode.burstRead = [&](int block, int ch, int, bool) {
            if (block != 117 || ch != 4) return;  // halfway through 234 blocks
            looked = true;
            QVERIFY(!find<QPushButton>(d, "Start_acq")->isEnabled());
            QVERIFY(!find<QPushButton>(d, "Command2")->isEnabled());
            QVERIFY(find<QPushButton>(d, "Command7")->isEnabled());
            QCOMPARE(text(d, "Label3"), QString("Error on Unit2"));
            QVERIFY(find<QLabel>(d, "Label3")->isVisible());
            QCOMPARE(find<QProgressBar>(d, "ProgressBar1")->value(), 50);
            test::SaveScreenshot(d, "acquisizione_recording");
            QTest::mouseClick(find<QPushButton>(d, "Command7"), Qt::LeftButton);  // Abort, then Cancel
        };
        QTest::mouseClick(find<QPushButton>(d, "Start_acq"), Qt::LeftButton);
        QVERIFY(looked);
        QCOMPARE(r.panel.questions, std::vector<std::string>{"Abort section ?"});
        QCOMPARE(r.s->N_samples_cont, 29952);  // 500 Hz, one minute: 234 blocks
        QCOMPARE(text(d, "Label3"), QString("FINE"));
        QCOMPARE(find<QProgressBar>(d, "ProgressBar1")->value(), 100);
        QVERIFY(!find<QPushButton>(d, "Command7")->isEnabled());
        QVERIFY(find<QPushButton>(d, "Start_acq")->isEnabled());
        QVERIFY(find<QPushButton>(d, "Command2")->isEnabled());
        test::SaveScreenshot(d, "acquisizione_fine");

        // The close box is EXIT once the recording is over.
        QVERIFY(d.isVisible());
        const int resets = r.count(0xFF);
        d.close();
        QVERIFY(!d.isVisible());
        QCOMPARE(r.count(0xFF), resets + 1);
    }
};

}  // namespace q24

QTEST_MAIN(q24::TimedDialogTest)
#include "timed_dialog_qtest.moc"
