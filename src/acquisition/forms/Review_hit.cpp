#include "acquisition/forms/Review_hit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "display/Plotter.h"
#include "display/TracePainter.h"
#include "link/forms/FormParts.h"

namespace q24 {

namespace {

constexpr int kPictureWidth = 440, kPictureHeight = 340;

// The gather `traces` drawn into a framed picture of its own.
QLabel* GatherPicture(const TraceArray& traces, const std::vector<int>& rows, int samples, QColor background,
                      const char* name, QWidget* parent) {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    image.fill(background);
    TracePlot plot;
    GatherGeometry(traces, rows, samples, image.width(), image.height(), plot);
    TracePainter().paint(image, plot);
    auto* picture = Named(new QLabel(parent), name);
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setFrameShape(QFrame::Box);
    picture->setFixedSize(kPictureWidth + 2, kPictureHeight + 2);
    return picture;
}

}  // namespace

Review_hit::Review_hit(const State& s, int hit, const TraceArray& traces, QWidget* parent) : QDialog(parent) {
    setObjectName("Review_hit");
    setWindowTitle(QString("Review hit %1").arg(hit));

    std::vector<int> rows;
    const int positions = std::min<int>({s.N_Geofoni, s.Dati.rows(), static_cast<int>(s.Ch_enabled.size()) - 1});
    for (int ch = 1; ch <= positions; ++ch)
        if (s.Ch_enabled[static_cast<std::size_t>(ch)]) rows.push_back(ch - 1);
    const int samples = std::min(s.N_samples, s.Dati.cols());

    auto* grid = new QGridLayout;
    grid->addWidget(Named(new QLabel("This hit", this), "Label1"), 0, 0);
    grid->addWidget(Named(new QLabel(QString("Stack so far (%1 added)").arg(s.N_stack), this), "Label2"), 0, 1);
    grid->addWidget(GatherPicture(traces, rows, samples, Qt::white, "Hit_picture", this), 1, 0);
    grid->addWidget(GatherPicture(s.Dati, rows, samples, QColor(192, 255, 255), "Stack_picture", this), 1, 1);

    auto* add = Named(new QPushButton("Add", this), "Add");
    auto* reversed = Named(new QPushButton("Add reversed", this), "Add_reversed");
    auto* reject = Named(new QPushButton("Reject", this), "Reject");
    add->setDefault(true);
    auto chosen = [this](HitChoice c) {
        return [this, c] {
            choice_ = c;
            accept();
        };
    };
    connect(add, &QPushButton::clicked, this, chosen(HitChoice::Add));
    connect(reversed, &QPushButton::clicked, this, chosen(HitChoice::AddReversed));
    connect(reject, &QPushButton::clicked, this, chosen(HitChoice::Reject));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {add, reversed, reject}) {
        b->setMinimumWidth(120);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

}  // namespace q24
