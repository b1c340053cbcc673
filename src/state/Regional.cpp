#include "state/Regional.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include "state/NumberFormat.h"

namespace q24 {

namespace {
Regional fromQLocale(const QLocale& loc) {
    Regional r;
    const QString dp = loc.decimalPoint();
    r.decimal = dp.isEmpty() ? '.' : dp.at(0).toLatin1();
    if (r.decimal == 0) r.decimal = '.';
    r.datePattern = loc.dateFormat(QLocale::ShortFormat).toStdString();
    r.timePattern = loc.timeFormat(QLocale::LongFormat).toStdString();
    // The long time format of some locales carries a time zone ("t"): the
    // data file header wants the wall-clock time alone.
    QString tp = QString::fromStdString(r.timePattern);
    tp.remove(QLatin1Char('t'));
    r.timePattern = tp.trimmed().toStdString();
    return r;
}
}  // namespace

Regional Regional::fromSystem() { return fromQLocale(QLocale::system()); }

Regional Regional::fromLocaleName(const std::string& name) {
    return fromQLocale(QLocale(QString::fromStdString(name)));
}

std::string Regional::date(int year, int month, int day) const {
    return QDate(year, month, day).toString(QString::fromStdString(datePattern)).toStdString();
}

std::string Regional::time(int hour, int minute, int second) const {
    return QTime(hour, minute, second).toString(QString::fromStdString(timePattern)).toStdString();
}

std::string Regional::number(double value) const {
    std::string s = FreeFormat(value);
    if (decimal != '.')
        for (char& c : s)
            if (c == '.') c = decimal;
    return s;
}

}  // namespace q24
