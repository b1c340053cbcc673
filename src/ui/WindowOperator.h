#pragma once
// The operator as the window meets them: the panel is the main window
// `analog`, and each form a sequence awaits is a dialog opened over it
// without a nested event loop (closed as its close box would when the
// sequence is cancelled).
#include <QPointer>

#include "acquisition/Operator.h"

namespace q24 {

class Program;
class analog;
class Message;
class acquisizione;

class WindowOperator : public PanelRelay<Operator> {
public:
    explicit WindowOperator(analog& window);
    ~WindowOperator() override;
    // The program whose forms these are, once it is built.
    void attach(Program& program);

    void showMainWindow() override;
    int pictureWidth() const override;
    void choosePort() override;
    Task<void> geometry() override;
    Task<SaveResult> saveTrigger() override;
    Task<SaveResult> saveTimed() override;
    Task<HitChoice> reviewHit(int hit, const TraceArray& traces) override;
    void waitMessage(bool shown) override;
    Task<void> timedSampling() override;
    Task<void> passiveSeismic() override;
    void endProgram() override;

private:
    bool timedShown() const;

    analog& window_;
    Program* program_ = nullptr;
    QPointer<Message> message_;
    QPointer<acquisizione> timed_;
};

}  // namespace q24
