#pragma once
// What the dialog tests share: pictures of the dialogs when Q24_SCREENSHOTS
// names a folder, and a click where the operator clicks.
#include <QAbstractButton>
#include <QtTest>

#include "support/Screenshot.h"

namespace q24::test {

// A click on a check box's or option button's indicator (its left end), where
// the operator clicks; the centre of a stretched button may lie past its text.
inline void ClickIndicator(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

}  // namespace q24::test
