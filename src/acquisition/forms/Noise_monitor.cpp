#include "acquisition/forms/Noise_monitor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "acquisition/NoiseMonitor.h"

namespace q24 {

namespace {

constexpr double kTopDb = 0, kBottomDb = kThresholdLowestDb;  // the scale shown
const QColor kQuiet(46, 139, 87), kNoisy(214, 40, 40), kDead(150, 150, 150), kLine(230, 120, 0);

QString Db(double db) { return QString::number(db, 'f', 1); }

// Where the columns stand in a view of `size` with `n` of them.
struct Columns {
    QRect plot;
    double width = 0;

    Columns(QSize size, int n) {
        plot = QRect(QPoint(48, 10), QPoint(size.width() - 12, size.height() - 22));
        width = n > 0 ? static_cast<double>(plot.width()) / n : 0;
    }
    int y(double db) const {
        const double f = (kTopDb - std::clamp(db, kBottomDb, kTopDb)) / (kTopDb - kBottomDb);
        return plot.top() + static_cast<int>(std::lround(f * plot.height()));
    }
    QRect column(int i) const {
        const int left = plot.left() + static_cast<int>(std::lround(i * width));
        const int right = plot.left() + static_cast<int>(std::lround((i + 1) * width));
        return {left, plot.top(), right - left, plot.height() + 1};
    }
    // The bar's full height within its column: most of its width, centred.
    QRect bar(int i) const {
        const QRect c = column(i);
        const int w = std::max(2, static_cast<int>(c.width() * 0.6));
        return {c.center().x() - w / 2 + 1, c.top(), w, c.height()};
    }
};

// The bars themselves, painted whole from the logic each time.
class Bars : public QWidget {
public:
    Bars(NoiseMonitor& monitor, QWidget* parent) : QWidget(parent), m_(monitor) {
        setObjectName("Noise_bars");
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumHeight(180);
    }
    QSize sizeHint() const override { return {800, 260}; }
    Columns columns() const { return {size(), static_cast<int>(m_.channels().size())}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const Columns c = columns();
        scale(p, c);
        const auto& channels = m_.channels();
        const int labelEvery = std::max(1, static_cast<int>(std::ceil(22 / std::max(c.width, 1.0))));
        for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
            const NoiseMonitor::Channel& ch = channels[static_cast<std::size_t>(i)];
            channel(p, c, i, ch);
            if (ch.position % labelEvery == 0 || labelEvery == 1) {
                const QRect col = c.column(i);
                p.setPen(ch.reading == NoiseMonitor::Reading::NotWorking ? kNoisy : Qt::black);
                p.drawText(QRect(col.center().x() - 20, c.plot.bottom() + 3, 40, 16), Qt::AlignCenter,
                           QString::number(ch.position));
            }
        }
        threshold(p, c);
        if (channels.empty()) {
            p.setPen(Qt::darkGray);
            p.drawText(c.plot, Qt::AlignCenter, "No channel selected");
        }
    }

