// The SPECTRUM dialog as the operator uses it: captions, the cursor under the
// mouse, the trace selector, EVALUATE drawing over earlier curves, EXIT.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "analysis/SpectrumDialog.h"
#include "analysis/support/Screenshots.h"

using namespace q24;

namespace {

bool ColourNear(const QImage& image, double x, double y, Rgb c) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(static_cast<int>(std::lround(x)) + dx, static_cast<int>(std::lround(y)) + dy);
            if (image.rect().contains(p) && (image.pixel(p) & 0xffffff) == (qRgb(c.r, c.g, c.b) & 0xffffff))
                return true;
        }
    return false;
}

// Curve vertices away from the grid lines (every 32 pixels) and the picture's
// edges, where a curve's own colour must show.
std::vector<CurvePoint> Probes(const State& s, int width, int height) {
    std::vector<CurvePoint> probes;
    for (const CurvePoint& p : SpectrumCurve(s.Spettro_amp, s.N_samples, width, height)) {
        const int x = static_cast<int>(std::lround(p.x));
        if (x % 32 > 3 && x % 32 < 29 && p.y > 3 && p.y < height - 4) probes.push_back(p);
    }
    return probes;
}

bool EmptyPicture(QWidget* picture) {
    const QImage image = picture->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xffffff;
            // white ground, grey grid lines, the green cursor
            const bool grey = qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && c != 0;
            if (!grey && c != (qRgb(0, 160, 0) & 0xffffff)) return false;
        }
    return true;
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

    void captionsFollowTheSamplingFrequency() {
        s->Sampling_freq = 4000;
        SpectrumDialog d(*s, *session, Regional{});
        QCOMPARE(d.windowTitle(), QString("SPECTRUM"));
        QCOMPARE(d.findChild<QLabel*>("Label4")->text(), QString("2000Hz"));
        QCOMPARE(d.findChild<QLabel*>("Label5")->text(), QString("200"));
        QCOMPARE(d.findChild<QLabel*>("Label13")->text(), QString("1800"));
        QCOMPARE(d.findChild<QLabel*>("Label1")->text(), QString("1"));
        QCOMPARE(d.findChild<QLabel*>("Label14")->text(), QString(""));
        auto* picture = d.findChild<QWidget*>("Picture1");
        QCOMPARE(d.findChild<QWidget*>("Line1")->x(), picture->width() / 10);
        QCOMPARE(d.findChild<QWidget*>("Line10")->x(), picture->width() / 20);
    }

    void cursorFollowsTheMouseAndReadsTheFrequency() {
        s->Sampling_freq = 4000;
        SpectrumDialog d(*s, *session, Regional{});
        d.show();
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
        const auto curve1 = Probes(*s, picture->width(), picture->height());
        QVERIFY2(curve1.size() > 20, QByteArray::number(qulonglong(curve1.size())));
        QImage image = picture->grab().toImage();
        for (const CurvePoint& p : curve1) QVERIFY(ColourNear(image, p.x, p.y, first));

        dialog->findChild<QScrollBar*>("VScroll1")->setValue(2);
        QCOMPARE(dialog->findChild<QLabel*>("Label1")->text(), QString("2"));
        QTest::mouseClick(evaluate, Qt::LeftButton);
        const auto curve2 = Probes(*s, picture->width(), picture->height());
        image = picture->grab().toImage();
        for (const CurvePoint& p : curve2) QVERIFY(ColourNear(image, p.x, p.y, second));
        // The first curve is still there wherever the second does not cover it.
        int kept = 0;
        for (std::size_t i = 0; i < curve1.size(); ++i)
            kept += ColourNear(image, curve1[i].x, curve1[i].y, first);
        QVERIFY(kept > static_cast<int>(curve1.size()) / 2);
        QTest::mouseMove(picture, QPoint(picture->width() / 4, 100));
        q24::test::SaveScreenshot(dialog.get(), "spectrum.png");

        QTest::mouseClick(dialog->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        dialog = std::make_unique<SpectrumDialog>(*s, *session, Regional{});
        QVERIFY(EmptyPicture(dialog->findChild<QWidget*>("Picture1")));
    }

    void selectorOffersNinetySixTracesWhateverTheCount() {
        s->N_Geofoni = 3;
        SpectrumDialog d(*s, *session, Regional{});
        auto* selector = d.findChild<QScrollBar*>("VScroll1");
        QCOMPARE(selector->minimum(), 1);
        QCOMPARE(selector->maximum(), 96);
        selector->setValue(96);
        QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);  // zeros: a flat line
        QCOMPARE(s->Spettro_amp[0], 0.0f);
    }
};

QTEST_MAIN(SpectrumDialogTest)
#include "spectrum_qtest.moc"
