#include "storage/rowinserter.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QSqlError>

namespace orlu {

using namespace Qt::StringLiterals;

RowInserter::RowInserter(QSqlDatabase target, const QString &table, const QStringList &columns)
    : m_table(table)
    , m_query(target)
    , m_onFile(sqliteHandle(target) != nullptr) {
    const QString sql = insertSql(table, columns);
    if (m_onFile) {
        if (!m_statement.prepare(target, sql.toUtf8()))
            m_error = m_statement.error();
    } else if (!m_query.prepare(sql)) {
        m_error = m_query.lastError().text();
    }
}

QString RowInserter::error() const {
    return m_error.isEmpty() ? QString() : m_table + u": "_s + m_error;
}

bool RowInserter::insert(const QVariantList &values) {
    if (!m_onFile) {
        for (qsizetype i = 0; i < values.size(); ++i)
            m_query.bindValue(int(i), values[i]);
        if (m_query.exec())
            return true;
        m_error = m_query.lastError().text();
        return false;
    }
    m_statement.reset();
    for (int i = 0; i < int(values.size()); ++i)
        m_statement.bind(i + 1, values[i]);
    if (m_statement.step() == RawStatement::Step::Done)
        return true;
    m_error = m_statement.error();
    return false;
}

} // namespace orlu
