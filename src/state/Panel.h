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
    virtual Answer ask(const std::string& text, Buttons buttons,
                       const std::optional<std::string>& title = {}) = 0;

    // The same, for a sequence that is using the line: the box is opened
    // without a nested event loop and the sequence awaits the answer. Panels
    // that answer at once (text, tests) keep these defaults.
    virtual Task<void> messageAsync(const std::string& text, const std::optional<std::string>& title = {}) {
        message(text, title);
        co_return;
    }
    virtual Task<Answer> askAsync(const std::string& text, Buttons buttons,
                                  const std::optional<std::string>& title = {}) {
        co_return ask(text, buttons, title);
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

}  // namespace q24
