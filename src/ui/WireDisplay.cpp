#include "display/forms/Display.h"
#include "display/Readout.h"
#include "display/Redraw.h"
#include "display/forms/TracePicture.h"
#include "ui/Application.h"
#include "ui/Wiring.h"

namespace q24 {

// The gain buttons, the DISPLAY menu entry and the readouts under the mouse
// on the trace picture.
void WireDisplay(Application& app) {
    State& s = app.state();
    analog& w = app.window();
    TracePicture* picture = w.picture();
    picture->attach(s);
    for (const GainButton& b : kGainButtons)
        w.setCommand(b.control, [&s, &w, gain = b.gain] { GainClicked(s, w, gain); });
    w.setCommand(Ctl::displ, [&s, &w] {
        Display dialog(s, w, &w);
        dialog.exec();
    });
    QObject::connect(picture, &TracePicture::mouseDown, &w,
                     [&s, &w, picture](double x, double) { PictureMouseDown(s, w, x, picture->width()); });
    QObject::connect(picture, &TracePicture::mouseMoved, &w,
                     [&s, &w, picture, decimal = app.regional().decimal](double, double y) {
                         PictureMouseMove(s, w, y, picture->height(), decimal);
                     });
}

}  // namespace q24
