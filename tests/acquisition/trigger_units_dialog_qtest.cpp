// The trigger units, trigger time and running parameters dialogs driven by
// their control names.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
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

namespace {
template <typename T>
T* find(QWidget* dialog, const QString& name) {
    T* w = dialog->findChild<T*>(name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}
QString caption(QWidget* dialog, const char* name) { return find<QLabel>(dialog, name)->text(); }
}  // namespace

class TriggerDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;

    // Opens a trigger units dialog modally; `act` runs inside it.
    void runTrgUnits(TRG_units& dialog, const std::function<void()>& act) {
        QTimer::singleShot(0, &dialog, [&] {
            act();
            if (dialog.isVisible()) dialog.reject();
        });
        dialog.exec();
    }

private slots:
    void init() { s = std::make_unique<State>(); }

    void unitOptionActsAtOnce() {
        s->Trigger_unit = 1;
        TriggerUnits logic(*s);
        TRG_units dialog(logic);
        runTrgUnits(dialog, [&] {
            QCOMPARE(dialog.windowTitle(), QString("TRIGGER UNITS SETTING"));
            QRadioButton* k = find<QRadioButton>(&dialog, "Option10");
            QCOMPARE(k->text(), QString("TRIGGER UNIT K"));
            test::ClickIndicator(k);
            QCOMPARE(s->Trigger_unit, int16_t(1009));
            test::SaveScreenshot(dialog, "TRG_units");
            QTest::mouseClick(find<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
        });
        QCOMPARE(s->Trigger_unit, int16_t(1009));
    }

    void doneTakesTheManualNumber() {
        s->Trigger_unit = 1009;
        TriggerUnits logic(*s);
        TRG_units dialog(logic);
        runTrgUnits(dialog, [&] {
            QVERIFY(find<QRadioButton>(&dialog, "Option10")->isChecked());
            QVERIFY(!find<QScrollBar>(&dialog, "VScroll1")->isEnabled());
            test::ClickIndicator(find<QCheckBox>(&dialog, "manual_trg_Check"));
            QVERIFY(s->Manual_trigger);
            QVERIFY(!find<QWidget>(&dialog, "Frame1")->isEnabled());
            QScrollBar* bar = find<QScrollBar>(&dialog, "VScroll1");
            QVERIFY(bar->isEnabled());
            for (int i = 0; i < 4; ++i) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(caption(&dialog, "Label1"), QString("5"));
            QCOMPARE(s->Trigger_unit, int16_t(1009));
            QTest::mouseClick(find<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
        });
        QCOMPARE(s->Trigger_unit, int16_t(5));
    }

    void manualNumberReopensOnItsBar() {
        s->Trigger_unit = 7;
        s->Manual_trigger = true;
        TriggerUnits logic(*s);
        TRG_units dialog(logic);
        runTrgUnits(dialog, [&] {
            QVERIFY(find<QCheckBox>(&dialog, "manual_trg_Check")->isChecked());
            QCOMPARE(find<QScrollBar>(&dialog, "VScroll1")->value(), 7);
            QCOMPARE(caption(&dialog, "Label1"), QString("7"));
            QVERIFY(!find<QWidget>(&dialog, "Frame1")->isEnabled());
            test::SaveScreenshot(dialog, "TRG_units_manual");
        });
        QCOMPARE(s->Trigger_unit, int16_t(7));
    }

    void correctionBottomIs2000() {
        s->Trg_correction = 0;
        TriggerCorrection logic(*s);
        TRG_correction dialog(logic);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("Trigger event time setup"));
        QCOMPARE(caption(&dialog, "Label2"), QString("0"));
        test::SaveScreenshot(dialog, "TRG_correction");
        QScrollBar* bar = find<QScrollBar>(&dialog, "VScroll1");
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(caption(&dialog, "Label2"), QString("2000"));
        QCOMPARE(s->Trg_correction, int16_t(0));
        QTest::mouseClick(find<QPushButton>(&dialog, "Command_Save"), Qt::LeftButton);
        QCOMPARE(s->Trg_correction, int16_t(2000));
        QVERIFY(!dialog.isVisible());
    }

    void correctionRestoreAndExit() {
        s->Trg_correction = -300;
        TriggerCorrection logic(*s);
        TRG_correction dialog(logic);
        dialog.show();
        QCOMPARE(find<QScrollBar>(&dialog, "VScroll1")->value(), 1700);
        find<QScrollBar>(&dialog, "VScroll1")->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(caption(&dialog, "Label2"), QString("-200"));
        QTest::mouseClick(find<QPushButton>(&dialog, "Command_exit"), Qt::LeftButton);
        QCOMPARE(s->Trg_correction, int16_t(-300));
        dialog.show();
        QTest::mouseClick(find<QPushButton>(&dialog, "Command_restore"), Qt::LeftButton);
        QCOMPARE(s->Trg_correction, int16_t(0));
        QCOMPARE(find<QScrollBar>(&dialog, "VScroll1")->value(), 2000);
        QCOMPARE(caption(&dialog, "Label2"), QString("0"));
    }

    void runningParameters() {
        s->Running_Fs = 2000;
        s->Running_N = 512;
        test::FakePanel main;
        RunningParameters logic(*s, main);
        Initialisation_Par dialog(logic);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(caption(&dialog, "Label3"), QString("2000"));
        QCOMPARE(caption(&dialog, "Label4"), QString("512"));
        test::SaveScreenshot(dialog, "Initialisation_Par");
        find<QScrollBar>(&dialog, "VScroll2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(caption(&dialog, "Label4"), QString("256"));
        find<QScrollBar>(&dialog, "VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(s->Running_Fs, int16_t(4000));  // at once
        QCOMPARE(s->Running_N, int16_t(512));
        QTest::mouseClick(find<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
        QCOMPARE(s->Running_N, int16_t(256));
        QCOMPARE(main.text(Ctl::Label5), std::string("Running N = 256"));
        QCOMPARE(main.text(Ctl::Label2), std::string("Running Fs = 4000"));
    }

};

QTEST_MAIN(TriggerDialogsTest)
#include "trigger_units_dialog_qtest.moc"
