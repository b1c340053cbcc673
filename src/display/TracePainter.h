#pragma once
// Paints a trace's geometry with a one-pixel pen and no anti-aliasing, the
// way the picture shows it: polylines in their colour, polygons outlined and
// filled in their colour (alternate fill).
#include <QPointF>
#include <vector>

#include "display/Plotter.h"

class QPainter;

namespace q24 {

class TracePainter {
public:
    void paint(QPainter& painter, const TracePlot& plot);

private:
    std::vector<QPointF> scratch_;
};

}  // namespace q24
