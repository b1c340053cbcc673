#pragma once
// Small pieces every folder's dialogs build their controls from.
#include <QLabel>
#include <QScrollBar>
#include <QString>

namespace q24 {

// `widget` under the object name the program and the tests find it by.
template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// A sunken panel that shows a value, centred.
inline QLabel* ValueLabel(QWidget* parent, const char* name, const QString& text = {}, int minWidth = 70) {
    auto* l = Named(new QLabel(text, parent), name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(minWidth);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// A vertical scroll bar over min..max.
inline QScrollBar* VerticalBar(QWidget* parent, const char* name, int min, int max, int pageStep, int minHeight) {
    auto* b = Named(new QScrollBar(Qt::Vertical, parent), name);
    b->setRange(min, max);
    b->setPageStep(pageStep);
    b->setMinimumHeight(minHeight);
    return b;
}

}  // namespace q24
