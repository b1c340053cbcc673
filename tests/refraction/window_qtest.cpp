// velostrata's window over a synthetic line: picking every shot, a click
// setting a pick, Delete removing it, undo, picks given a layer on the
// travel-time plot, the CSV export and the drawings saved.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "refraction/SyntheticLine.h"
#include "refraction/forms/Plots.h"
#include "refraction/forms/VelostrataWindow.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

using namespace q24;
using namespace q24::refraction;

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void picksByButtonAndMouseAndSavesPictures() {
        test::TempDir dir;
        test::WriteFile((dir / "a.sg2").string(), test::Seg2Image(test::SyntheticShot(test::TwoLayers{}, -2.5)));
        test::WriteFile((dir / "b.sg2").string(),
                        test::Seg2Image(test::SyntheticShot(test::TwoLayers{}, 117.5), false));
        const std::string project = (dir / "line.prj").string();
        test::WriteFile(project, "a.sg2\nb.sg2\nmissing.sg2\n");
        VelostrataWindow w(project);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.findChild<QListWidget*>("Shots")->count(), 2);
        QVERIFY(w.findChild<QLabel*>("Status")->text().contains("Skipped"));
        w.findChild<QPushButton*>("PickAll")->click();
        QVERIFY(w.session().picks(0)[10].valid());
        QVERIFY(!test::ReadFile((dir / "line.sgt").string()).empty());

        TraceView* view = w.traces();
        const QPoint at(view->xOf(4), view->yOf(0.1));
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        QCOMPARE(w.session().picks(0)[4].flag, PickFlag::Manual);
        QVERIFY(std::fabs(w.session().picks(0)[4].time - 0.1) < 0.002);
        QTest::mouseMove(view, at);
        QTest::keyClick(view, Qt::Key_Delete);
        QVERIFY(!w.session().picks(0)[4].valid());
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.session().picks(0)[4].flag, PickFlag::Manual);

        // A box dragged over the far picks of the first shot, key 2: those
        // picks belong to layer 2 and the model is made again around them.
        w.selectTab(1);
        auto* travel = w.findChild<TravelTimePlot*>("TravelTimes");
        const auto& first = w.session().picks(0);
        const QPoint from = travel->pointOf(87.5, first[18].time - 0.004).toPoint();
        const QPoint to = travel->pointOf(117.5, first[23].time + 0.004).toPoint();
        QTest::mousePress(travel, Qt::LeftButton, {}, from);
        QTest::mouseMove(travel, to);
        QTest::mouseRelease(travel, Qt::LeftButton, {}, to);
        QCOMPARE(travel->selected().size(), std::size_t{6});
        QTest::keyClick(travel, Qt::Key_2);
        QCOMPARE(w.session().layerGiven(0, 20), 2);
        QCOMPARE(w.session().assignment().size(), std::size_t{6});
        w.findChild<QPushButton*>("ExportCsv")->click();
        QVERIFY(w.findChild<QLabel*>("Status")->text().contains("the model to"));
        QVERIFY(test::ReadFile((dir / "line.csv").string()).starts_with("source_x,receiver_x,time_s\n"));

        w.findChild<QListWidget*>("Shots")->setCurrentRow(1);
        QVERIFY(w.findChild<QLabel*>("Status")->text().contains("no SOURCE_LOCATION"));
        w.findChild<QCheckBox*>("Agc")->setChecked(true);
        for (int tab = 0; tab < 3; ++tab) {
            const QString png = QString::fromStdString((dir / ("tab" + std::to_string(tab) + ".png")).string());
            QVERIFY(w.savePicture(tab, png));
            QVERIFY(!QImage(png).isNull());
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_qtest.moc"
