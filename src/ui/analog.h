#pragma once
// The main window `analog`: the trace picture, the panel, the toolbar, the
// menu bar of seventeen commands and the status labels. It implements the
// Panel through which the logic shows and asks; what each command does lives
// with the command's own code, registered through setCommand.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

#include "state/Panel.h"

class QAction;
class QCheckBox;
class QScrollArea;
class QMessageBox;
class QFrame;
class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolBar;

namespace q24 {

class TracePicture;

class analog : public QMainWindow, public Panel {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "QUELDA24 500 - 125";
    static constexpr const char* kTitle = "QUELDA24";  // the title of message boxes

    explicit analog(QWidget* parent = nullptr);

    // The action run by a menu entry, toolbar button or panel button. A
    // control with no action registered stays disabled.
    void setCommand(Ctl control, std::function<void()> action);
    // Asked before any command runs: false refuses the click (the owner of the
    // line has said why in the status text).
    std::function<bool(Ctl)> gate;
    // The close box: true lets the window close now; false keeps it open (the
    // program ends once the running sequence has cleaned up).
    std::function<bool()> closeRequested;

    TracePicture* picture() const { return picture_; }
    QAction* toolbarAction(int index) const;
    int traceCount() const;  // position of VScroll1  // 0 GO RUNNING, 1 STOP, 2 GO TRIGGER
    // The panel's "Noise monitor" box (`Noise_view`): shows the noise monitor
    // (src/ui/Commands.cpp puts it below the picture).
    QCheckBox* noiseSwitch() const { return noiseSwitch_; }

    // Panel
    void setText(Ctl control, const std::string& text) override;
    std::string text(Ctl control) const override;
    void setEnabled(Ctl control, bool enabled) override;
    void setVisible(Ctl control, bool visible) override;
    using QMainWindow::setVisible;
    void setValue(Ctl control, int value) override;
    void message(const std::string& text, const std::optional<std::string>& title = {}) override;
    Answer ask(Question q, const std::string& text, Buttons buttons,
               const std::optional<std::string>& title = {}) override;
    Task<void> messageAsync(const std::string& text, const std::optional<std::string>& title = {}) override;
    Task<Answer> askAsync(Question q, const std::string& text, Buttons buttons,
                          const std::optional<std::string>& title = {}) override;
    void dismissQuestions() override;
    void placeZeroLine(double fraction) override;
    void clearPicture() override;
    void plotTrace(int trace, int style) override;
    void setPictureBackground(int red, int green, int blue) override;

signals:
    // The trace-count bar moved (by the user or by the logic).
    void traceCountChanged(int value);

private:
    void buildMenu();
    void buildPanel();
    QLayout* buildSampleAndNoise();  // "Continuous sampling" above the "Noise monitor" box
    void buildPicture();
    QLabel* label(Ctl control, const char* name, const QString& caption = {});
    void run(Ctl control);
    bool eventFilter(QObject* watched, QEvent* event) override;  // keeps zero_line placed on resize
    void closeEvent(QCloseEvent* event) override;
    // A window narrower than the panel scrolls the panel rather than piling its
    // controls on one another.
    void resizeEvent(QResizeEvent* event) override;
    QMessageBox* box(const std::string& text, Buttons buttons, const std::optional<std::string>& title,
                           bool question);
    void layoutZeroLine();

    std::map<Ctl, QWidget*> widgets_;
    std::map<Ctl, QAction*> actions_;
    std::map<Ctl, std::function<void()>> commands_;
    QFrame* frame2_ = nullptr;
    QScrollArea* panelArea_ = nullptr;  // holds frame2_
    QToolBar* toolbar_ = nullptr;
    TracePicture* picture_ = nullptr;
    QCheckBox* noiseSwitch_ = nullptr;
    double zeroFraction_ = 0;  // where zero_line stands, as a fraction of the picture's height
    std::vector<QPointer<QWidget>> awaited_;  // boxes a sequence awaits
};

}  // namespace q24
