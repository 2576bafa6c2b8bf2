#include "storage/rowinserter.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QSqlError>

#include <sqlite3.h>

namespace orlu {

using namespace Qt::StringLiterals;

RowInserter::RowInserter(QSqlDatabase target, const QString &table, const QStringList &columns)
    : m_table(table)
    , m_target(target)
    , m_query(target)
    , m_onFile(sqliteHandle(target) != nullptr) {
    const QString sql = insertSql(table, columns);
    if (m_onFile) {
        if (sqlite3_prepare_v2(sqliteHandle(m_target), sql.toUtf8().constData(), -1, &m_statement, nullptr) !=
            SQLITE_OK)
            m_error = engineError();
    } else if (!m_query.prepare(sql)) {
        m_error = m_query.lastError().text();
    }
}

RowInserter::~RowInserter() {
    sqlite3_finalize(m_statement);
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
    sqlite3_reset(m_statement);
    for (int i = 0; i < int(values.size()); ++i)
        bind(i + 1, values[i]);
    if (sqlite3_step(m_statement) == SQLITE_DONE)
        return true;
    m_error = engineError();
    return false;
}

void RowInserter::bind(int index, const QVariant &v) {
    if (v.isNull()) {
        sqlite3_bind_null(m_statement, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Double:
        sqlite3_bind_double(m_statement, index, v.toDouble());
        break;
    case QMetaType::QString: {
        const QString text = v.toString();
        sqlite3_bind_text16(m_statement, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        sqlite3_bind_int64(m_statement, index, v.toLongLong());
    }
}

// As Qt's driver words it, so the engine's code can be told.
QString RowInserter::engineError() const {
    sqlite3 *connection = sqliteHandle(m_target);
    return u"%1 (%2)"_s.arg(QString::fromUtf8(sqlite3_errmsg(connection)))
        .arg(sqlite3_extended_errcode(connection));
}

} // namespace orlu
