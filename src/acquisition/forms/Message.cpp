#include "acquisition/forms/Message.h"

#include <QLabel>
#include <QVBoxLayout>

#include "link/forms/FormParts.h"

namespace q24 {

Message::Message(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("Message");
    setWindowTitle("Message");
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* text = Named(new QLabel(kText, this), "Label1");
    text->setAlignment(Qt::AlignCenter);
    QFont f = text->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    text->setFont(f);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(text);
}

void Message::showNow() {
    adjustSize();
    if (QWidget* p = parentWidget()) {
        const QPoint centre = p->mapToGlobal(p->rect().center());
        move(centre - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    repaint();
}

}  // namespace q24
