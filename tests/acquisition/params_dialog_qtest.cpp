// The parameters dialog driven by its control names, as the operator uses it.
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <memory>

#include "acquisition/Parameters.h"
#include "acquisition/Parametri.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;
using test::Caption;
using test::Find;

class ParametriTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    std::unique_ptr<test::FakePanel> main;
    std::unique_ptr<AcqParameters> params;
    std::unique_ptr<Parametri> dialog;

    QString caption(const char* name) { return Caption(*dialog, name); }
    // A user's scroll: one step at a time, as clicks on the arrows.
    void scrollTo(const char* name, int value) {
        QScrollBar* bar = Find<QScrollBar>(*dialog, name);
        while (bar->value() < value) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        while (bar->value() > value) bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    }

private slots:
    void init() {
        s = std::make_unique<State>();
        s->N_slow = 128;
        s->Baud_rate_high = 250000;
        s->Sampling_freq = 4000;
        s->N_samples = 1024;
        s->N_Geofoni = 48;
        main = std::make_unique<test::FakePanel>();
        params = std::make_unique<AcqParameters>(*s, *main);
        dialog = std::make_unique<Parametri>(*params);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void cleanup() {
        dialog.reset();
        params.reset();
    }

    void opensOnTheState() {
        QCOMPARE(dialog->windowTitle(), QString("Acqusition Parameters"));
        QCOMPARE(Find<QScrollBar>(*dialog, "VScroll2")->value(), 6);
        QCOMPARE(Find<QScrollBar>(*dialog, "VScroll1")->value(), 10);
        for (auto [name, text] : {std::pair{"Label3", "4000 Hz"}, {"Sampling_rate", "0.25"}, {"Numero_campioni", "1024"},
                                  {"Acq_time", "256"}, {"Label4", "msec"}})
            QCOMPARE(caption(name), QString(text));
        QVERIFY(Find<QRadioButton>(*dialog, "Option1")->isChecked());
        QCOMPARE(Find<QCheckBox>(*dialog, "Check1")->text(), QString("Misura Rumore"));
        test::SaveScreenshot(*dialog, "Parametri");
    }

    // Down to 125 Hz at the lowest high speed, then back up at 500000.
    void lowRateAndBack() {
        scrollTo("VScroll2", 3);
        QCOMPARE(s->Sampling_freq, 125);
        QCOMPARE(caption("Sampling_rate"), QString("8"));
        QCOMPARE(caption("Label3"), QString("125 Hz"));
        QCOMPARE(s->N_Geofoni, int16_t(24));
        QCOMPARE(s->N_samples, 128);
        QVERIFY(!Find<QScrollBar>(*dialog, "VScroll1")->isEnabled());
        QVERIFY(!Find<QLabel>(*dialog, "Numero_campioni")->isEnabled());
        QVERIFY(!main->enabled[Ctl::Toolbar2]);
        QVERIFY(main->enabled[Ctl::puls_sample]);

        s->Baud_rate_high = 500000;
        scrollTo("VScroll2", 2);
        QCOMPARE(s->Sampling_freq, 250);
        QCOMPARE(caption("Sampling_rate"), QString("4"));
        scrollTo("VScroll2", 6);
        QCOMPARE(s->Sampling_freq, 4000);
        QCOMPARE(s->N_samples, 256);
        QCOMPARE(Find<QScrollBar>(*dialog, "VScroll1")->value(), 10);
        QVERIFY(Find<QScrollBar>(*dialog, "VScroll1")->isEnabled());
        QVERIFY(main->enabled[Ctl::Toolbar2]);
        QVERIFY(!main->enabled[Ctl::puls_sample]);
    }

    void sampleCount() {
        scrollTo("VScroll1", 13);
        QCOMPARE(s->N_samples, 8192);
        QCOMPARE(caption("Numero_campioni"), QString("8192"));
        QCOMPARE(caption("Acq_time"), QString("2.05"));
        QCOMPARE(caption("Label4"), QString("sec"));
        QCOMPARE(main->text(Ctl::N_samples), std::string("8192"));
    }

    void pretriggerCapped_data() {
        QTest::addColumn<int>("freqPos");
        QTest::addColumn<int>("samplesPos");
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("expected");
        QTest::newRow("1024 samples, 600") << 6 << 10 << 600 << 512;
        QTest::newRow("16384 samples, 4096") << 6 << 14 << 4096 << 4096;
        QTest::newRow("128 samples at a low rate, 100") << 1 << 0 << 100 << 64;  // the sample-count bar is off
    }
    void pretriggerCapped() {
        QFETCH(int, freqPos);
        QFETCH(int, samplesPos);
        QFETCH(int, bar);
        QFETCH(int, expected);
        scrollTo("VScroll2", freqPos);
        if (samplesPos) scrollTo("VScroll1", samplesPos);
        Find<QScrollBar>(*dialog, "VScroll3")->setValue(bar);
        QCOMPARE(int(s->N_pretrigger), expected);
        QCOMPARE(caption("pre_camp"), QString::number(expected));
        QVERIFY(main->visible[Ctl::zero_line]);
    }

    void edgeOptions() {
        test::ClickIndicator(Find<QRadioButton>(*dialog, "Option2"));
        QCOMPARE(s->Trg_opening, int16_t(1));
        test::ClickIndicator(Find<QRadioButton>(*dialog, "Option1"));
        QCOMPARE(s->Trg_opening, int16_t(0));
        test::ClickIndicator(Find<QCheckBox>(*dialog, "Check1"));  // does nothing
        QCOMPARE(s->Trg_opening, int16_t(0));
    }

    void otherPartsMoveTheOpenDialogAndOkUnloads() {
        params->setFreqPosition(8);  // as GO RUNNING moves the bar
        QCOMPARE(Find<QScrollBar>(*dialog, "VScroll2")->value(), 8);
        QCOMPARE(caption("Label3"), QString("16000 Hz"));
        test::Click(*dialog, "Command1");
        QVERIFY(!dialog->isVisible());
        QVERIFY(!params->loaded());
        QCOMPARE(s->Sampling_freq, 16000);  // the values stay in the state
    }
};

QTEST_MAIN(ParametriTest)
#include "params_dialog_qtest.moc"
