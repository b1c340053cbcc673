#pragma once
// The geometry dialog `geometria` ("GEOMETRY"): the spread's geophones in one
// or two rows, the shot at the source's distance from geophone 1, the spacing
// scroll bar and the four source move buttons. OK closes it; what was changed
// stays changed.
#include <QDialog>
#include <string>
#include <vector>

#include "analysis/GeometryView.h"
#include "state/State.h"

class QLabel;
class QScrollBar;

namespace q24 {

class geometria : public QDialog {
    Q_OBJECT
public:
    // The dialog is kWidthTwips wide; one pixel is kTwipsPerPixel twips.
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int32_t kWidthTwips = 13500, kHeightTwips = 6300;

    // `triggerName` is the trigger unit's name as the file headers show it.
    geometria(State& s, const std::string& triggerName, char decimal, QWidget* parent = nullptr);

private:
    // Shows what the view placed: geophones, numbers, lines, shot, readouts.
    void showDrawing();
    void showShot();
    void move(SourceMove m);

    GeometryView view_;
    State& s_;
    std::vector<QWidget*> shapes_;  // Shape1 ... Shape96, index 0 unused
    std::vector<QLabel*> numbers_;  // geo1 ... geo96, index 0 unused
    QWidget* shot_ = nullptr;
    QLabel* shotLabel_ = nullptr;
    QLabel* spacing_ = nullptr;   // Label1
    QLabel* distance_ = nullptr;  // Label4
    QScrollBar* scroll_ = nullptr;
};

}  // namespace q24
