// The acquisition dialogs driven by their control names, as the operator uses
// them: channel settings, parameters, trigger units, trigger time, running
// parameters and stacking.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <memory>

#include "acquisition/ChannelSettings.h"
#include "acquisition/forms/Channels_setting.h"
#include "acquisition/forms/Initialisation_Par.h"
#include "acquisition/AcqParameters.h"
#include "acquisition/forms/Parametri.h"
#include "acquisition/RunningParameters.h"
#include "acquisition/forms/stacking.h"
#include "acquisition/forms/TRG_correction.h"
#include "acquisition/forms/TRG_units.h"
#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;
using test::Caption, test::Click, test::ClickIndicator, test::ExpectCaptions, test::Find;

class ChannelsSettingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    std::unique_ptr<ChannelSettings> logic;
    std::unique_ptr<Channels_setting> dialog;

    template <typename T>
    T* find(const QString& name) { return Find<T>(*dialog, name); }
    QLineEdit* text(int i) { return find<QLineEdit>(QString("Text%1").arg(i)); }
    void type(int i, const QString& keys) {
        QLineEdit* box = text(i);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, keys);
    }

private slots:
    void init() {
        s = std::make_unique<State>();
        logic = std::make_unique<ChannelSettings>(*s);
        // As at start-up: made hidden before ini.txt, then filled.
        logic->Load();
        dialog = std::make_unique<Channels_setting>(*logic);
        s->N_Geofoni = 30;
        for (int p = 1; p <= 96; ++p) s->Ch_param[p] = int16_t(p);
        s->Trigger_unit = 1003;
        logic->RefreshChannelSlots();
        logic->FillSlots();
        logic->SelectPositionsUpToTraceCount();
        logic->PrepareForShow();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void cleanup() {
        dialog.reset();
        logic.reset();
    }

    void showsTheSlots() {
        QCOMPARE(text(1)->text() + " " + text(24)->text(), QString("1 24"));
        QVERIFY(find<QRadioButton>("a")->isChecked());
        for (auto [group, on] : {std::pair{"b", true}, {"c", false}, {"d", false}})
            QCOMPARE(find<QRadioButton>(group)->isEnabled(), on);
        QVERIFY(find<QCheckBox>("sett_all")->isChecked() && find<QCheckBox>("Check24")->isChecked());
        QCOMPARE(find<QRadioButton>("b")->text(), QString("25 -> 48"));
        test::SaveScreenshot(*dialog, "Channels_setting");
    }

    void typingALetterEmptiesTheBox() {
        type(3, "9");
        QCOMPARE(s->Ch_param[3], int16_t(9));
        type(3, "12a");  // "1" and "12" are taken as typed; "12a" is refused
        QCOMPARE(text(3)->text(), QString());
        QCOMPARE(s->Ch_param[3], int16_t(12));
    }

    void groupBMapsSlotTwoOntoPosition26() {
        ClickIndicator(find<QRadioButton>("b"));
        QCOMPARE(text(2)->text(), QString("26"));
        QVERIFY(text(6)->isEnabled());   // position 30
        QVERIFY(!text(7)->isEnabled());  // position 31
        type(2, "7");
        QCOMPARE(s->Ch_param[26], int16_t(7));
        QCOMPARE(s->Ch_param[2], int16_t(2));
        for (int p = 25; p <= 48; ++p) QVERIFY(s->Ch_enabled[p]);
    }

    void checkBoxesSelectPositions() {
        ClickIndicator(find<QCheckBox>("Check5"));
        QVERIFY(!s->Ch_enabled[5]);
        ClickIndicator(find<QCheckBox>("sett_all"));
        for (int p = 1; p <= 24; ++p) QVERIFY(!s->Ch_enabled[p]);
        QVERIFY(!find<QCheckBox>("Check1")->isChecked());
    }

    // A choice among the handled ones acts at once; another waits for OK.
    void triggerChoices() {
        ClickIndicator(find<QRadioButton>("Option6"));
        QCOMPARE(s->Trigger_unit, int16_t(6));
        QVERIFY(text(6)->styleSheet().contains("rgb(255, 0, 0)"));
        QVERIFY(text(1)->styleSheet().isEmpty());
        ClickIndicator(find<QRadioButton>("Option9"));
        QCOMPARE(s->Trigger_unit, int16_t(6));
        QVERIFY(text(9)->styleSheet().isEmpty());
        Click(*dialog, "Command1");
        QCOMPARE(s->Trigger_unit, int16_t(9));
        QVERIFY(!dialog->isVisible());
    }

    void acquisitionMarksASlot() {
        ChannelSlots& seen = *logic;
        seen.setCheckCaption(2, "ERROR", kSlotRed);
        seen.setCheckCaption(3, "OK", kSlotGreen);
        QCOMPARE(find<QCheckBox>("Check2")->text(), QString("ERROR"));
        QVERIFY(find<QCheckBox>("Check3")->styleSheet().contains("rgb(0, 192, 0)"));
        test::SaveScreenshot(*dialog, "Channels_setting_marked");
    }
};

class ParametriTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    std::unique_ptr<test::FakePanel> main;
    std::unique_ptr<AcqParameters> params;
    std::unique_ptr<Parametri> dialog;

    QString caption(const char* name) { return Caption(*dialog, name); }
    QScrollBar* bar(const char* name) { return Find<QScrollBar>(*dialog, name); }
    // A user's scroll: one step at a time, as clicks on the arrows.
    void scrollTo(const char* name, int value) {
        while (bar(name)->value() < value) bar(name)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        while (bar(name)->value() > value) bar(name)->triggerAction(QAbstractSlider::SliderSingleStepSub);
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
        QCOMPARE(bar("VScroll2")->value(), 6);
        QCOMPARE(bar("VScroll1")->value(), 10);
        ExpectCaptions(*dialog, {{"", "Acqusition Parameters"}, {"Label3", "4000 Hz"}, {"Sampling_rate", "0.25"},
                                 {"Numero_campioni", "1024"}, {"Acq_time", "256"}, {"Label4", "msec"},
                                 {"Check1", "Misura Rumore"}});
        QVERIFY(Find<QRadioButton>(*dialog, "Option1")->isChecked());
        test::SaveScreenshot(*dialog, "Parametri");
    }

    // Down to 125 Hz at the lowest high speed, then back up at 500000.
    void lowRateAndBack() {
        scrollTo("VScroll2", 3);
        QCOMPARE(s->Sampling_freq, 125);
        ExpectCaptions(*dialog, {{"Sampling_rate", "8"}, {"Label3", "125 Hz"}});
        QCOMPARE(s->N_Geofoni, int16_t(24));
        QCOMPARE(s->N_samples, 128);
        QVERIFY(!bar("VScroll1")->isEnabled());
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
        QCOMPARE(bar("VScroll1")->value(), 10);
        QVERIFY(bar("VScroll1")->isEnabled());
        QVERIFY(main->enabled[Ctl::Toolbar2]);
        QVERIFY(!main->enabled[Ctl::puls_sample]);
    }

    void sampleCount() {
        scrollTo("VScroll1", 13);
        QCOMPARE(s->N_samples, 8192);
        ExpectCaptions(*dialog, {{"Numero_campioni", "8192"}, {"Acq_time", "2.05"}, {"Label4", "sec"}});
        QCOMPARE(main->text(Ctl::N_samples), std::string("8192"));
    }

    // 128 samples at a low rate, where the sample-count bar is off.
    void pretriggerCapped() {
        scrollTo("VScroll2", 1);
        bar("VScroll3")->setValue(100);
        QCOMPARE(int(s->N_pretrigger), 64);
        QCOMPARE(caption("pre_camp"), QString("64"));
        QVERIFY(main->visible[Ctl::zero_line]);
    }

    void edgeOptions() {
        ClickIndicator(Find<QRadioButton>(*dialog, "Option2"));
        QCOMPARE(s->Trg_opening, int16_t(1));
        ClickIndicator(Find<QRadioButton>(*dialog, "Option1"));
        QCOMPARE(s->Trg_opening, int16_t(0));
        ClickIndicator(Find<QCheckBox>(*dialog, "Check1"));  // does nothing
        QCOMPARE(s->Trg_opening, int16_t(0));
    }

    void otherPartsMoveTheOpenDialogAndOkUnloads() {
        params->setFreqPosition(8);  // as GO RUNNING moves the bar
        QCOMPARE(bar("VScroll2")->value(), 8);
        QCOMPARE(caption("Label3"), QString("16000 Hz"));
        Click(*dialog, "Command1");
        QVERIFY(!dialog->isVisible());
        QVERIFY(!params->loaded());
        QCOMPARE(s->Sampling_freq, 16000);  // the values stay in the state
    }
};

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
            ExpectCaptions(d, {{"", "TRIGGER UNITS SETTING"}, {"Option10", "TRIGGER UNIT K"}});
            ClickIndicator(Find<QRadioButton>(d, "Option10"));
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
            ClickIndicator(Find<QCheckBox>(d, "manual_trg_Check"));
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
        ExpectCaptions(dialog, {{"", "Trigger event time setup"}, {"Label2", "0"}});
        test::SaveScreenshot(dialog, "TRG_correction");
        Find<QScrollBar>(dialog, "VScroll1")->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(Caption(dialog, "Label2"), QString("2000"));
        QCOMPARE(s->Trg_correction, int16_t(0));
        Click(dialog, "Command_Save");
        QCOMPARE(s->Trg_correction, int16_t(2000));
        QVERIFY(!dialog.isVisible());

        s->Trg_correction = -300;
        TriggerCorrection logic2(*s);
        TRG_correction again(logic2);
        again.show();
        QScrollBar* bar = Find<QScrollBar>(again, "VScroll1");
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
        ExpectCaptions(dialog, {{"Label3", "2000"}, {"Label4", "512"}});
        test::SaveScreenshot(dialog, "Initialisation_Par");
        Find<QScrollBar>(dialog, "VScroll2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(Caption(dialog, "Label4"), QString("256"));
        Find<QScrollBar>(dialog, "VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(s->Running_Fs, int16_t(4000));  // at once
        QCOMPARE(s->Running_N, int16_t(512));
        Click(dialog, "Command1");
        QCOMPARE(s->Running_N, int16_t(256));
        QCOMPARE(main.text(Ctl::Label5) + ", " + main.text(Ctl::Label2), std::string("Running N = 256, Running Fs = 4000"));
    }

    // The stacking dialog opens on the choice, which acts at once.
    void stackingChoice() {
        test::FakePanel main;
        for (bool on : {false, true}) {
            s->Stacking = on;
            stacking dialog(*s, main);
            QCOMPARE(Find<QRadioButton>(dialog, "Option1")->isChecked(), on);
            QCOMPARE(Find<QRadioButton>(dialog, "Option2")->isChecked(), !on);
        }
        QVERIFY(main.picture.empty());  // opening changes nothing

        s->Stacking = false;
        stacking dialog(*s, main);
        test::RunModal(dialog, [&] {
            ExpectCaptions(dialog, {{"", "STACKING"}, {"Option2", "NO  STACKING"}, {"Command1", "Done"}});
            ClickIndicator(Find<QRadioButton>(dialog, "Option1"));
            QVERIFY(s->Stacking);
            QCOMPARE(main.picture.back(), std::string("background 192 255 255"));
            test::SaveScreenshot(dialog, "stacking");
            ClickIndicator(Find<QRadioButton>(dialog, "Option2"));
            QVERIFY(!s->Stacking);
            QCOMPARE(main.picture.back(), std::string("background 255 255 255"));
            Click(dialog, "Command1");
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ChannelsSettingTest channels;
    ParametriTest parametri;
    TriggerDialogsTest trigger;
    int failed = 0;
    for (QObject* t : {static_cast<QObject*>(&channels), static_cast<QObject*>(&parametri), static_cast<QObject*>(&trigger)})
        failed += QTest::qExec(t, argc, argv);
    return failed;
}

#include "acquisition_dialogs_qtest.moc"
