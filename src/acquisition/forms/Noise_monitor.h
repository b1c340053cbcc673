#pragma once
// The noise monitor's view `Noise_monitor`, below the trace picture while the
// panel's "Noise monitor" box is ticked: one bar per selected channel position
// (the RMS of its last sweep, a tick at the peak, in dB of full scale), the
// threshold line, bars over it red, units that do not answer a grey stub
// marked X and "not working". The threshold box `Noise_threshold` hands the
// operator's typing to the logic; a refusal is said in `Noise_status`. The
// view paints from the logic on every change: no widget per bar.
#include <QRect>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace q24 {

class NoiseMonitor;
struct State;

class Noise_monitor : public QWidget {
    Q_OBJECT
public:
    explicit Noise_monitor(NoiseMonitor& monitor, QWidget* parent = nullptr);

    // Switched on: the threshold read from its file (a note says what was
    // ignored), the selected positions laid out.
    void switchedOn(const State& s);
    // Where the bar of `position` stands in the view; empty when not shown.
    QRect barArea(int position) const;

private:
    void thresholdTyped();
    void refresh();

    NoiseMonitor& monitor_;
    QWidget* bars_;
    QLineEdit* threshold_;
    QLabel* status_;
    QLabel* summary_;
};

}  // namespace q24
