#pragma once
// Widget tests save a picture of what they show when Q24_SCREENSHOTS names a
// folder (as NAME.png), so a person can look at the dialogs and the window as
// the operator sees them without a display (run the test under Xvfb for real
// fonts and frames).
#include <QByteArray>
#include <QDir>
#include <QString>
#include <QWidget>

namespace q24::test {

inline void SaveScreenshot(QWidget& w, const QString& name) {
    const QByteArray dir = qgetenv("Q24_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name + ".png"));
}

}  // namespace q24::test
