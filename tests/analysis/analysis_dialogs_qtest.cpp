// The GEOMETRY and SPECTRUM dialogs as the operator uses them.
#include <QScrollBar>
#include <cmath>
#include <memory>
#include <random>

#include "analysis/forms/geometria.h"
#include "analysis/forms/Spettro.h"
#include "support/DialogTest.h"

using namespace q24;
using test::Caption, test::Click, test::Find;

namespace {

QWidget* Part(const QWidget& d, const QString& name) { return Find<QWidget>(d, name); }

// Pixels of one curve colour on the picture (the grid is grey, the cursor a
// lighter green than the palette's).
int Pixels(QWidget* picture, CurveRgb c) {
    const QImage image = picture->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xffffff) == (qRgb(c.r, c.g, c.b) & 0xffffff);
    return count;
}

}  // namespace

class AnalysisDialogsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<State> s;
    std::unique_ptr<SpectrumSession> session;

private slots:
    // 24 geophones 5 m apart; two shot traces of 2048 samples at 1000 Hz: noise,
    // then a ringing arrival, later and lower on the farther one.
    void init() {
        s = std::make_unique<State>();
        session = std::make_unique<SpectrumSession>();
        s->N_Geofoni = 24, s->Dist_geofoni = 5, s->N_samples = 2048, s->Sampling_freq = 1000;
        std::mt19937 gen(3);
        std::normal_distribution<double> noise(0, 200);
        for (int t = 0; t < 2; ++t)
            for (int j = 0; j < 2048; ++j) {
                const double time = (j - 300 - 250 * t) / 1000.0;
                const double f = t == 0 ? 120 : 45;
                const double arrival = time < 0 ? 0 : 5e4 * std::exp(-time * 15) * std::sin(2 * M_PI * f * time);
                s->Dati(t, j) = static_cast<float>(arrival + noise(gen));
            }
    }

    // 60 geophones in two rows, the source in row 2.
    void twoRowsOfSixty() {
        s->N_Geofoni = 60, s->Pos_source = 262.5f;  // 4.5 spacings past geophone 49
        geometria two(*s, "7", '.');
        two.show();
        QVERIFY(Part(two, "Shape60")->isVisible() && !Part(two, "Shape61")->isVisible());
        QCOMPARE(std::pair(Part(two, "Shape49")->x(), Part(two, "Shape60")->x()),
                 std::pair(Part(two, "Shape1")->x(), Part(two, "Shape12")->x()));
        QVERIFY(Part(two, "Shape49")->y() > Part(two, "geo1")->y());
        QVERIFY(Part(two, "shot")->y() > Part(two, "Shape1")->y());  // the source is in row 2
        QCOMPARE(Caption(two, "Label4"), QString("262.5"));
        test::SaveScreenshot(two, "geometry60");
    }

    void buttonsAndSpacingBarAsTheOperatorUsesThem() {
        s->Dist_geofoni = 2.55f, s->Pos_source = 9;  // not a tenth: the bar snaps to 26 on opening
        geometria d(*s, "C", ',');
        d.show();
        auto* bar = Find<QScrollBar>(d, "VScroll1");
        QCOMPARE(bar->value(), 26);
        QCOMPARE(Caption(d, "Label1") + " " + Caption(d, "Label4"), QString("2,6 0,0"));
        Click(d, "Command5");  // 5 spacings forward
        QCOMPARE(std::pair(Caption(d, "Label4"), Part(d, "shot")->x()),
                 std::pair(QString("13,0"), Part(d, "Shape6")->x()));
        for (int i = 0; i < 3; ++i) Click(d, "Command2");
        QCOMPARE(Part(d, "shot")->x(), 0);  // stopped at the dialog's edge
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(Caption(d, "Label1") + " " + Caption(d, "Label4"), QString("2,7 0,0"));
        QCOMPARE(Part(d, "shot")->x(), Part(d, "Shape1")->x());
        Click(d, "Command4");
        Click(d, "Command1");
        QVERIFY(!d.isVisible());
        QCOMPARE(std::pair(s->Dist_geofoni, s->Pos_source), std::pair(2.7f, 1.35f));
    }

    void captionsAndCursorFollowTheSamplingFrequency() {
        s->Sampling_freq = 4000;
        Spettro d(*s, *session, Regional{});
        d.show();
        QCOMPARE(Caption(d, "Label4") + " " + Caption(d, "Label13"), QString("2000Hz 1800"));
        auto* picture = Part(d, "Picture1");
        QTest::mouseMove(picture, QPoint(picture->width() / 2, 40));
        QTRY_COMPARE(Caption(d, "Label14"), QString("1000"));
        QCOMPARE(Part(d, "Line20")->x(), picture->width() / 2);
    }

    void twoEvaluationsLeaveTwoCurvesAndExitClearsThem() {
        auto dialog = std::make_unique<Spettro>(*s, *session, Regional{});
        dialog->show();
        auto* picture = Part(*dialog, "Picture1");
        CurveColours sequence;  // the run's colours, from the same start
        const CurveRgb first = sequence.next(), second = sequence.next();
        QVERIFY(!(first == second));  // the first two curves of a run are told apart

        Click(*dialog, "Command1");
        const int firstCurve = Pixels(picture, first);
        QVERIFY(Find<QAbstractButton>(*dialog, "Command1")->isEnabled() && firstCurve > 300);  // a curve, not a dot

        Find<QScrollBar>(*dialog, "VScroll1")->setValue(2);
        QCOMPARE(Caption(*dialog, "Label1"), QString("2"));
        Click(*dialog, "Command1");
        QVERIFY(Pixels(picture, second) > 300);
        QVERIFY(Pixels(picture, first) > firstCurve / 2);  // drawn over, not erased
        QTest::mouseMove(picture, QPoint(picture->width() / 4, 100));
        test::SaveScreenshot(*dialog, "spectrum");

        Click(*dialog, "Command2");
        QVERIFY(!dialog->isVisible() && dialog->result() == QDialog::Accepted);
        dialog = std::make_unique<Spettro>(*s, *session, Regional{});
        QCOMPARE(Pixels(Part(*dialog, "Picture1"), first) + Pixels(Part(*dialog, "Picture1"), second), 0);
    }
};

QTEST_MAIN(AnalysisDialogsTest)

#include "analysis_dialogs_qtest.moc"
