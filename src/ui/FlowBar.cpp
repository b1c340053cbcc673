#include "ui/FlowBar.h"

#include <QAction>
#include <QToolButton>

namespace q24 {

FlowLayout::~FlowLayout() {
    for (QLayoutItem* item : items_) delete item;
}

QLayoutItem* FlowLayout::itemAt(int i) const {
    return i >= 0 && i < count() ? items_[static_cast<size_t>(i)] : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int i) {
    if (i < 0 || i >= count()) return nullptr;
    QLayoutItem* item = items_[static_cast<size_t>(i)];
    items_.erase(items_.begin() + i);
    return item;
}

QSize FlowLayout::minimumSize() const {
    QSize size;
    for (QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    place(rect, true);
}

int FlowLayout::place(const QRect& rect, bool apply) const {
    const QMargins m = contentsMargins();
    const QRect area = rect.adjusted(m.left(), m.top(), -m.right(), -m.bottom());
    int x = area.x(), y = area.y(), rowHeight = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        const QSize hint = item->sizeHint();
        if (x + hint.width() > area.right() + 1 && rowHeight > 0) {
            x = area.x();
            y += rowHeight + spacing();
            rowHeight = 0;
        }
        if (apply) item->setGeometry(QRect(QPoint(x, y), hint));
        x += hint.width() + spacing();
        rowHeight = std::max(rowHeight, hint.height());
    }
    return y + rowHeight - rect.y() + m.bottom();
}

FlowBar::FlowBar(QWidget* parent) : QWidget(parent) {
    auto* flow = new FlowLayout(this);
    flow->setContentsMargins(2, 1, 2, 1);
    flow->setSpacing(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void FlowBar::add(QAction* action) {
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout()->addWidget(button);
}

}  // namespace q24
