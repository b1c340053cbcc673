// The GEOMETRY dialog as the operator uses it: the spread in one or two rows,
// the move buttons, the spacing scroll bar, OK.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "analysis/GeometryDialog.h"
#include "analysis/support/Screenshots.h"

using namespace q24;

namespace {

constexpr int kPx = GeometryDialog::kTwipsPerPixel;

QString Text(const QDialog& d, const char* name) { return d.findChild<QLabel*>(name)->text(); }
QWidget* Part(const QDialog& d, const QString& name) { return d.findChild<QWidget*>(name); }

}  // namespace

class GeometryDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<State> s;

private slots:
    void init() {
        s = std::make_unique<State>();
        s->N_Geofoni = 24;
        s->Dist_geofoni = 5;
        s->Pos_source = 0;
    }

    void oneRowOfTwentyFour() {
        GeometryDialog d(*s, "C", '.');
        d.show();
        QCOMPARE(d.windowTitle(), QString("GEOMETRY"));
        QCOMPARE(Text(d, "TRG_display"), QString("C"));
        QCOMPARE(Text(d, "Label1"), QString("5"));
        QCOMPARE(Text(d, "Label4"), QString("0.0"));
        for (int k = 1; k <= 96; ++k) {
            QCOMPARE(Part(d, QString("Shape%1").arg(k))->isVisible(), k <= 24);
            QCOMPARE(Text(d, QString("geo%1").arg(k).toLatin1()), QString::number(k));
        }
        QCOMPARE(Part(d, "Shape24")->x(), (1350 + 23 * 450) / kPx);
        QCOMPARE(Part(d, "Shape24")->y(), Part(d, "Shape1")->y());
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape1")->x());
        for (int k : {1, 24})
            QVERIFY(std::abs(Part(d, QString("geo%1").arg(k))->geometry().center().x() -
                             Part(d, QString("Shape%1").arg(k))->geometry().center().x()) <= 1);
        q24::test::SaveScreenshot(&d, "geometry24.png");
    }

    void twoRowsOfSixty() {
        s->N_Geofoni = 60;
        s->Pos_source = 262.5f;  // 4.5 spacings past geophone 49
        GeometryDialog d(*s, "7", '.');
        d.show();
        QVERIFY(Part(d, "Shape60")->isVisible());
        QVERIFY(!Part(d, "Shape61")->isVisible());
        QCOMPARE(Part(d, "Shape49")->x(), Part(d, "Shape1")->x());
        QCOMPARE(Part(d, "Shape60")->x(), Part(d, "Shape12")->x());
        QVERIFY(Part(d, "Shape49")->y() > Part(d, "geo1")->y());
        QVERIFY(Part(d, "shot")->y() > Part(d, "Shape1")->y());  // the source is in row 2
        QCOMPARE(Text(d, "Label4"), QString("262.5"));
        q24::test::SaveScreenshot(&d, "geometry60.png");
    }

    void moveButtonsMoveTheSourceAndStopAtTheEdge() {
        GeometryDialog d(*s, "C", '.');
        d.show();
        auto click = [&](const char* name) { QTest::mouseClick(d.findChild<QPushButton*>(name), Qt::LeftButton); };
        click("Command5");
        QCOMPARE(Text(d, "Label4"), QString("25.0"));
        QCOMPARE(s->Pos_source, 25.0f);
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape6")->x());
        click("Command3");
        QCOMPARE(Text(d, "Label4"), QString("22.5"));
        for (int i = 0; i < 5; ++i) click("Command2");
        QCOMPARE(Text(d, "Label4"), QString("-102.5"));
        QCOMPARE(Part(d, "shot")->x(), 0);
        QCOMPARE(s->Shot_x, 0);
        click("Command4");
        QCOMPARE(s->Pos_source, -100.0f);
    }

    void spacingBarPutsTheSourceBackOnGeophoneOne() {
        s->Pos_source = 40;
        GeometryDialog d(*s, "C", '.');
        d.show();
        auto* bar = d.findChild<QScrollBar*>("VScroll1");
        QCOMPARE(bar->value(), 50);
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 100);
        bar->setValue(25);
        QCOMPARE(Text(d, "Label1"), QString("2.5"));
        QCOMPARE(Text(d, "Label4"), QString("0.0"));
        QCOMPARE(s->Dist_geofoni, 2.5f);
        QCOMPARE(s->Pos_source, 0.0f);
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape1")->x());
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(Text(d, "Label1"), QString("2.6"));
    }

    void openingWithAnOddSpacingSnapsToTheNearestTenth() {
        s->Dist_geofoni = 2.55f;
        s->Pos_source = 9;
        GeometryDialog d(*s, "C", ',');
        QCOMPARE(d.findChild<QScrollBar*>("VScroll1")->value(), 26);
        QCOMPARE(Text(d, "Label1"), QString("2,6"));
        QCOMPARE(Text(d, "Label4"), QString("0,0"));
        QCOMPARE(s->Pos_source, 0.0f);
    }

    void okClosesAndKeepsTheChanges() {
        GeometryDialog d(*s, "C", '.');
        d.show();
        QTest::mouseClick(d.findChild<QPushButton*>("Command4"), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(s->Pos_source, 2.5f);
    }
};

QTEST_MAIN(GeometryDialogTest)
#include "geometry_qtest.moc"
