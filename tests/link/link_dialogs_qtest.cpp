// The link's dialogs, driven as a user would: by their controls' names.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QMessageBox>
#include <QApplication>

#include "link/forms/BR_Change.h"
#include "link/forms/Gestione_codice.h"
#include "link/forms/Password.h"
#include "link/forms/Rs232.h"
#include "support/UnitsRig.h"

using namespace q24;

class LinkDialogs : public QObject {
    Q_OBJECT

    // COM1 on the emulated units; COM4 names a device that does not open.
    struct Rig : test::UnitsRig<> {
        Rig() : UnitsRig({}) {
            map.assign(4, "/dev/none");
            map.fillDefaults({});
            s->Com_port = 0;
        }
    };

    template <class T>
    static T* find(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(name);
        if (!c) qFatal("no control %s", name);
        return c;
    }

private slots:
    void portDialogDigitsKeysAndContinue() {
        Rig r;
        Rs232 d(r.owner, r.link, *r.s);
        d.show();
        QCOMPARE(find<QLabel>(d, "Label1")->text(), QString(" COM1   ") + QString::fromStdString(r.line.port.path()));
        auto* text = find<QLineEdit>(d, "Text1");
        QTest::mouseClick(find<QPushButton>(d, "Command10"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(d, "Command2"), Qt::LeftButton);
        QCOMPARE(text->text(), QString("12"));
        QTest::keyClicks(text, "a3:");
        QTest::keyClick(text, Qt::Key_Backspace);
        QCOMPARE(text->text(), QString("123:"));
        text->setText("0");
        QTest::mouseClick(find<QPushButton>(d, "Command1"), Qt::LeftButton);
        QVERIFY(d.isVisible());  // 0 is no port: nothing happens
        QVERIFY(!r.line.port.isOpen());
        text->clear();
        QTest::mouseClick(find<QPushButton>(d, "Command10"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(d, "Command1"), Qt::LeftButton);
        QVERIFY(d.isVisible());  // the units move to the working speed first
        r.runUntilIdle();
        QCOMPARE(r.s->Com_port, int16_t(1));
        QVERIFY(r.line.port.isOpen());
        QCOMPARE(r.line.units.baud(), 1000000);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void speedDialogShowsAndSetsSpeeds() {
        auto s = std::make_unique<State>();
        s->Baud_rate = 500000;
        s->Baud_rate_high = 250000;
        BR_Change d(*s);
        d.show();
        QVERIFY(find<QRadioButton>(d, "Option_500000")->isChecked());
        QVERIFY(find<QRadioButton>(d, "Option_250000_H")->isChecked());
        QTest::mouseClick(find<QRadioButton>(d, "Option_1000000_H"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(d, "Command2"), Qt::LeftButton);
        QCOMPARE(s->Baud_rate_high, 1000000);
        QCOMPARE(*s->Baud_rate, 500000.0);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void passwordIsExact() {
        for (auto [typed, want] : {std::pair{"quorvel ", QDialog::Accepted}, std::pair{"quorvel", QDialog::Rejected},
                                   std::pair{"QUORVEL ", QDialog::Rejected}}) {
            Password d;
            d.show();
            QTest::keyClicks(find<QLineEdit>(d, "Text1"), typed);
            QTest::mouseClick(find<QPushButton>(d, "Command1"), Qt::LeftButton);
            QCOMPARE(d.result(), int(want));
            QVERIFY(!d.isVisible());
        }
    }

    void codeDialogWritesAndReads() {
        Rig r;
        r.s->Com_port = 1;
        QVERIFY(r.line.run(r.link.Open_port()));
        Gestione_codice d(r.owner, r.link, *r.s);
        d.show();
        auto* text = find<QLineEdit>(d, "Text1");
        QTest::keyClicks(text, "x");
        QCOMPARE(text->text(), QString());
        text->setText("-5");
        QCOMPARE(text->text(), QString());
        QTest::keyClicks(text, "2500");
        r.line.port.written.clear();
        QTest::mouseClick(find<QPushButton>(d, "Command1"), Qt::LeftButton);
        QCOMPARE(r.s->Unit_code, int16_t(1999));
        QCOMPARE(int(r.line.port.written.at(4)), 0x0F);
        QCOMPARE(int(r.line.port.written.at(5)), 0x4F);
        QCOMPARE(text->text(), QString("2500"));
        QTest::mouseClick(find<QPushButton>(d, "Command2"), Qt::LeftButton);
        r.runUntilIdle();
        QCOMPARE(find<QLabel>(d, "Label1")->text(), QString("1999"));
        QTest::mouseClick(find<QPushButton>(d, "Command3"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(LinkDialogs)
#include "link_dialogs_qtest.moc"
