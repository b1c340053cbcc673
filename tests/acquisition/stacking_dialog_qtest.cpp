// The stacking dialog driven by its control names, as the operator uses it.
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "acquisition/StackingDialog.h"
#include "state/State.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;
using test::Find;

class StackingDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheChoiceWhichActsAtOnce() {
        auto s = std::make_unique<State>();
        test::FakePanel main;
        for (bool stacking : {false, true}) {
            s->Stacking = stacking;
            StackingDialog dialog(*s, main);
            QCOMPARE(Find<QRadioButton>(dialog, "Option1")->isChecked(), stacking);
            QCOMPARE(Find<QRadioButton>(dialog, "Option2")->isChecked(), !stacking);
        }
        QVERIFY(main.picture.empty());  // opening changes nothing

        s->Stacking = false;
        StackingDialog dialog(*s, main);
        test::RunModal(dialog, [&] {
            QCOMPARE(dialog.windowTitle(), QString("STACKING"));
            QCOMPARE(Find<QRadioButton>(dialog, "Option2")->text(), QString("NO  STACKING"));
            test::ClickIndicator(Find<QRadioButton>(dialog, "Option1"));
            QVERIFY(s->Stacking);
            QCOMPARE(main.picture.back(), std::string("background 192 255 255"));
            test::SaveScreenshot(dialog, "stacking");
            test::ClickIndicator(Find<QRadioButton>(dialog, "Option2"));
            QVERIFY(!s->Stacking);
            QCOMPARE(main.picture.back(), std::string("background 255 255 255"));
            QCOMPARE(Find<QPushButton>(dialog, "Command1")->text(), QString("Done"));
            test::Click(dialog, "Command1");
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(StackingDialogTest)
#include "stacking_dialog_qtest.moc"
