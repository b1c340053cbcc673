#include <memory>

#include "acquisition/TriggerUnits.h"
#include "analysis/ShowGeometry.h"
#include "analysis/forms/Spettro.h"
#include "ui/Application.h"
#include "ui/Wiring.h"

namespace q24 {

// The SPECTRUM and GEOMETRY menu entries. The spectrum's FFT plans and colour
// sequence live as long as the program; every opening starts with an empty
// picture.
void WireAnalysis(Application& app) {
    State& s = app.state();
    analog& w = app.window();
    auto session = std::make_shared<SpectrumSession>();
    w.setCommand(Ctl::SPECTRE, [&s, &w, &app, session] {
        Spettro dialog(s, *session, app.regional(), &w);
        dialog.exec();
    });
    w.setCommand(Ctl::sss, [&s, &w, &app] { ShowGeometry(s, Unit_letter(s), app.regional().decimal, &w); });
}

}  // namespace q24