    bool event(QEvent* e) override {
        if (e->type() != QEvent::ToolTip) return QWidget::event(e);
        auto* help = static_cast<QHelpEvent*>(e);
        const Columns c = columns();
        const auto& channels = m_.channels();
        for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
            if (!c.column(i).contains(help->pos())) continue;
            const NoiseMonitor::Channel& ch = channels[static_cast<std::size_t>(i)];
            QString text = QString("Channel %1, unit %2: ").arg(ch.position).arg(ch.unit);
            if (ch.reading == NoiseMonitor::Reading::Level)
                text += "RMS " + Db(ch.level.rmsDb) + " dB, peak " + Db(ch.level.peakDb) + " dB";
            else text += ch.reading == NoiseMonitor::Reading::NotWorking ? "not working" : "not read yet";
            QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
        QToolTip::hideText();
        return true;
    }

private:
    void scale(QPainter& p, const Columns& c) const {
        for (double db = kTopDb; db >= kBottomDb; db -= 20) {
            const int y = c.y(db);
            p.setPen(QColor(225, 225, 225));
            p.drawLine(c.plot.left(), y, c.plot.right(), y);
            p.setPen(Qt::darkGray);
            p.drawText(QRect(0, y - 8, c.plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(static_cast<int>(db)));
        }
        p.drawText(QRect(0, c.plot.bottom() + 3, c.plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter, "dBFS");
        p.setPen(Qt::gray);
        p.drawRect(c.plot.adjusted(0, 0, 0, 0));
    }

    void channel(QPainter& p, const Columns& c, int i, const NoiseMonitor::Channel& ch) const {
        const QRect bar = c.bar(i);
        const int bottom = c.plot.bottom();
        if (ch.reading == NoiseMonitor::Reading::NotWorking) {
            // A grey stub, an X above it and the words, written up the column.
            const int stub = 10;
            p.fillRect(QRect(bar.left(), bottom - stub, bar.width(), stub), kDead);
            QFont bold = font();
            bold.setBold(true);
            p.setFont(bold);
            p.setPen(kNoisy);
            p.drawText(QRect(bar.center().x() - 10, bottom - stub - 18, 21, 16), Qt::AlignCenter, "X");
            p.setFont(font());
            if (c.width >= 10) {
                p.save();
                p.translate(bar.center().x() + 5, bottom - stub - 22);
                p.rotate(-90);
                p.setPen(QColor(90, 90, 90));
                p.drawText(0, 0, "not working");
                p.restore();
            }
            return;
        }
        if (ch.reading != NoiseMonitor::Reading::Level) return;  // not read yet: an empty column
        const int top = c.y(ch.level.rmsDb);
        const bool over = m_.over(ch);
        p.fillRect(QRect(bar.left(), top, bar.width(), bottom - top + 1), over ? kNoisy : kQuiet);
        // The peak: a dark tick a little wider than the bar.
        const int peak = c.y(ch.level.peakDb);
        p.fillRect(QRect(bar.left() - 2, peak - 1, bar.width() + 4, 3), QColor(40, 40, 40));
        if (c.width >= 36) {  // room for the figure, above the peak
            p.setPen(over ? kNoisy : Qt::black);
            p.drawText(QRect(c.column(i).left(), std::min(top, peak) - 18, c.column(i).width(), 15), Qt::AlignCenter,
                       Db(ch.level.rmsDb));
        }
    }

    void threshold(QPainter& p, const Columns& c) const {
        const int y = c.y(m_.threshold());
        QPen pen(kLine, 2, Qt::DashLine);
        p.setPen(pen);
        p.drawLine(c.plot.left(), y, c.plot.right(), y);
        const QString text = "threshold " + QString::fromStdString(ThresholdText(m_.threshold())) + " dB";
        const int w = p.fontMetrics().horizontalAdvance(text) + 8;
        const QRect box(c.plot.right() - w - 2, y < c.plot.top() + 20 ? y + 3 : y - 18, w, 15);
        p.fillRect(box, QColor(255, 255, 255, 220));
        p.setPen(kLine.darker(130));
        p.drawText(box, Qt::AlignCenter, text);
    }

    NoiseMonitor& m_;
};

}  // namespace

Noise_monitor::Noise_monitor(NoiseMonitor& monitor, QWidget* parent) : QWidget(parent), monitor_(monitor) {
    setObjectName("Noise_monitor");
    bars_ = new Bars(monitor, this);
    threshold_ = new QLineEdit(this);
    threshold_->setObjectName("Noise_threshold");
    threshold_->setMaximumWidth(70);
    threshold_->setText(QString::fromStdString(ThresholdText(monitor_.threshold())));
    status_ = new QLabel(this);
    status_->setObjectName("Noise_status");
    status_->setStyleSheet("color: red;");
    status_->setWordWrap(true);
    summary_ = new QLabel(this);
    summary_->setObjectName("Noise_summary");

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("<b>Noise monitor</b>", this));
    top->addSpacing(16);
    top->addWidget(summary_);
    top->addSpacing(16);
    top->addWidget(new QLabel("Threshold, dB of full scale:", this));
    top->addWidget(threshold_);
    top->addWidget(status_, 1);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 2, 0, 0);
    v->setSpacing(2);
    v->addLayout(top);
    v->addWidget(bars_, 1);

    connect(threshold_, &QLineEdit::editingFinished, this, &Noise_monitor::thresholdTyped);
    monitor_.changed = [this] { refresh(); };
    refresh();
}

void Noise_monitor::switchedOn(const State& s) {
    status_->setText(QString::fromStdString(monitor_.load()));
    threshold_->setText(QString::fromStdString(ThresholdText(monitor_.threshold())));
    monitor_.follow(s);
}

QRect Noise_monitor::barArea(int position) const {
    const auto& channels = monitor_.channels();
    const auto it = std::find_if(channels.begin(), channels.end(),
                                 [position](const NoiseMonitor::Channel& c) { return c.position == position; });
    if (it == channels.end()) return {};
    const QRect r = static_cast<Bars*>(bars_)->columns().bar(static_cast<int>(it - channels.begin()));
    return r.translated(bars_->pos());
}

void Noise_monitor::thresholdTyped() {
    const std::string said = monitor_.typeThreshold(threshold_->text().toStdString());
    status_->setText(QString::fromStdString(said));
    threshold_->setText(QString::fromStdString(ThresholdText(monitor_.threshold())));
}

void Noise_monitor::refresh() {
    QString summary = QString::fromStdString(monitor_.summary());
    if (monitor_.sweeps() > 0) summary = QString("Sweep %1, ").arg(monitor_.sweeps()) + summary;
    if (summary_->text() != summary) summary_->setText(summary);
    bars_->update();
}

}  // namespace q24
