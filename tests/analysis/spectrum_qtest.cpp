// The SPECTRUM dialog as the operator uses it: captions, the cursor under the
// mouse, the trace selector, EVALUATE drawing over earlier curves, EXIT.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <cmath>
#include <memory>
#include <random>

#include "analysis/SpectrumDialog.h"
#include "support/Screenshot.h"

using namespace q24;

namespace {

// Pixels of one curve colour on the picture (the grid is grey, the cursor a
// lighter green than the palette's).
int Pixels(QWidget* picture, Rgb c) {
    const QImage image = picture->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xffffff) == (qRgb(c.r, c.g, c.b) & 0xffffff);
    return count;
}

}  // namespace

class SpectrumDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<State> s;
    std::unique_ptr<SpectrumSession> session;

private slots:
    void init() {
        s = std::make_unique<State>();
        session = std::make_unique<SpectrumSession>();
        s->N_samples = 2048;
        s->Sampling_freq = 1000;
        // Two shot traces: noise, then a ringing arrival, later and lower on
        // the farther geophone.
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

    void captionsAndCursorFollowTheSamplingFrequency() {
        s->Sampling_freq = 4000;
        SpectrumDialog d(*s, *session, Regional{});
        d.show();
        QCOMPARE(d.findChild<QLabel*>("Label4")->text(), QString("2000Hz"));
        QCOMPARE(d.findChild<QLabel*>("Label13")->text(), QString("1800"));
        auto* picture = d.findChild<QWidget*>("Picture1");
        QTest::mouseMove(picture, QPoint(picture->width() / 2, 40));
        QTRY_COMPARE(d.findChild<QLabel*>("Label14")->text(), QString("1000"));
        QCOMPARE(d.findChild<QWidget*>("Line20")->x(), picture->width() / 2);
    }

    void twoEvaluationsLeaveTwoCurvesAndExitClearsThem() {
        auto dialog = std::make_unique<SpectrumDialog>(*s, *session, Regional{});
        dialog->show();
        auto* picture = dialog->findChild<QWidget*>("Picture1");
        auto* evaluate = dialog->findChild<QPushButton*>("Command1");
        CurveColours sequence;  // the run's colours, from the same start
        const Rgb first = sequence.next(), second = sequence.next();
        QVERIFY(!(first == second));  // the first two curves of a run are told apart

        QTest::mouseClick(evaluate, Qt::LeftButton);
        QVERIFY(evaluate->isEnabled());
        const int firstCurve = Pixels(picture, first);
        QVERIFY(firstCurve > 300);  // a curve across the width, not a dot

        dialog->findChild<QScrollBar*>("VScroll1")->setValue(2);
        QCOMPARE(dialog->findChild<QLabel*>("Label1")->text(), QString("2"));
        QTest::mouseClick(evaluate, Qt::LeftButton);
        QVERIFY(Pixels(picture, second) > 300);
        QVERIFY(Pixels(picture, first) > firstCurve / 2);  // drawn over, not erased
        QTest::mouseMove(picture, QPoint(picture->width() / 4, 100));
        q24::test::SaveScreenshot(*dialog, "spectrum");

        QTest::mouseClick(dialog->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        dialog = std::make_unique<SpectrumDialog>(*s, *session, Regional{});
        QCOMPARE(Pixels(dialog->findChild<QWidget*>("Picture1"), first), 0);
        QCOMPARE(Pixels(dialog->findChild<QWidget*>("Picture1"), second), 0);
    }
};

QTEST_MAIN(SpectrumDialogTest)
#include "spectrum_qtest.moc"
