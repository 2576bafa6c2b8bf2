#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// Measurements taken in from a transfer file or an older database keep the
// readings rule (core/readingsrule.h) like every other way a reading comes in.
// An empty cell counts as 0, "not measured", as the copy stores it.
namespace orlu {

class ReadingsCheck {
public:
    // For the rows of `table` as they come with `columns` (KYDATA needs CUSTNO and
    // KYDATE among them to name a row); checks nothing for another table.
    ReadingsCheck(const QString &table, const QStringList &columns);

    bool checksAnything() const { return !m_readings.isEmpty(); }
    // Empty when the row keeps the rule; else the message naming the table, the
    // row's subject number and date, and the first reading that breaks it.
    QString breach(const QVariantList &row) const;

    // An SQL condition true for a KYDATA row of an SQLite file that breaks the rule.
    static QString sqliteBreakingRows();

private:
    QString m_table;
    QStringList m_columns;
    QList<qsizetype> m_readings;
    qsizetype m_subject = -1;
    qsizetype m_date = -1;
};

} // namespace orlu
