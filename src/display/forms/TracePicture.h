#pragma once
// The trace picture `Grafico_multiplo`: a picture that keeps what was drawn
// on it until it is cleared. It paints from a backing image, so being covered
// and uncovered loses nothing, and it remembers which traces it drew since the
// last clear, so at a new size it draws them again from Dati.
#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "display/Plotter.h"
#include "display/TracePainter.h"
#include "state/State.h"

namespace q24 {

class TracePicture : public QWidget {
    Q_OBJECT
public:
    explicit TracePicture(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {800, 500}; }

    // The state whose traces the picture draws. Until a state is attached
    // PlotTrace draws nothing.
    void attach(State& s) { state_ = &s; }

    // Draws trace t (row t-1 of Dati) in style 1, 2 or 3 over what is there.
    void PlotTrace(int t, int style);
    // Erases everything to the background colour.
    void Clear();
    // A new background colour; like a picture box's, it erases the drawing.
    void setBackground(const QColor& colour);
    QColor background() const { return background_; }

    // The picture as it stands, at the widget's size.
    QImage image();
    // Traces drawn since the last clear, in drawing order (each once: a trace
    // drawn again in the same style moves to the end).
    struct Drawn {
        int trace;
        int style;
        friend bool operator==(const Drawn&, const Drawn&) = default;
    };
    const std::vector<Drawn>& drawn() const { return drawn_; }

signals:
    // Position in picture units (pixels from the top-left corner).
    void mouseDown(double x, double y);
    void mouseMoved(double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Brings the backing image to the widget's size, drawing the remembered
    // traces again when the size changed.
    void syncSize();
    void draw(const Drawn& d);
    // Shows what was drawn a few milliseconds later, several traces in one
    // repaint: an acquisition that draws each channel as it arrives and asks
    // for the next at once gets the repaint while that channel is on the line.
    void refresh();

    State* state_ = nullptr;
    QTimer refresh_;
    QColor background_ = Qt::white;
    QImage image_;
    std::vector<Drawn> drawn_;
    PlotMemory memory_;
    TracePainter painter_;
};

}  // namespace q24
