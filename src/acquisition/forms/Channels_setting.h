#pragma once
// The channel settings dialog `Channels_setting`: shows ChannelSettings and
// hands the operator's typing and clicks to it. It is made once, hidden, at
// start-up and only hidden by "OK", so its slots stay on hand.
#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace q24 {

class ChannelSettings;

class Channels_setting : public QDialog {
    Q_OBJECT
public:
    explicit Channels_setting(ChannelSettings& logic, QWidget* parent = nullptr);

    void refresh();  // from ChannelSettings

    // FIND UNITS runs `findUnits`, which calls `finished` when the probe has
    // ended; meanwhile the button reads "STOP" and runs `stopFinding`.
    std::function<void(std::function<void()> finished)> findUnits;
    std::function<void()> stopFinding;

private:
    ChannelSettings& logic_;
    std::array<QLineEdit*, 25> Text_{};
    std::array<QCheckBox*, 25> Check_{};
    std::array<QRadioButton*, 25> Option_{};
    std::array<QRadioButton*, 4> group_{};  // a, b, c, d
    QCheckBox* sett_all_ = nullptr;
    QPushButton* find_ = nullptr;
    bool finding_ = false;
};

}  // namespace q24
