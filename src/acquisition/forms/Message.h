#pragma once
// The small "Message" window that says "Wait for data display..." while a
// shot's traces are drawn. It is shown without blocking and takes no input.
#include <QWidget>

namespace q24 {

class Message : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kText = "Wait for data display...";
    explicit Message(QWidget* parent = nullptr);
    // Shows the window over the middle of its parent and lets it paint.
    void showNow();
};

}  // namespace q24
