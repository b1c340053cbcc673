// The stacking dialog driven by its control names, as the operator uses it.
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "acquisition/StackingDialog.h"
#include "state/State.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;

class StackingDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<State> s;
    test::FakePanel main;

    // Opens the dialog modally; `act` runs inside it.
    void run(StackingDialog& dialog, const std::function<void()>& act) {
        QTimer::singleShot(0, &dialog, [&] {
            act();
            if (dialog.isVisible()) dialog.reject();
        });
        dialog.exec();
    }

private slots:
    void init() {
        s = std::make_unique<State>();
        main = test::FakePanel();
    }

    void opensOnTheCurrentChoice() {
        for (bool stacking : {false, true}) {
            s->Stacking = stacking;
            StackingDialog dialog(*s, main);
            QCOMPARE(dialog.windowTitle(), QString("STACKING"));
            QCOMPARE(dialog.findChild<QRadioButton*>("Option1")->isChecked(), stacking);
            QCOMPARE(dialog.findChild<QRadioButton*>("Option2")->isChecked(), !stacking);
        }
        QVERIFY(main.picture.empty());  // opening changes nothing
    }

    void choosingActsAtOnceAndDoneCloses() {
        StackingDialog dialog(*s, main);
        run(dialog, [&] {
            QCOMPARE(dialog.findChild<QRadioButton*>("Option2")->text(), QString("NO  STACKING"));
            test::ClickIndicator(dialog.findChild<QRadioButton*>("Option1"));
            QVERIFY(s->Stacking);
            QCOMPARE(main.picture.back(), std::string("background 192 255 255"));
            test::SaveScreenshot(dialog, "stacking");
            test::ClickIndicator(dialog.findChild<QRadioButton*>("Option2"));
            QVERIFY(!s->Stacking);
            QCOMPARE(main.picture.back(), std::string("background 255 255 255"));
            auto* done = dialog.findChild<QPushButton*>("Command1");
            QCOMPARE(done->text(), QString("Done"));
            QTest::mouseClick(done, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(StackingDialogTest)
#include "stacking_dialog_qtest.moc"
