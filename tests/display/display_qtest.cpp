// The trace picture and the display options dialog.
#include <QPainter>
#include <QRadioButton>
#include <memory>

#include "display/forms/Display.h"
#include "display/Plotter.h"
#include "display/ShotGather.h"
#include "display/TracePainter.h"
#include "display/forms/TracePicture.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"

using namespace q24;
using test::Click, test::Find;

namespace {

long Inked(const QImage& image) {
    long n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xffffff) != 0xffffff;
    return n;
}

// Pixels of `a` with no pixel of their colour within one pixel in `b`.
long Stray(const QImage& a, const QImage& b) {
    long n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == a.pixel(x, y);
            n += !near;
        }
    return n;
}

}  // namespace

class DisplayWidgetsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<State> s;
    test::FakePanel panel;

private slots:
    void init() {
        s = std::make_unique<State>();
        s->N_samples = 2048, s->N_Geofoni = 12, s->Sampling_freq = 4000;
        FillShotGather(*s, 12, 2048, 4000, 2e4);
        panel = {};
    }

    // What was drawn survives hiding, is redrawn from Dati at a new size (each
    // trace once, a trace drawn again at the end), and goes with Clear.
    void keepsWhatWasDrawnRedrawsItAtANewSizeUntilCleared() {
        TracePicture picture, fresh;
        picture.attach(*s);
        picture.resize(600, 400);
        test::Show(picture);
        for (int t = 1; t <= 12; ++t) picture.PlotTrace(t, t % 2 ? 3 : 1);
        picture.PlotTrace(5, 3);
        QCOMPARE(std::pair(picture.drawn().size(), picture.drawn().back().trace), std::pair(std::size_t(12), 5));
        const QImage drawn = picture.image();
        QVERIFY(Inked(drawn) > 500);
        picture.hide();
        test::Show(picture);
        QCOMPARE(picture.grab().toImage().convertToFormat(QImage::Format_RGB32), drawn);
        picture.resize(900, 300);
        fresh.attach(*s);
        fresh.resize(900, 300);
        for (const auto& d : picture.drawn()) fresh.PlotTrace(d.trace, d.style);
        QCOMPARE(picture.image(), fresh.image());  // 900 x 300
        QCOMPARE(s->Trace_spacing, 75);
        picture.Clear();
        QVERIFY(Inked(picture.image()) == 0 && picture.drawn().empty());
    }

    // Against Qt's aliased one-pixel pen drawing the same lines and lobe
    // polygons: edges may fall one pixel apart, but nothing may stand where
    // the painter drew nothing nearby.
    void paintsWhatAOnePixelPenDraws_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("samples");
        QTest::newRow("line, dense") << 1 << 16384;
        QTest::newRow("line, sparse") << 1 << 256;
        QTest::newRow("red/blue, dense") << 2 << 16384;
        QTest::newRow("black, sparse") << 3 << 512;
    }
    void paintsWhatAOnePixelPenDraws() {
        QFETCH(int, style);
        QFETCH(int, samples);
        s->N_samples = samples, s->N_Geofoni = 24;
        FillShotGather(*s, 24, samples, 4000, 2e4);
        QImage ours(800, 500, QImage::Format_RGB32), theirs(800, 500, QImage::Format_RGB32);
        ours.fill(Qt::white), theirs.fill(Qt::white);
        PlotMemory memory, ourMemory;
        TracePlot plot;
        TracePainter painter;
        QPainter p(&theirs);
        for (int t = 1; t <= 24; ++t) {
            painter.draw(ours, *s, t, style, ourMemory);
            PlotTraceGeometry(*s, t, style, 800, 500, memory, plot);
            for (const PlotShape& shape : plot.shapes) {
                const QColor c(shape.colour.r, shape.colour.g, shape.colour.b);
                p.setPen(QPen(c, 0));
                p.setBrush(c);
                QPolygonF q;
                for (std::size_t k = 0; k < shape.count; ++k) q << QPointF(plot.begin(shape)[k].x, plot.begin(shape)[k].y);
                if (shape.kind == PlotShape::Kind::Polygon) p.drawPolygon(q, Qt::OddEvenFill);
                else
                    for (int k = 1; k < q.size(); ++k) p.drawLine(q[k - 1], q[k]);
            }
        }
        p.end();
        const long inked = Inked(theirs);
        QVERIFY(inked > 5000);
        QCOMPARE(Stray(ours, theirs), 0L);
        QVERIFY2(Stray(theirs, ours) <= inked / 1000, qPrintable(QString::number(Stray(theirs, ours))));
    }

    // Opens on the current style (none for an unknown one, left alone); a
    // choice is kept however the dialog closes, only Done redraws.
    void displayDialog() {
        s->Display_mode = 7;
        q24::Display unknown(*s, panel);
        for (int i = 1; i <= 3; ++i) QVERIFY(!Find<QRadioButton>(unknown, QString("Option%1").arg(i))->isChecked());
        QCOMPARE(s->Display_mode, 7);
        s->N_Geofoni = 2;
        for (auto [mode, done] : {std::pair{3, true}, {2, false}}) {
            s->Display_mode = 1;
            panel.picture.clear();
            q24::Display d(*s, panel);
            test::Show(d);
            QVERIFY(Find<QRadioButton>(d, "Option1")->isChecked());
            QTest::mouseClick(Find<QRadioButton>(d, QString("Option%1").arg(mode)), Qt::LeftButton);
            QVERIFY2(s->Display_mode == mode && panel.picture.empty(), "the choice alone draws nothing");
            if (done) Click(d, "Command1");
            else d.close();
            QVERIFY(!d.isVisible() && s->Display_mode == mode);
            const std::string style = std::to_string(mode);
            const std::vector<std::string> redrawn{"clear", "plot 1 " + style, "plot 2 " + style};
            QCOMPARE(panel.picture, done ? redrawn : std::vector<std::string>{});
        }
    }
};

QTEST_MAIN(DisplayWidgetsTest)
#include "display_qtest.moc"
