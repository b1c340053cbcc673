#pragma once
// Awaiting a dialog without a nested event loop: the sequence opens the
// dialog with open() (window-modal, non-blocking) and suspends until the
// dialog's finished signal; control is back in the one event loop meanwhile.
//
//   dialog->open();
//   const int result = co_await DialogFinished{dialog};
//
// A dialog deleted before it finished resumes the sequence with Rejected.
#include <QDialog>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <coroutine>
#include <memory>

#include "state/Task.h"

namespace q24 {

// Marks a dialog as awaited by a sequence: a cancellation (the program ends,
// another command takes the line) rejects it, as its close box would.
inline constexpr const char* kAwaited = "q24Awaited";

// Opens `dialog` window-modal without a nested event loop, marked as awaited.
inline void OpenAwaited(QDialog* dialog) {
    dialog->setProperty(kAwaited, true);
    dialog->open();
}

struct DialogFinished {
    QPointer<QDialog> dialog;
    int result = QDialog::Rejected;

    bool await_ready() const noexcept { return !dialog; }
    void await_suspend(std::coroutine_handle<> h) {
        // One resumption, whichever comes first: finished, or the dialog gone.
        // The sequence goes on from the event loop, not inside the signal: it
        // may delete the dialog, which must not happen while it emits.
        auto resumed = std::make_shared<bool>(false);
        auto resume = [this, h, resumed](int r) {
            if (*resumed) return;
            *resumed = true;
            result = r;
            QTimer::singleShot(0, qApp, [h] { h.resume(); });
        };
        QObject::connect(dialog, &QDialog::finished, dialog, resume, Qt::SingleShotConnection);
        QObject::connect(dialog, &QObject::destroyed, [resume] { resume(QDialog::Rejected); });
    }
    int await_resume() const noexcept { return result; }
};

// Opens `dialog` awaited, waits for it to finish and hands it to `read`
// (which takes what the operator chose) before it is deleted; `gone` when the
// dialog went away without finishing.
template <class D, class R, class Read>
Task<R> AwaitAndRead(D* made, R gone, Read read) {
    QPointer<D> dialog = made;
    OpenAwaited(dialog.data());
    co_await DialogFinished{dialog.data()};
    if (!dialog) co_return gone;
    const R result = read(*dialog);
    dialog->deleteLater();  // it may still be in its own done()
    co_return result;
}

}  // namespace q24
