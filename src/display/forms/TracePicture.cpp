#include "display/forms/TracePicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace q24 {

namespace {
constexpr int kRefreshMs = 4;
}

TracePicture::TracePicture(QWidget* parent) : QWidget(parent) {
    setObjectName("Grafico_multiplo");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background_);
    setPalette(pal);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // the time readout follows the mouse without a button held
    setMinimumSize(200, 150);
    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, [this] { update(); });
}

void TracePicture::refresh() {
    if (!refresh_.isActive()) refresh_.start();
}

void TracePicture::syncSize() {
    if (image_.size() == size()) return;
    image_ = QImage(size().expandedTo({1, 1}), QImage::Format_RGB32);
    image_.fill(background_);
    for (const Drawn& d : drawn_) draw(d);
}

void TracePicture::draw(const Drawn& d) {
    if (!state_) return;
    painter_.draw(image_, *state_, d.trace, d.style, memory_);
}

void TracePicture::PlotTrace(int t, int style) {
    syncSize();
    const Drawn d{t, style};
    drawn_.erase(std::remove(drawn_.begin(), drawn_.end(), d), drawn_.end());
    drawn_.push_back(d);
    draw(d);
    refresh();
}

void TracePicture::Clear() {
    drawn_.clear();
    image_ = QImage();
    syncSize();
    refresh();
}

void TracePicture::setBackground(const QColor& colour) {
    background_ = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
    Clear();
}

QImage TracePicture::image() {
    syncSize();
    return image_;
}

void TracePicture::paintEvent(QPaintEvent* event) {
    syncSize();
    QPainter p(this);
    p.drawImage(event->rect(), image_, event->rect());
}

void TracePicture::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->position().x(), event->position().y());
    QWidget::mousePressEvent(event);
}

void TracePicture::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().x(), event->position().y());
    QWidget::mouseMoveEvent(event);
}

}  // namespace q24
