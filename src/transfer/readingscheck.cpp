#include "transfer/readingscheck.h"

#include "core/channels.h"
#include "core/daycount.h"
#include "core/readingsrule.h"

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString readingColumn(int channel) {
    return u"KY%1"_s.arg(channel);
}

bool keepsRule(const QVariant &cell) {
    if (cell.isNull())
        return true;
    if (cell.typeId() == QMetaType::QString || cell.typeId() == QMetaType::QByteArray)
        return false;
    bool ok = false;
    const double v = cell.toDouble(&ok);
    return ok && isValidReading(v);
}

QString cellText(const QVariant &cell) {
    if (cell.typeId() == QMetaType::Double || cell.typeId() == QMetaType::Float)
        return QString::number(cell.toDouble(), 'g', 17);
    return quotedArgument(cell.toString());
}

QString dateText(const QVariant &cell) {
    bool ok = false;
    const double days = cell.toDouble(&ok);
    if (!ok || !std::isfinite(days))
        return quotedArgument(cell.toString());
    const CalendarTime t = calendarTimeOfDayCount(days);
    return t.date.isValid() ? t.date.toString(u"yyyy-MM-dd"_s) + u' ' + t.time.toString(u"HH:mm:ss"_s)
                            : QString::number(days, 'g', 17);
}

} // namespace

ReadingsCheck::ReadingsCheck(const QString &table, const QStringList &columns)
    : m_table(table)
    , m_columns(columns) {
    if (table.compare(u"KYDATA"_s, Qt::CaseInsensitive) != 0)
        return;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString &name = columns[i];
        if (name.compare(u"CUSTNO"_s, Qt::CaseInsensitive) == 0)
            m_subject = i;
        else if (name.compare(u"KYDATE"_s, Qt::CaseInsensitive) == 0)
            m_date = i;
        for (int c = 1; c <= ChannelCount; ++c) {
            if (name.compare(readingColumn(c), Qt::CaseInsensitive) == 0)
                m_readings.append(i);
        }
    }
}

QString ReadingsCheck::breach(const QVariantList &row) const {
    for (qsizetype i : m_readings) {
        if (keepsRule(row.value(i)))
            continue;
        const QString subject = m_subject >= 0 ? row.value(m_subject).toString() : QString();
        const QString date = m_date >= 0 ? dateText(row.value(m_date)) : QString();
        return u"来源档案的数据表 %1 中受测者 %2 于 %3 的测量，字段 %4 的读数 %5 不合规定 "
               u"(须为 0 以上、低于 %6 uA 的数值) !!"_s
                   .arg(m_table, subject, date, m_columns[i], cellText(row.value(i)))
                   .arg(ReadingLimit, 0, 'f', 0);
    }
    return {};
}

QString ReadingsCheck::sqliteBreakingRows() {
    QStringList broken;
    for (int c = 1; c <= ChannelCount; ++c) {
        broken << u"NOT (%1 IS NULL OR (typeof(%1) IN ('integer', 'real') AND %1 >= 0 AND %1 < %2))"_s
                      .arg(readingColumn(c))
                      .arg(ReadingLimit, 0, 'f', 0);
    }
    return broken.join(u" OR "_s);
}

} // namespace orlu
