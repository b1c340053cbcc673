#include "display/Redraw.h"
#include "files/forms/FileDialogs.h"
#include "ui/Application.h"
#include "ui/Wiring.h"

namespace q24 {

// FILE opens the load dialog (a loaded file is drawn at once); REFRACTION's
// Yes opens the project name dialog. The save dialogs are opened by the
// recordings themselves (ShowTriggerSave, ShowTimedSave).
void WireFiles(Application& app) {
    State& s = app.state();
    analog& w = app.window();
    const FilesEnv env{app.options().home, app.regional()};
    w.setCommand(Ctl::File_load, [&s, &w, env] { ShowLoad(s, w, env, [&s, &w] { RedrawAll(s, w); }); });
    app.openProjectName = [&s, &w, env] { ShowProjectName(s, w, env); };
}

}  // namespace q24
