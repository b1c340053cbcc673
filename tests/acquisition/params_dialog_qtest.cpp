// The parameters dialog driven by its control names, as the operator uses it.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "acquisition/Parameters.h"
#include "acquisition/Parametri.h"
#include "support/FakePanel.h"
#include "support/DialogTest.h"

using namespace q24;

class ParametriTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    std::unique_ptr<test::FakePanel> main;
    std::unique_ptr<AcqParameters> params;
    std::unique_ptr<Parametri> dialog;

    template <typename T>
    T* find(const char* name) {
        T* w = dialog->findChild<T*>(name);
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QString caption(const char* name) { return find<QLabel>(name)->text(); }
    // A user's scroll: one step at a time, as clicks on the arrows.
    void scrollTo(const char* name, int value) {
        QScrollBar* bar = find<QScrollBar>(name);
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
        QCOMPARE(find<QScrollBar>("VScroll2")->value(), 6);
        QCOMPARE(find<QScrollBar>("VScroll1")->value(), 10);
        QCOMPARE(caption("Label3"), QString("4000 Hz"));
        QCOMPARE(caption("Sampling_rate"), QString("0.25"));
        QCOMPARE(caption("Numero_campioni"), QString("1024"));
        QCOMPARE(caption("Acq_time"), QString("256"));
        QCOMPARE(caption("Label4"), QString("msec"));
        QVERIFY(find<QRadioButton>("Option1")->isChecked());
        QCOMPARE(find<QCheckBox>("Check1")->text(), QString("Misura Rumore"));
        test::SaveScreenshot(*dialog, "Parametri");
    }

    void lowRateAtTheLowestHighSpeed() {
        scrollTo("VScroll2", 3);
        QCOMPARE(s->Sampling_freq, 125);
        QCOMPARE(caption("Sampling_rate"), QString("8"));
        QCOMPARE(caption("Label3"), QString("125 Hz"));
        QCOMPARE(s->N_Geofoni, int16_t(24));
        QCOMPARE(s->N_samples, 128);
        QVERIFY(!find<QScrollBar>("VScroll1")->isEnabled());
        QVERIFY(!find<QLabel>("Numero_campioni")->isEnabled());
        QVERIFY(!main->enabled[Ctl::Toolbar2]);
        QVERIFY(main->enabled[Ctl::puls_sample]);
    }

    void backToAHighRate() {
        s->Baud_rate_high = 500000;
        scrollTo("VScroll2", 2);
        QCOMPARE(s->Sampling_freq, 250);
        QCOMPARE(caption("Sampling_rate"), QString("4"));
        scrollTo("VScroll2", 6);
        QCOMPARE(s->Sampling_freq, 4000);
        QCOMPARE(s->N_samples, 256);
        QCOMPARE(find<QScrollBar>("VScroll1")->value(), 10);
        QVERIFY(find<QScrollBar>("VScroll1")->isEnabled());
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
        QTest::addColumn<int>("samplesPos");
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("expected");
        QTest::newRow("1024 samples, 600") << 10 << 600 << 512;
        QTest::newRow("16384 samples, 4096") << 14 << 4096 << 4096;
    }
    void pretriggerCapped() {
        QFETCH(int, samplesPos);
        QFETCH(int, bar);
        QFETCH(int, expected);
        scrollTo("VScroll1", samplesPos);
        find<QScrollBar>("VScroll3")->setValue(bar);
        QCOMPARE(int(s->N_pretrigger), expected);
        QCOMPARE(caption("pre_camp"), QString::number(expected));
        QVERIFY(main->visible[Ctl::zero_line]);
    }

    void pretriggerAtTheLowRate() {
        scrollTo("VScroll2", 1);
        find<QScrollBar>("VScroll3")->setValue(100);
        QCOMPARE(int(s->N_pretrigger), 64);
        QCOMPARE(caption("pre_camp"), QString("64"));
    }

    void edgeOptions() {
        test::ClickIndicator(find<QRadioButton>("Option2"));
        QCOMPARE(s->Trg_opening, int16_t(1));
        test::ClickIndicator(find<QRadioButton>("Option1"));
        QCOMPARE(s->Trg_opening, int16_t(0));
        test::ClickIndicator(find<QCheckBox>("Check1"));  // does nothing
        QCOMPARE(s->Trg_opening, int16_t(0));
    }

    void otherPartsMoveTheOpenDialog() {
        params->setFreqPosition(8);  // as GO RUNNING moves the bar
        QCOMPARE(find<QScrollBar>("VScroll2")->value(), 8);
        QCOMPARE(caption("Label3"), QString("16000 Hz"));
    }

    void okUnloads() {
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(!params->loaded());
        QCOMPARE(s->Sampling_freq, 4000);  // the values stay in the state
    }
};

QTEST_MAIN(ParametriTest)
#include "params_dialog_qtest.moc"
