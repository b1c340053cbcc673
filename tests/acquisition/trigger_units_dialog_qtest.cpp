// The trigger units, trigger time and running parameters dialogs driven by
// their control names.
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <memory>

#include "acquisition/Initialisation_Par.h"
#include "acquisition/RunningParameters.h"
#include "acquisition/TRG_correction.h"
#include "acquisition/TRG_units.h"
#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;
using test::Caption;
using test::Click;
using test::Find;

class TriggerDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;

    // The trigger units dialog on the state, run modally with `act` inside.
    void runTrgUnits(const std::function<void(TRG_units&)>& act) {
        TriggerUnits logic(*s);
        TRG_units dialog(logic);
        test::RunModal(dialog, [&] { act(dialog); });
    }

private slots:
    void init() { s = std::make_unique<State>(); }

    void unitOptionActsAtOnce() {
        s->Trigger_unit = 1;
        runTrgUnits([&](TRG_units& d) {
            QCOMPARE(d.windowTitle(), QString("TRIGGER UNITS SETTING"));
            QRadioButton* k = Find<QRadioButton>(d, "Option10");
            QCOMPARE(k->text(), QString("TRIGGER UNIT K"));
            test::ClickIndicator(k);
            QCOMPARE(s->Trigger_unit, int16_t(1009));
            test::SaveScreenshot(d, "TRG_units");
            Click(d, "Command1");
        });
        QCOMPARE(s->Trigger_unit, int16_t(1009));
    }

    void doneTakesTheManualNumber() {
        s->Trigger_unit = 1009;
        runTrgUnits([&](TRG_units& d) {
            QVERIFY(Find<QRadioButton>(d, "Option10")->isChecked());
            QScrollBar* bar = Find<QScrollBar>(d, "VScroll1");
            QVERIFY(!bar->isEnabled());
            test::ClickIndicator(Find<QCheckBox>(d, "manual_trg_Check"));
            QVERIFY(s->Manual_trigger);
            QVERIFY(!Find<QWidget>(d, "Frame1")->isEnabled());
            QVERIFY(bar->isEnabled());
            for (int i = 0; i < 4; ++i) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(Caption(d, "Label1"), QString("5"));
            QCOMPARE(s->Trigger_unit, int16_t(1009));
            Click(d, "Command1");
        });
        QCOMPARE(s->Trigger_unit, int16_t(5));
    }

    void manualNumberReopensOnItsBar() {
        s->Trigger_unit = 7;
        s->Manual_trigger = true;
        runTrgUnits([&](TRG_units& d) {
            QVERIFY(Find<QCheckBox>(d, "manual_trg_Check")->isChecked());
            QCOMPARE(Find<QScrollBar>(d, "VScroll1")->value(), 7);
            QCOMPARE(Caption(d, "Label1"), QString("7"));
            QVERIFY(!Find<QWidget>(d, "Frame1")->isEnabled());
            test::SaveScreenshot(d, "TRG_units_manual");
        });
        QCOMPARE(s->Trigger_unit, int16_t(7));
    }

    // The bar's bottom is +2000; Save stores, Exit does not, Restore gives 0.
    void correctionSaveExitRestore() {
        s->Trg_correction = 0;
        TriggerCorrection logic(*s);
        TRG_correction dialog(logic);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("Trigger event time setup"));
        QCOMPARE(Caption(dialog, "Label2"), QString("0"));
        test::SaveScreenshot(dialog, "TRG_correction");
        QScrollBar* bar = Find<QScrollBar>(dialog, "VScroll1");
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(Caption(dialog, "Label2"), QString("2000"));
        QCOMPARE(s->Trg_correction, int16_t(0));
        Click(dialog, "Command_Save");
        QCOMPARE(s->Trg_correction, int16_t(2000));
        QVERIFY(!dialog.isVisible());

        s->Trg_correction = -300;
        TriggerCorrection logic2(*s);
        TRG_correction again(logic2);
        again.show();
        bar = Find<QScrollBar>(again, "VScroll1");
        QCOMPARE(bar->value(), 1700);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Caption(again, "Label2"), QString("-200"));
        Click(again, "Command_exit");
        QCOMPARE(s->Trg_correction, int16_t(-300));
        again.show();
        Click(again, "Command_restore");
        QCOMPARE(s->Trg_correction, int16_t(0));
        QCOMPARE(bar->value(), 2000);
        QCOMPARE(Caption(again, "Label2"), QString("0"));
    }

    void runningParameters() {
        s->Running_Fs = 2000;
        s->Running_N = 512;
        test::FakePanel main;
        RunningParameters logic(*s, main);
        Initialisation_Par dialog(logic);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(Caption(dialog, "Label3"), QString("2000"));
        QCOMPARE(Caption(dialog, "Label4"), QString("512"));
        test::SaveScreenshot(dialog, "Initialisation_Par");
        Find<QScrollBar>(dialog, "VScroll2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(Caption(dialog, "Label4"), QString("256"));
        Find<QScrollBar>(dialog, "VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(s->Running_Fs, int16_t(4000));  // at once
        QCOMPARE(s->Running_N, int16_t(512));
        Click(dialog, "Command1");
        QCOMPARE(s->Running_N, int16_t(256));
        QCOMPARE(main.text(Ctl::Label5), std::string("Running N = 256"));
        QCOMPARE(main.text(Ctl::Label2), std::string("Running Fs = 4000"));
    }
};

QTEST_MAIN(TriggerDialogsTest)
#include "trigger_units_dialog_qtest.moc"
