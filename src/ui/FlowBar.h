#pragma once
// The menu bar of the main window: its seventeen commands in order, on as
// many rows as the window's width needs, so every caption stays in view on a
// 1280-pixel screen as on a wide one.
#include <QLayout>
#include <QWidget>
#include <vector>

class QAction;

namespace q24 {

class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent) : QLayout(parent) {}
    ~FlowLayout() override;
    void addItem(QLayoutItem* item) override { items_.push_back(item); }
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int i) const override;
    QLayoutItem* takeAt(int i) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
    QSize sizeHint() const override { return minimumSize(); }
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    int place(const QRect& rect, bool apply) const;
    std::vector<QLayoutItem*> items_;
};

class FlowBar : public QWidget {
    Q_OBJECT
public:
    explicit FlowBar(QWidget* parent = nullptr);
    // A flat button for the action, after the ones added before.
    void add(QAction* action);
};

}  // namespace q24
