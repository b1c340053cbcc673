#pragma once
// Each part of the program connects its commands, dialogs and start-up steps
// to the application in its own file, so the parts grow side by side.
namespace q24 {

class Application;
class TriggerAcquisition;
class RunningMode;

void WireLink(Application& app);     // port, speeds, reset, code programming, emulated units
void WireDisplay(Application& app);  // gain buttons, trace picture, display options
void WireSetup(Application& app);    // parameters, channels, trigger units, trigger timing
void WireAnalysis(Application& app);  // spectrum and geometry views
void WireFiles(Application& app);     // load dialog, refraction project
void WireTrigger(Application& app);   // GO TRIGGER, "Exit from Trigger", stacking
void WireRunning(Application& app);   // GO RUNNING, STOP, the sweeps, "Continuous sampling"
void WireTimed(Application& app);     // timed sampling dialog and its save, behind "Continuous sampling"
void WirePassive(Application& app);   // PASSIVE SEISMIC: the passive recording dialog and its save

// The trigger shot's logic, made on first use (after WireLink) and owned by
// the main window.
TriggerAcquisition& TriggerOf(Application& app);
// Running mode's logic, made on first use (after WireLink) and owned by the
// main window. Timed sampling fills its openTimedSampling.
RunningMode& RunningOf(Application& app);

}  // namespace q24
