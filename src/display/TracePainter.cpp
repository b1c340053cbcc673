#include "display/TracePainter.h"

#include <QPainter>
#include <QPen>

namespace q24 {

void TracePainter::paint(QPainter& painter, const TracePlot& plot) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PlotShape& shape : plot.shapes) {
        if (shape.count == 0) continue;
        const QColor colour(shape.colour.r, shape.colour.g, shape.colour.b);
        QPen pen(colour, 0);  // cosmetic: one pixel whatever the transform
        painter.setPen(pen);
        scratch_.resize(shape.count);
        const PlotPoint* p = plot.begin(shape);
        for (std::size_t i = 0; i < shape.count; ++i) scratch_[i] = QPointF(p[i].x, p[i].y);
        const int n = static_cast<int>(shape.count);
        if (shape.kind == PlotShape::Kind::Polyline) {
            if (n > 1) painter.drawPolyline(scratch_.data(), n);
        } else {
            painter.setBrush(colour);
            painter.drawPolygon(scratch_.data(), n, Qt::OddEvenFill);
            painter.setBrush(Qt::NoBrush);
        }
    }
}

}  // namespace q24
