#pragma once
// What the dialog tests share: controls found by name, a click where the
// operator clicks, a modal dialog run with the test acting inside it, and
// pictures of the dialogs when Q24_SCREENSHOTS names a folder.
#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <initializer_list>
#include <utility>

#include "support/Screenshot.h"

namespace q24::test {

template <class T>
T* Find(const QWidget& parent, const QString& name) {
    T* w = parent.findChild<T*>(name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

// Shows `w` and waits until it is on the screen.
inline void Show(QWidget& w) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

inline QString Caption(const QWidget& parent, const QString& name) { return Find<QLabel>(parent, name)->text(); }

// The text a control shows: a label's or a button's text, a frame's title;
// an empty name stands for the window's title.
inline QString Shown(const QWidget& parent, const QString& name) {
    if (name.isEmpty()) return parent.windowTitle();
    const QWidget* w = Find<QWidget>(parent, name);
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(w)) return box->title();
    return "(no caption)";
}

// The captions, in pairs of a control's name and its text.
inline void ExpectCaptions(const QWidget& parent, std::initializer_list<std::pair<const char*, const char*>> want) {
    for (auto [name, text] : want) QCOMPARE(Shown(parent, name), QString::fromUtf8(text));
}

inline void Click(const QWidget& parent, const QString& name) {
    QTest::mouseClick(Find<QAbstractButton>(parent, name), Qt::LeftButton);
}

// A click on a check box's or option button's indicator (its left end), where
// the operator clicks; the centre of a stretched button may lie past its text.
inline void ClickIndicator(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// Opens `dialog` modally; `act` runs inside it, and what it leaves open is closed.
inline void RunModal(QDialog& dialog, const std::function<void()>& act) {
    QTimer::singleShot(0, &dialog, [&] {
        act();
        if (dialog.isVisible()) dialog.reject();
    });
    dialog.exec();
}

}  // namespace q24::test
