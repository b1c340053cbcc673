// The acquisition dialogs driven by their control names, as the operator uses them.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <memory>
#include <tuple>

#include "acquisition/AcqParameters.h"
#include "acquisition/ChannelSettings.h"
#include "acquisition/RunningParameters.h"
#include "acquisition/TriggerCorrection.h"
#include "acquisition/TriggerUnits.h"
#include "acquisition/forms/Channels_setting.h"
#include "acquisition/forms/Initialisation_Par.h"
#include "acquisition/forms/Parametri.h"
#include "acquisition/forms/TRG_correction.h"
#include "acquisition/forms/TRG_units.h"
#include "acquisition/forms/stacking.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;
using test::Caption, test::Click, test::ClickIndicator, test::ExpectCaptions, test::Find;

class AcquisitionDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    std::unique_ptr<test::FakePanel> main;
    std::unique_ptr<ChannelSettings> logic;
    std::unique_ptr<Channels_setting> channels;
    std::unique_ptr<AcqParameters> params;
    std::unique_ptr<Parametri> parametri;

    template <typename T>
    T* find(const QString& name) { return Find<T>(*channels, name); }
    QLineEdit* text(int i) { return find<QLineEdit>(QString("Text%1").arg(i)); }
    void type(int i, const QString& keys) {
        text(i)->setFocus();
        text(i)->selectAll();
        QTest::keyClicks(text(i), keys);
    }
    // The channel settings as at start-up: made hidden before ini.txt, then filled.
    void openChannels() {
        logic = std::make_unique<ChannelSettings>(*s);
        logic->Load();
        channels = std::make_unique<Channels_setting>(*logic);
        s->N_Geofoni = 30, s->Trigger_unit = 1003;
        for (int p = 1; p <= 96; ++p) s->Ch_param[p] = int16_t(p);
        logic->RefreshChannelSlots();
        logic->FillSlots();
        logic->SelectPositionsUpToTraceCount();
        logic->PrepareForShow();
        test::Show(*channels);
    }
    QScrollBar* bar(const char* name) { return Find<QScrollBar>(*parametri, name); }
    // A user's scroll: one step at a time, as clicks on the arrows.
    void scrollTo(const char* name, int value) {
        while (bar(name)->value() < value) bar(name)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        while (bar(name)->value() > value) bar(name)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    }
    void openParametri() {
        s->N_slow = 128, s->Baud_rate_high = 250000, s->Sampling_freq = 4000, s->N_samples = 1024, s->N_Geofoni = 48;
        params = std::make_unique<AcqParameters>(*s, *main);
        parametri = std::make_unique<Parametri>(*params);
        test::Show(*parametri);
    }
    // The trigger units dialog on the state, run modally with `act` inside.
    void runTrgUnits(const std::function<void(TRG_units&)>& act) {
        TriggerUnits units(*s);
        TRG_units dialog(units);
        test::RunModal(dialog, [&] { act(dialog); });
    }

