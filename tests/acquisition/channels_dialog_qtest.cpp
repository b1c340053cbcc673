// The channel settings dialog driven by its control names.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "acquisition/ChannelSettings.h"
#include "acquisition/Channels_setting.h"
#include "support/DialogTest.h"

using namespace q24;

class ChannelsSettingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    std::unique_ptr<ChannelSettings> logic;
    std::unique_ptr<Channels_setting> dialog;

    template <typename T>
    T* find(const QString& name) { return test::Find<T>(*dialog, name); }
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
        QCOMPARE(text(1)->text(), QString("1"));
        QCOMPARE(text(24)->text(), QString("24"));
        QVERIFY(find<QRadioButton>("a")->isChecked());
        QVERIFY(find<QRadioButton>("b")->isEnabled());
        QVERIFY(!find<QRadioButton>("c")->isEnabled());
        QVERIFY(!find<QRadioButton>("d")->isEnabled());
        QVERIFY(find<QCheckBox>("sett_all")->isChecked());
        QVERIFY(find<QCheckBox>("Check24")->isChecked());
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
        test::ClickIndicator(find<QRadioButton>("b"));
        QCOMPARE(text(2)->text(), QString("26"));
        QVERIFY(text(6)->isEnabled());   // position 30
        QVERIFY(!text(7)->isEnabled());  // position 31
        type(2, "7");
        QCOMPARE(s->Ch_param[26], int16_t(7));
        QCOMPARE(s->Ch_param[2], int16_t(2));
        for (int p = 25; p <= 48; ++p) QVERIFY(s->Ch_enabled[p]);
    }

    void checkBoxesSelectPositions() {
        test::ClickIndicator(find<QCheckBox>("Check5"));
        QVERIFY(!s->Ch_enabled[5]);
        test::ClickIndicator(find<QCheckBox>("sett_all"));
        for (int p = 1; p <= 24; ++p) QVERIFY(!s->Ch_enabled[p]);
        QVERIFY(!find<QCheckBox>("Check1")->isChecked());
    }

    // A choice among the handled ones acts at once; another waits for OK.
    void triggerChoices() {
        test::ClickIndicator(find<QRadioButton>("Option6"));
        QCOMPARE(s->Trigger_unit, int16_t(6));
        QVERIFY(text(6)->styleSheet().contains("rgb(255, 0, 0)"));
        QVERIFY(text(1)->styleSheet().isEmpty());
        test::ClickIndicator(find<QRadioButton>("Option9"));
        QCOMPARE(s->Trigger_unit, int16_t(6));
        QVERIFY(text(9)->styleSheet().isEmpty());
        test::Click(*dialog, "Command1");
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

QTEST_MAIN(ChannelsSettingTest)
#include "channels_dialog_qtest.moc"
