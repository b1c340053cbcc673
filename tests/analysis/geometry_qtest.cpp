// The GEOMETRY dialog as the operator uses it: the spread in one or two rows,
// the move buttons, the spacing scroll bar, OK.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "analysis/GeometryDialog.h"
#include "support/Screenshot.h"

using namespace q24;

namespace {

QString Text(const QDialog& d, const QString& name) { return d.findChild<QLabel*>(name)->text(); }
QWidget* Part(const QDialog& d, const QString& name) { return d.findChild<QWidget*>(name); }
void Click(const QDialog& d, const char* name) { QTest::mouseClick(d.findChild<QPushButton*>(name), Qt::LeftButton); }

}  // namespace

class GeometryDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<State> s;

private slots:
    void init() {
        s = std::make_unique<State>();
        s->N_Geofoni = 24;
        s->Dist_geofoni = 5;
    }

    void oneRowOfTwentyFourAndTwoRowsOfSixty() {
        GeometryDialog d(*s, "C", '.');
        d.show();
        QCOMPARE(Text(d, "TRG_display"), QString("C"));
        QVERIFY(Part(d, "Shape24")->isVisible() && !Part(d, "Shape25")->isVisible());
        QCOMPARE(Part(d, "Shape24")->y(), Part(d, "Shape1")->y());
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape1")->x());
        QCOMPARE(Text(d, "geo24"), QString("24"));
        q24::test::SaveScreenshot(d, "geometry24");

        s->N_Geofoni = 60;
        s->Pos_source = 262.5f;  // 4.5 spacings past geophone 49
        GeometryDialog two(*s, "7", '.');
        two.show();
        QVERIFY(Part(two, "Shape60")->isVisible() && !Part(two, "Shape61")->isVisible());
        QCOMPARE(Part(two, "Shape49")->x(), Part(two, "Shape1")->x());
        QCOMPARE(Part(two, "Shape60")->x(), Part(two, "Shape12")->x());
        QVERIFY(Part(two, "Shape49")->y() > Part(two, "geo1")->y());
        QVERIFY(Part(two, "shot")->y() > Part(two, "Shape1")->y());  // the source is in row 2
        QCOMPARE(Text(two, "Label4"), QString("262.5"));
        q24::test::SaveScreenshot(two, "geometry60");
    }

    void buttonsAndSpacingBarAsTheOperatorUsesThem() {
        s->Dist_geofoni = 2.55f;  // not a tenth: the bar snaps to 26 on opening
        s->Pos_source = 9;
        GeometryDialog d(*s, "C", ',');
        d.show();
        auto* bar = d.findChild<QScrollBar*>("VScroll1");
        QCOMPARE(bar->value(), 26);
        QCOMPARE(Text(d, "Label1"), QString("2,6"));
        QCOMPARE(Text(d, "Label4"), QString("0,0"));
        Click(d, "Command5");  // 5 spacings forward
        QCOMPARE(Text(d, "Label4"), QString("13,0"));
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape6")->x());
        for (int i = 0; i < 3; ++i) Click(d, "Command2");
        QCOMPARE(Part(d, "shot")->x(), 0);  // stopped at the dialog's edge
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(Text(d, "Label1"), QString("2,7"));
        QCOMPARE(Text(d, "Label4"), QString("0,0"));
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape1")->x());
        Click(d, "Command4");
        Click(d, "Command1");
        QVERIFY(!d.isVisible());
        QCOMPARE(s->Dist_geofoni, 2.7f);
        QCOMPARE(s->Pos_source, 1.35f);
    }
};

QTEST_MAIN(GeometryDialogTest)
#include "geometry_qtest.moc"
