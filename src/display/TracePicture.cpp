#include "display/TracePicture.h"

#include <QPalette>

namespace q24 {

TracePicture::TracePicture(QWidget* parent) : QWidget(parent) {
    setObjectName("Grafico_multiplo");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setMinimumSize(200, 150);
}

}  // namespace q24
