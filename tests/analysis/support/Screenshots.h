#pragma once
// Dialog tests save a picture of what they show when Q24_SCREENSHOTS names a
// folder, so a person can look at the dialogs without a display.
#include <QByteArray>
#include <QString>
#include <QWidget>

namespace q24::test {

inline void SaveScreenshot(QWidget* w, const QString& name) {
    const QByteArray dir = qgetenv("Q24_SCREENSHOTS");
    if (!dir.isEmpty()) w->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

}  // namespace q24::test
