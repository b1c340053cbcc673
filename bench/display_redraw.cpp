// Full redraw of 96 traces x 16384 samples of a noisy shot gather. Times one
// line per sample and one polyline per trace (the painter's own lines), and
// the program's way: each trace turned into the pixel runs it lights. The
// filled styles are timed three ways: one painter polygon per lobe, the pixel
// runs of each lobe's polygon, and the program's runs straight from the lobe
// rules. Prints the times of this run, their ratios, and how far the
// pictures differ: pixels that differ at all, and "stray" pixels, those with
// no pixel of the same colour within one pixel in the other picture.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "display/Plotter.h"
#include "display/ShotGather.h"
#include "display/TracePainter.h"

using namespace q24;

namespace {

constexpr int kTraces = 96, kSamples = 16384, kWidth = 1264, kHeight = 700;

double milliseconds(const std::function<void()>& fn) {
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

enum class Way { LinePerSample, PolylinePerTrace, PolygonPerLobe, RunsPerLobe, Program };

QImage redraw(State& s, int style, Way way) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    PlotMemory memory;
    TracePlot plot;
    TracePainter program;
    QPainter painter;
    const bool qpainter = way != Way::Program && way != Way::RunsPerLobe;
    if (qpainter) {
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    for (int t = 1; t <= kTraces; ++t) {
        if (way == Way::Program) {
            program.draw(image, s, t, style, memory);
            continue;
        }
        PlotTraceGeometry(s, t, style, kWidth, kHeight, memory, plot);
        if (way == Way::RunsPerLobe) {
            program.paint(image, plot);
            continue;
        }
        for (const PlotShape& shape : plot.shapes) {
            const QColor colour(shape.colour.r, shape.colour.g, shape.colour.b);
            painter.setPen(QPen(colour, 0));
            std::vector<QPointF> q;
            for (std::size_t k = 0; k < shape.count; ++k) q.emplace_back(plot.begin(shape)[k].x, plot.begin(shape)[k].y);
            if (way == Way::LinePerSample) {
                for (std::size_t k = 1; k < q.size(); ++k) painter.drawLine(q[k - 1], q[k]);
            } else if (way == Way::PolylinePerTrace) {
                painter.drawPolyline(q.data(), static_cast<int>(q.size()));
            } else {
                painter.setBrush(colour);
                painter.drawPolygon(q.data(), static_cast<int>(q.size()), Qt::OddEvenFill);
            }
        }
    }
    return image;
}

struct Difference {
    long differ = 0, stray = 0;
};

// Pixels of `a` that differ from `b`, and those of them with no pixel of
// their colour within one pixel in `b`.
Difference compare(const QImage& a, const QImage& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb c = a.pixel(x, y);
            if (c == b.pixel(x, y)) continue;
            ++d.differ;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == c;
            d.stray += !near;
        }
    return d;
}

long inked(const QImage& a) {
    long n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += (a.pixel(x, y) & 0xffffff) != 0xffffff;
    return n;
}

void report(const char* what, const QImage& program, const QImage& painter) {
    const Difference a = compare(program, painter), b = compare(painter, program);
    std::printf("  %-34s %7ld inked, %7ld differ, stray %ld + %ld\n", what, inked(painter), a.differ, a.stray, b.stray);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto s = std::make_unique<State>();
    s->N_samples = kSamples;
    s->N_Geofoni = kTraces;
    s->Gain = 0;
    s->Sampling_freq = 4000;
    FillShotGather(*s, kTraces, kSamples, s->Sampling_freq, 2e4);

    QImage perSample, polyline, program[4], perLobe[4], lobeRuns[4];
    const double tSample = milliseconds([&] { perSample = redraw(*s, 1, Way::LinePerSample); });
    const double tPolyline = milliseconds([&] { polyline = redraw(*s, 1, Way::PolylinePerTrace); });
    // The three styles take turns, so a busy moment of the machine does not
    // fall on one of them alone; each keeps its best round.
    double t[4] = {0, 1e30, 1e30, 1e30};
    for (int round = 0; round < 7; ++round)
        for (int style : {1, 2, 3})
            t[style] = std::min(t[style], milliseconds([&] { program[style] = redraw(*s, style, Way::Program); }));
    const double tLobes = milliseconds([&] { perLobe[2] = redraw(*s, 2, Way::PolygonPerLobe); });
    const double tLobeRuns = milliseconds([&] { lobeRuns[2] = redraw(*s, 2, Way::RunsPerLobe); });
    perLobe[3] = redraw(*s, 3, Way::PolygonPerLobe);
    lobeRuns[3] = redraw(*s, 3, Way::RunsPerLobe);

    std::printf("full redraw, %d traces x %d samples on %dx%d pixels (best of 3; the program's styles best of 21)\n",
                kTraces, kSamples, kWidth, kHeight);
    std::printf("  style 1, one line per sample       %8.1f ms\n", tSample);
    std::printf("  style 1, one polyline per trace    %8.1f ms\n", tPolyline);
    std::printf("  style 1, pixel runs per row        %8.1f ms\n", t[1]);
    std::printf("  style 2, one polygon per lobe      %8.1f ms\n", tLobes);
    std::printf("  style 2, pixel runs per lobe       %8.1f ms\n", tLobeRuns);
    std::printf("  style 2, pixel runs per row        %8.1f ms\n", t[2]);
    std::printf("  style 3, pixel runs per row        %8.1f ms\n", t[3]);
    std::printf("ratios\n");
    std::printf("  one line per sample / style 1      %8.1f  (target at least 10)\n", tSample / t[1]);
    std::printf("  style 2 / style 1                  %8.2f  (target at most 2)\n", t[2] / t[1]);
    std::printf("  style 3 / style 1                  %8.2f  (target at most 2)\n", t[3] / t[1]);
    std::printf("  runs per lobe / style 2            %8.2f\n", tLobeRuns / t[2]);
    std::printf("pictures (%d pixels)\n", kWidth * kHeight);
    report("style 1 vs one line per sample", program[1], perSample);
    report("style 1 vs one polyline per trace", program[1], polyline);
    report("polyline vs one line per sample", polyline, perSample);
    report("style 2 vs one polygon per lobe", program[2], perLobe[2]);
    report("style 3 vs one polygon per lobe", program[3], perLobe[3]);
    report("style 2 vs runs per lobe", program[2], lobeRuns[2]);
    report("style 3 vs runs per lobe", program[3], lobeRuns[3]);
    if (argc > 1) {
        program[1].save(QString(argv[1]) + "/style1.png");
        perSample.save(QString(argv[1]) + "/per_sample.png");
        program[2].save(QString(argv[1]) + "/style2.png");
        perLobe[2].save(QString(argv[1]) + "/per_lobe2.png");
    }
    return 0;
}
