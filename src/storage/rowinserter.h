#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct sqlite3_stmt;

namespace orlu {

// Appends rows to one table, one statement a row, the values given in the columns' order:
// through the engine's own statement on a file (binding through Qt costs more than reading a
// row from most sources), through Qt on a server. A null value is stored as NULL; flags,
// numbers, texts and bytes keep their kind.
class RowInserter {
public:
    RowInserter(QSqlDatabase target, const QString &table, const QStringList &columns);
    ~RowInserter();
    RowInserter(const RowInserter &) = delete;
    RowInserter &operator=(const RowInserter &) = delete;

    // Empty while all is well; else the cause, naming the table.
    QString error() const;
    bool insert(const QVariantList &values);

private:
    void bind(int index, const QVariant &value);
    QString engineError() const;

    QString m_table;
    QSqlDatabase m_target;
    QSqlQuery m_query;
    sqlite3_stmt *m_statement = nullptr;
    bool m_onFile = false;
    QString m_error;
};

} // namespace orlu
