// The display options dialog as the operator uses it.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "display/DisplayDialog.h"
#include "support/FakePanel.h"

using namespace q24;

class DisplayDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheCurrentStyle_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("selected");
        QTest::newRow("normal") << 1 << "Option1";
        QTest::newRow("red/blue") << 2 << "Option2";
        QTest::newRow("black") << 3 << "Option3";
        QTest::newRow("unknown") << 7 << "";
    }
    void opensOnTheCurrentStyle() {
        QFETCH(int, mode);
        QFETCH(QString, selected);
        auto s = std::make_unique<State>();
        s->Display_mode = static_cast<int16_t>(mode);
        test::FakePanel panel;
        DisplayDialog d(*s, panel);
        QCOMPARE(d.objectName(), QString("Display"));
        QCOMPARE(d.windowTitle(), QString("TRACES DISPLAY OPTIONS"));
        QCOMPARE(d.findChild<QRadioButton*>("Option1")->text(), QString("Normal"));
        QCOMPARE(d.findChild<QRadioButton*>("Option2")->text(), QString("RED/BLUE"));
        QCOMPARE(d.findChild<QRadioButton*>("Option3")->text(), QString("BLACK SOLID"));
        QCOMPARE(d.findChild<QLabel*>("Label1")->text(), QString("Action valid only for Trigger"));
        QCOMPARE(d.findChild<QPushButton*>("Command1")->text(), QString("Done"));
        for (const char* name : {"Option1", "Option2", "Option3"})
            QCOMPARE(d.findChild<QRadioButton*>(name)->isChecked(), selected == name);
        QCOMPARE(s->Display_mode, mode);
    }

    void doneRedrawsInTheChosenStyle() {
        auto s = std::make_unique<State>();
        s->Display_mode = 1;
        s->N_Geofoni = 2;
        test::FakePanel panel;
        DisplayDialog d(*s, panel);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.findChild<QRadioButton*>("Option3"), Qt::LeftButton);
        QCOMPARE(s->Display_mode, 3);
        QVERIFY2(panel.picture.empty(), "the choice alone draws nothing");
        QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.isVisible());
        QCOMPARE(panel.picture, (std::vector<std::string>{"clear", "plot 1 3", "plot 2 3"}));
    }

    void closeBoxKeepsTheStyleWithoutRedrawing() {
        auto s = std::make_unique<State>();
        s->Display_mode = 1;
        s->N_Geofoni = 2;
        test::FakePanel panel;
        DisplayDialog d(*s, panel);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.findChild<QRadioButton*>("Option2"), Qt::LeftButton);
        d.close();
        QCOMPARE(s->Display_mode, 2);
        QVERIFY(panel.picture.empty());
    }
};

QTEST_MAIN(DisplayDialogTest)
#include "display_dialog_qtest.moc"
