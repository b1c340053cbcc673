// The link's dialogs, driven as a user would: by their controls' names.
#include <QLineEdit>
#include <QRadioButton>

#include "link/forms/BR_Change.h"
#include "link/forms/Gestione_codice.h"
#include "link/forms/Password.h"
#include "link/forms/Rs232.h"
#include "support/DialogTest.h"
#include "support/UnitsRig.h"

using namespace q24;
using test::Caption, test::Click, test::Find;

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

private slots:
    void portDialogDigitsKeysAndContinue() {
        Rig r;
        Rs232 d(r.owner, r.link, *r.s);
        d.show();
        QCOMPARE(Caption(d, "Label1"), " COM1   " + QString::fromStdString(r.line.port.path()));
        auto* text = Find<QLineEdit>(d, "Text1");
        Click(d, "Command10");
        Click(d, "Command2");
        QCOMPARE(text->text(), QString("12"));
        QTest::keyClicks(text, "a3:");
        QTest::keyClick(text, Qt::Key_Backspace);
        QCOMPARE(text->text(), QString("123:"));
        text->setText("0");
        Click(d, "Command1");
        QVERIFY(d.isVisible() && !r.line.port.isOpen());  // 0 is no port: nothing happens
        text->clear();
        Click(d, "Command10");
        Click(d, "Command1");
        QVERIFY(d.isVisible());  // the units move to the working speed first
        r.runUntilIdle();
        QCOMPARE(std::pair(r.s->Com_port, r.line.units.baud()), std::pair(int16_t(1), 1000000));
        QVERIFY(r.line.port.isOpen() && d.result() == QDialog::Accepted);
    }

    void speedDialogShowsAndSetsSpeeds() {
        auto s = std::make_unique<State>();
        s->Baud_rate = 500000, s->Baud_rate_high = 250000;
        BR_Change d(*s);
        d.show();
        for (const char* on : {"Option_500000", "Option_250000_H"}) QVERIFY(Find<QRadioButton>(d, on)->isChecked());
        QTest::mouseClick(Find<QRadioButton>(d, "Option_1000000_H"), Qt::LeftButton);
        Click(d, "Command2");
        QCOMPARE(std::tuple(s->Baud_rate_high, *s->Baud_rate, d.result()),
                 std::tuple(1000000, 500000.0, int(QDialog::Accepted)));
    }

    void passwordIsExact() {
        for (auto [typed, want] : {std::pair{"quorvel ", QDialog::Accepted}, std::pair{"quorvel", QDialog::Rejected},
                                   std::pair{"QUORVEL ", QDialog::Rejected}}) {
            Password d;
            d.show();
            QTest::keyClicks(Find<QLineEdit>(d, "Text1"), typed);
            Click(d, "Command1");
            QVERIFY(d.result() == int(want) && !d.isVisible());
        }
    }

    void codeDialogWritesAndReads() {
        Rig r;
        r.s->Com_port = 1;
        QVERIFY(r.line.run(r.link.Open_port()));
        Gestione_codice d(r.owner, r.link, *r.s);
        d.show();
        auto* text = Find<QLineEdit>(d, "Text1");
        QTest::keyClicks(text, "x");
        QCOMPARE(text->text(), QString());
        text->setText("-5");
        QCOMPARE(text->text(), QString());
        QTest::keyClicks(text, "2500");
        r.line.port.written.clear();
        Click(d, "Command1");
        QCOMPARE(std::tuple(r.s->Unit_code, r.line.port.written.at(4), r.line.port.written.at(5), text->text()),
                 std::tuple(int16_t(1999), uint8_t(0x0F), uint8_t(0x4F), QString("2500")));
        Click(d, "Command2");
        r.runUntilIdle();
        QCOMPARE(Caption(d, "Label1"), QString("1999"));
        Click(d, "Command3");
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(LinkDialogs)
#include "link_dialogs_qtest.moc"