private slots:
    void init() { s = std::make_unique<State>(), main = std::make_unique<test::FakePanel>(); }
    void cleanup() { channels.reset(), logic.reset(), parametri.reset(), params.reset(); }

    // Keystroke by keystroke: "1" and "12" are taken as typed, "12a" is refused.
    void slotsGroupsAndTyping() {
        openChannels();
        QCOMPARE(text(1)->text() + " " + text(24)->text(), QString("1 24"));
        for (auto [group, on] : {std::pair{"b", true}, {"c", false}, {"d", false}})
            QCOMPARE(find<QRadioButton>(group)->isEnabled(), on);
        QVERIFY(find<QCheckBox>("sett_all")->isChecked() && find<QCheckBox>("Check24")->isChecked());
        test::SaveScreenshot(*channels, "Channels_setting");
        type(3, "12a");
        QCOMPARE(text(3)->text(), QString());
        QCOMPARE(s->Ch_param[3], int16_t(12));
        // Group b: slot 2 is position 26; 30 traces end at slot 6.
        ClickIndicator(find<QRadioButton>("b"));
        QCOMPARE(text(2)->text(), QString("26"));
        QVERIFY(text(6)->isEnabled() && !text(7)->isEnabled());
        type(2, "7");
        QCOMPARE(std::pair(s->Ch_param[26], s->Ch_param[2]), std::pair(int16_t(7), int16_t(2)));
        for (int p = 25; p <= 48; ++p) QVERIFY(s->Ch_enabled[p]);
    }

    void checkBoxesAndMarks() {
        openChannels();
        ClickIndicator(find<QCheckBox>("Check5"));
        QVERIFY(!s->Ch_enabled[5] && s->Ch_enabled[4]);
        ClickIndicator(find<QCheckBox>("sett_all"));
        for (int p = 1; p <= 24; ++p) QVERIFY(!s->Ch_enabled[p]);
        QVERIFY(!find<QCheckBox>("Check1")->isChecked());
        ChannelSlots& seen = *logic;
        seen.setCheckCaption(2, "ERROR", kSlotRed);
        seen.setCheckCaption(3, "OK", kSlotGreen);
        QCOMPARE(find<QCheckBox>("Check2")->text(), QString("ERROR"));
        QVERIFY(find<QCheckBox>("Check3")->styleSheet().contains("rgb(0, 192, 0)"));
    }

    // A choice among the handled ones acts at once; another waits for OK.
    void triggerChoices() {
        openChannels();
        ClickIndicator(find<QRadioButton>("Option6"));
        QVERIFY(text(6)->styleSheet().contains("rgb(255, 0, 0)") && text(1)->styleSheet().isEmpty());
        ClickIndicator(find<QRadioButton>("Option9"));
        QVERIFY(s->Trigger_unit == 6 && text(9)->styleSheet().isEmpty());
        Click(*channels, "Command1");
        QVERIFY(s->Trigger_unit == 9 && !channels->isVisible());
    }

    void barsOptionsAndOk() {
        openParametri();
        QCOMPARE(std::pair(bar("VScroll2")->value(), bar("VScroll1")->value()), std::pair(6, 10));
        ExpectCaptions(*parametri,
                       {{"Label3", "4000 Hz"}, {"Sampling_rate", "0.25"}, {"Acq_time", "256"}, {"Label4", "msec"}});
        test::SaveScreenshot(*parametri, "Parametri");
        scrollTo("VScroll1", 13);
        QCOMPARE(s->N_samples, 8192);
        ExpectCaptions(*parametri, {{"Numero_campioni", "8192"}, {"Acq_time", "2.05"}, {"Label4", "sec"}});
        QCOMPARE(main->text(Ctl::N_samples), std::string("8192"));
        for (auto [option, opening] : {std::pair{"Option2", 1}, {"Option1", 0}}) {
            ClickIndicator(Find<QRadioButton>(*parametri, option));
            QCOMPARE(s->Trg_opening, int16_t(opening));
        }
        // Other parts move the open dialog (as GO RUNNING moves the bar); OK
        // unloads it and leaves the values in the state.
        params->setFreqPosition(8);
        QCOMPARE(bar("VScroll2")->value(), 8);
        QCOMPARE(Caption(*parametri, "Label3"), QString("16000 Hz"));
        Click(*parametri, "Command1");
        QVERIFY(!parametri->isVisible() && !params->loaded());
        QCOMPARE(s->Sampling_freq, 16000);
    }

    // Down to 125 Hz at the lowest high speed (128 samples, the bar off, the
    // pre-trigger capped at 64), then back up at 500000.
    void lowRateAndBack() {
        openParametri();
        scrollTo("VScroll2", 3);
        QCOMPARE(std::tuple(s->Sampling_freq, s->N_Geofoni, s->N_samples), std::tuple(125, int16_t(24), 128));
        QVERIFY(!bar("VScroll1")->isEnabled() && !Find<QLabel>(*parametri, "Numero_campioni")->isEnabled());
        QVERIFY(!main->enabled[Ctl::Toolbar2] && main->enabled[Ctl::puls_sample]);
        bar("VScroll3")->setValue(100);
        QCOMPARE(std::pair(Caption(*parametri, "pre_camp"), int(s->N_pretrigger)), std::pair(QString("64"), 64));

        s->Baud_rate_high = 500000;
        scrollTo("VScroll2", 2);
        QCOMPARE(std::pair(s->Sampling_freq, Caption(*parametri, "Sampling_rate")), std::pair(250, QString("4")));
        scrollTo("VScroll2", 6);
        QCOMPARE(std::pair(s->Sampling_freq, s->N_samples), std::pair(4000, 256));
        QVERIFY(bar("VScroll1")->isEnabled() && bar("VScroll1")->value() == 10);
        QVERIFY(main->enabled[Ctl::Toolbar2] && !main->enabled[Ctl::puls_sample]);
    }

    // A unit's option acts at once; the manual number waits for DONE, and
    // the dialog opens again on its bar.
    void unitOptionThenManualNumber() {
        s->Trigger_unit = 1;
        runTrgUnits([&](TRG_units& d) {
            ClickIndicator(Find<QRadioButton>(d, "Option10"));
            QCOMPARE(s->Trigger_unit, int16_t(1009));
            QScrollBar* bar = Find<QScrollBar>(d, "VScroll1");
            QVERIFY(!bar->isEnabled());
            ClickIndicator(Find<QCheckBox>(d, "manual_trg_Check"));
            QVERIFY(s->Manual_trigger);
            QVERIFY(!Find<QWidget>(d, "Frame1")->isEnabled() && bar->isEnabled());
            for (int i = 0; i < 4; ++i) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(Caption(d, "Label1"), QString("5"));
            QCOMPARE(s->Trigger_unit, int16_t(1009));
            test::SaveScreenshot(d, "TRG_units");
            Click(d, "Command1");
        });
        QCOMPARE(s->Trigger_unit, int16_t(5));
        runTrgUnits([&](TRG_units& d) {
            QVERIFY(Find<QCheckBox>(d, "manual_trg_Check")->isChecked());
            QCOMPARE(Find<QScrollBar>(d, "VScroll1")->value(), 5);
            QVERIFY(!Find<QRadioButton>(d, "Option10")->isChecked());
        });
        QCOMPARE(s->Trigger_unit, int16_t(5));
    }

    // The bar's top is +2000; Save stores, Exit does not, Restore gives 0.
    void correctionSaveExitRestore() {
        s->Trg_correction = -300;
        TriggerCorrection correction(*s);
        TRG_correction dialog(correction);
        test::Show(dialog);
        test::SaveScreenshot(dialog, "TRG_correction");
        QScrollBar* scroll = Find<QScrollBar>(dialog, "VScroll1");
        QCOMPARE(scroll->value(), 1700);
        scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Caption(dialog, "Label2"), QString("-200"));
        Click(dialog, "Command_exit");
        QCOMPARE(s->Trg_correction, int16_t(-300));
        dialog.show();
        Click(dialog, "Command_restore");
        QCOMPARE(std::pair(s->Trg_correction, scroll->value()), std::pair(int16_t(0), 2000));
        scroll->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(s->Trg_correction, int16_t(0));
        Click(dialog, "Command_Save");
        QVERIFY(s->Trg_correction == 2000 && !dialog.isVisible());
    }

    // The rate acts at once, the sample count on Save.
    void runningParameters() {
        s->Running_Fs = 2000, s->Running_N = 512;
        RunningParameters running(*s, *main);
        Initialisation_Par dialog(running);
        test::Show(dialog);
        ExpectCaptions(dialog, {{"Label3", "2000"}, {"Label4", "512"}});
        test::SaveScreenshot(dialog, "Initialisation_Par");
        Find<QScrollBar>(dialog, "VScroll2")->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(Caption(dialog, "Label4"), QString("256"));
        Find<QScrollBar>(dialog, "VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(std::pair(s->Running_Fs, s->Running_N), std::pair(int16_t(4000), int16_t(512)));
        Click(dialog, "Command1");
        QCOMPARE(s->Running_N, int16_t(256));
        QCOMPARE(main->text(Ctl::Label5) + ", " + main->text(Ctl::Label2), "Running N = 256, Running Fs = 4000");
    }

    // The stacking dialog opens on the choice, which acts at once; "Review
    // each hit" is offered with "STACKING" only.
    void stackingChoice() {
        s->Stacking = false;
        stacking dialog(*s, *main);
        test::RunModal(dialog, [&] {
            QVERIFY(Find<QRadioButton>(dialog, "Option2")->isChecked());
            auto* review = Find<QCheckBox>(dialog, "Review_hits");
            QVERIFY(!review->isEnabled() && !review->isChecked());
            ClickIndicator(Find<QRadioButton>(dialog, "Option1"));
            QVERIFY(s->Stacking && review->isEnabled());
            review->click();
            QVERIFY(s->Review_hits);
            QCOMPARE(main->picture, std::vector<std::string>{"background 192 255 255"});
            test::SaveScreenshot(dialog, "stacking");
            ClickIndicator(Find<QRadioButton>(dialog, "Option2"));
            QVERIFY(!s->Stacking && !review->isEnabled());
            QCOMPARE(main->picture.back(), std::string("background 255 255 255"));
            Click(dialog, "Command1");
        });
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(AcquisitionDialogsTest)
#include "acquisition_dialogs_qtest.moc"
