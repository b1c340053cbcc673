#pragma once
// What the logic shows on the main window and asks of the operator.
//
// The acquisition, link and start-up code never touch a widget: they name the
// main window's controls by the names the program gives them and talk through
// this interface. The main window implements it with widgets, the command-line
// tool with text and pre-set answers, tests with a script that records every
// call and answers as told.
#include <optional>
#include <string>

#include "state/Task.h"

namespace q24 {

// Controls of the main window `analog` that the logic reads or changes.
enum class Ctl {
    // labels
    testo, Label1, Label2, Label3, Label4, Label5, Label12, Canale,
    Sampling_freq, N_Geofoni, N_samples, durata, Trigger_lbl, Baudrate_lbl,
    numero_acquisizione, Frame_error, Unita_errata1,
    // captions of the panel's pairs
    Samples, Geophones_number, Sampl_freq, Hz, Sampl_duration,
    // panel and picture
    Frame2, Toolbar2, GO_RUNNING, STOP, GO_TRIGGER, puls_sample, VScroll1, ProgressBar1,
    Grafico_multiplo, Termina_trigger, zero_line, TrueAmp, A10, A100, A1000, Auto_rng,
    // menu entries
    File_load, RESETTA, codice, Stack, Trigger_units, sss, canali, parameters, displ,
    SPECTRE, Acq_pezzi, Refraction, Init_par, Running_parameters, Trg_corr, B_R, uscita,
};

// The buttons of a question and the answer given.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Every question the program asks, so that a front end without boxes (the
// command-line tool, a test) answers by what is asked, never by the wording.
enum class Question {
    ProceedWithCode,      // "ONLY 1 UNIT MUST BE CONNECTED ! PROCEED ANYWAY ?"
    StartRefraction,      // "Do you want to start a REFRACTION Project?"
    ChangeTriggerTiming,  // "Changing this parameter affects precision of trigger event!"
    KeepOnStacking,       // "Keep on Stacking?"
    SamplesNumber,        // "Samples Number=..." before a passive recording
    RecordOver,           // a passive recording not yet saved would be recorded over
    SaveEarlyEnd,         // a passive recording ended early: save what was recorded?
    AbortSection,         // "Abort section ?"
    EraseFile,            // "... already exists, erase the file ?"
    EndProject,           // "End of Refraction Project?"
    AreYouSure,           // "Are you sure?" after EndProject
    EndOpenProject,       // a refraction project is open: end it before a new one?
};

class Panel {
public:
    virtual ~Panel() = default;

    virtual void setText(Ctl control, const std::string& text) = 0;
    virtual std::string text(Ctl control) const = 0;
    virtual void setEnabled(Ctl control, bool enabled) = 0;
    virtual void setVisible(Ctl control, bool visible) = 0;
    // Position of a scroll bar or progress bar.
    virtual void setValue(Ctl control, int value) = 0;

    // A message box with only OK. No title means the program's own title; some
    // boxes have an empty one ("").
    virtual void message(const std::string& text, const std::optional<std::string>& title = {}) = 0;
    // A question; the answer names the button pressed (closing the box counts
    // as Cancel, or No where there is no Cancel).
    virtual Answer ask(Question q, const std::string& text, Buttons buttons,
                       const std::optional<std::string>& title = {}) = 0;

    // The same, for a sequence that is using the line: the box is opened
    // without a nested event loop and the sequence awaits the answer. Panels
    // that answer at once (text, tests) keep these defaults.
    virtual Task<void> messageAsync(const std::string& text, const std::optional<std::string>& title = {}) {
        message(text, title);
        co_return;
    }
    virtual Task<Answer> askAsync(Question q, const std::string& text, Buttons buttons,
                                  const std::optional<std::string>& title = {}) {
        co_return ask(q, text, buttons, title);
    }
    // Closes every box a sequence awaits, as if closed by the operator (a
    // cancellation: the program ends, another command took the line).
    virtual void dismissQuestions() {}

    // Places the pre-trigger line `zero_line` across the trace picture at this
    // fraction of the picture's height from its top (time runs downward), and
    // keeps it there when the picture is resized. Showing and hiding it is
    // setVisible's job. Panels without a picture ignore it.
    virtual void placeZeroLine(double fraction) { (void)fraction; }

    // The trace picture `Grafico_multiplo`. clearPicture erases it; plotTrace
    // draws trace t (row t-1 of Dati) in style 1 (line), 2 (blue/red lobes)
    // or 3 (black lobes) over what is there, with the current Gain. The
    // background colour is an RGB value; changing it erases the picture. A
    // panel without a picture (a text front end) draws nothing.
    virtual void clearPicture() {}
    virtual void plotTrace(int trace, int style) { (void)trace, (void)style; }
    virtual void setPictureBackground(int red, int green, int blue) { (void)red, (void)green, (void)blue; }
};

// A panel that hands every call on to another one; a front end that changes
// a few calls (the owner of the line's gate, the window's operator) derives
// from it and overrides only those. `Base` is Panel or an interface derived
// from it.
template <class Base = Panel>
class PanelRelay : public Base {
public:
    explicit PanelRelay(Panel& inner) : inner_(inner) {}

    void setText(Ctl c, const std::string& t) override { inner_.setText(c, t); }
    std::string text(Ctl c) const override { return inner_.text(c); }
    void setEnabled(Ctl c, bool e) override { inner_.setEnabled(c, e); }
    void setVisible(Ctl c, bool v) override { inner_.setVisible(c, v); }
    void setValue(Ctl c, int v) override { inner_.setValue(c, v); }
    void message(const std::string& t, const std::optional<std::string>& title = {}) override {
        inner_.message(t, title);
    }
    Answer ask(Question q, const std::string& t, Buttons b, const std::optional<std::string>& title = {}) override {
        return inner_.ask(q, t, b, title);
    }
    Task<void> messageAsync(const std::string& t, const std::optional<std::string>& title = {}) override {
        return inner_.messageAsync(t, title);
    }
    Task<Answer> askAsync(Question q, const std::string& t, Buttons b,
                          const std::optional<std::string>& title = {}) override {
        return inner_.askAsync(q, t, b, title);
    }
    void dismissQuestions() override { inner_.dismissQuestions(); }
    void placeZeroLine(double f) override { inner_.placeZeroLine(f); }
    void clearPicture() override { inner_.clearPicture(); }
    void plotTrace(int t, int style) override { inner_.plotTrace(t, style); }
    void setPictureBackground(int r, int g, int b) override { inner_.setPictureBackground(r, g, b); }

protected:
    Panel& inner_;
};

}  // namespace q24
