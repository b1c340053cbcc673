#pragma once
// The geometry view's logic: where the geophones and the shot of the spread
// stand in the dialog `geometria`, the spacing scroll bar and the four source
// move buttons. Positions are in twips of a dialog `width` twips wide; the
// dialog turns them into pixels. The spacing Dist_geofoni and the source
// distance Pos_source are the program's own values and stay changed.
//
// Geophones 1 ... 48 stand in row 1; for more than 48 geophones, 49 ... 96
// stand in row 2, geophone 49 under geophone 1. The source is drawn in row 1
// up to 48 spacings out and in row 2 beyond.
#include <cstdint>
#include <string>

#include "state/State.h"

namespace q24 {

// Sizes and heights of the dialog's parts, twips.
struct GeometryLayout {
    static constexpr int32_t kGeophoneWidth = 135, kGeophoneHeight = 255;
    static constexpr int32_t kRowTop[2] = {2640, 4200};     // geophone symbols
    static constexpr int32_t kNumberTop[2] = {3000, 4560};  // their numbers
    static constexpr int32_t kLineY[2] = {2760, 4320};      // the rows' base lines
    static constexpr int32_t kShotWidth = 135, kShotHeight = 495;
    static constexpr int kMaxGeophones = kTracePositions, kRowLength = 48;
};

// The move buttons: Command2 "<<" 5 spacings back, Command3 "<" half a
// spacing back, Command4 ">" half forward, Command5 ">>" 5 spacings forward.
enum class SourceMove { FiveBack, HalfBack, HalfForward, FiveForward };

// "#0.0#": at least one digit before and one after the decimal separator, at
// most two after ("0.0", "2.5", "-7.25").
std::string FormatDistance(double metres, char decimal);

class GeometryView {
public:
    GeometryView(State& s, int32_t width, char decimal);

    // The full drawing (dialog load). A spacing the scroll bar cannot show
    // (outside 0.1 ... 10 m or not a whole number of tenths) moves the bar to
    // the nearest tenth inside its range, and that is a spacing change: the
    // spacing becomes that value and the source goes back to geophone 1.
    void draw();
    // The spacing scroll bar moved to `tenths` (1 ... 100).
    void spacingChanged(int tenths);
    // A move button: the source moves, the shot follows, the geophones stay.
    void move(SourceMove m);

    // Geophones drawn: N_Geofoni, at least 1 and at most 96.
    int shown() const;
    // Horizontal distance between neighbouring geophones, twips.
    int32_t step() const { return step_; }
    // Left edge of geophone i's symbol and of its number (i = 1 ... shown()).
    int32_t geophoneLeft(int i) const;
    int32_t geophoneTop(int i) const { return GeometryLayout::kRowTop[i > 48]; }
    int32_t numberTop(int i) const { return GeometryLayout::kNumberTop[i > 48]; }
    int32_t width() const { return width_; }

    // The shot: left edge Shot_x (in the State), tops of the symbol and of
    // its "SHOT" label.
    int32_t shotTop() const { return shotTop_; }
    int32_t shotLabelTop() const { return shotLabelTop_; }

    int scroll() const { return scroll_; }                          // VScroll1
    const std::string& spacingText() const { return spacingText_; }  // Label1
    const std::string& distanceText() const { return distanceText_; }  // Label4

private:
    void placeShot(bool row1, bool afterMove);

    State& s_;
    int32_t width_;
    char decimal_;
    int32_t step_ = 0;
    int32_t shotTop_ = 0, shotLabelTop_ = 0;
    int scroll_ = 1;
    std::string spacingText_, distanceText_;
};

}  // namespace q24
