#pragma once
// The trace picture `Grafico_multiplo`: a white picture on the main window.
#include <QWidget>

namespace q24 {

class TracePicture : public QWidget {
    Q_OBJECT
public:
    explicit TracePicture(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {800, 500}; }
};

}  // namespace q24
