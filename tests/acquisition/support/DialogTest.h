#pragma once
// Saves a picture of a dialog when Q24_SCREENSHOTS names a folder, so the
// dialogs can be looked at as the operator sees them (run the test under
// Xvfb for real fonts and frames).
#include <QDir>
#include <QWidget>

namespace q24::test {

inline void SaveScreenshot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("Q24_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString(name) + ".png"));
}

}  // namespace q24::test

#include <QAbstractButton>
#include <QtTest>

namespace q24::test {

// A click on a check box's or option button's indicator (its left end), where
// the operator clicks; the centre of a stretched button may lie past its text.
inline void ClickIndicator(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

}  // namespace q24::test
