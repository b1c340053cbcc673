#pragma once
// Each part of the program connects its commands, dialogs and start-up steps
// to the application in its own file, so the parts grow side by side.
namespace q24 {

class Application;

void WireLink(Application& app);     // port, speeds, reset, code programming, emulated units
void WireDisplay(Application& app);  // gain buttons, trace picture, display options
void WireSetup(Application& app);    // parameters, channels, trigger units, trigger timing
void WireAnalysis(Application& app);  // spectrum and geometry views
void WireFiles(Application& app);     // load dialog, refraction project

}  // namespace q24
