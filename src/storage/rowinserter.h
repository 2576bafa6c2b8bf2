#pragma once

#include "storage/rawstatement.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace orlu {

// Appends rows to one table, one statement a row, the values given in the columns' order:
// through the engine's own statement on a file (binding through Qt costs more than reading a
// row from most sources), through Qt on a server. A null value is stored as NULL; flags,
// numbers, texts and bytes keep their kind.
class RowInserter {
public:
    RowInserter(QSqlDatabase target, const QString &table, const QStringList &columns);
    RowInserter(const RowInserter &) = delete;
    RowInserter &operator=(const RowInserter &) = delete;

    // Empty while all is well; else the cause, naming the table.
    QString error() const;
    bool insert(const QVariantList &values);

private:
    QString m_table;
    QSqlQuery m_query;
    RawStatement m_statement;
    bool m_onFile = false;
    QString m_error;
};

} // namespace orlu
