#pragma once
// The spectrum dialog `Spettro` ("SPECTRUM"): the operator picks a trace with
// the selector, EVALUATE draws its amplitude spectrum from 0 Hz to half the
// sampling frequency over the curves already there, and a green cursor under
// the mouse reads out the frequency. Each opening starts with an empty picture.
#include <QDialog>
#include <QImage>
#include <QWidget>

#include "analysis/SpectrumSession.h"
#include "state/Regional.h"
#include "state/State.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace q24 {

// `Picture1`: keeps every curve drawn on it until the dialog closes; tells
// where the mouse moves.
class SpectrumPicture : public QWidget {
    Q_OBJECT
public:
    SpectrumPicture(int width, int height, QWidget* parent);
    QImage& canvas() { return canvas_; }

signals:
    void mouseMoved(double x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
};

class Spettro : public QDialog {
    Q_OBJECT
public:
    Spettro(State& s, SpectrumSession& session, const Regional& regional, QWidget* parent = nullptr);

    // EVALUATE: the spectrum of the selected trace, drawn over the picture.
    void evaluate();

private:
    void moveCursor(double x);

    State& s_;
    SpectrumSession& session_;
    SpectrumPicture* picture_ = nullptr;
    QWidget* cursor_ = nullptr;  // Line20
    QLabel* trace_ = nullptr;    // Label1
    QLabel* readout_ = nullptr;  // Label14
    QPushButton* evaluate_ = nullptr;
};

}  // namespace q24
