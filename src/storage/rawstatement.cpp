#include "storage/rawstatement.h"

#include "storage/database.h"

#include <sqlite3.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool setMapSize(sqlite3 *connection, qint64 bytes) {
    return sqlite3_exec(connection, QByteArray("PRAGMA mmap_size = " + QByteArray::number(bytes)).constData(),
                        nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

RawStatement::~RawStatement() {
    sqlite3_finalize(m_handle);
}

bool RawStatement::prepare(QSqlDatabase db, const QByteArray &sql) {
    sqlite3_finalize(m_handle);
    m_handle = nullptr;
    m_db = std::move(db);
    sqlite3 *connection = sqliteHandle(m_db);
    return connection &&
           sqlite3_prepare_v2(connection, sql.constData(), int(sql.size()), &m_handle, nullptr) == SQLITE_OK;
}

bool RawStatement::bind(int index, const QVariant &value) {
    if (value.isNull())
        return sqlite3_bind_null(m_handle, index) == SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::QString:
        return bindText(index, value.toString().toUtf8());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(m_handle, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT) ==
               SQLITE_OK;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(m_handle, index, value.toDouble()) == SQLITE_OK;
    default:
        return sqlite3_bind_int64(m_handle, index, value.toLongLong()) == SQLITE_OK;
    }
}

bool RawStatement::bindText(int index, QByteArrayView utf8) {
    return sqlite3_bind_text(m_handle, index, utf8.data(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

RawStatement::Step RawStatement::step() {
    switch (sqlite3_step(m_handle)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Failed;
    }
}

void RawStatement::reset() {
    sqlite3_reset(m_handle);
}

QByteArrayView RawStatement::textView(int column) const {
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_handle, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(m_handle, column)) : QByteArrayView();
}

QString RawStatement::text(int column) const {
    const QByteArrayView view = textView(column);
    return view.data() ? QString::fromUtf8(view) : QString();
}

double RawStatement::real(int column) const {
    return sqlite3_column_double(m_handle, column);
}

qint64 RawStatement::integer(int column) const {
    return sqlite3_column_int64(m_handle, column);
}

QString RawStatement::error() const {
    sqlite3 *connection = sqliteHandle(m_db);
    if (!connection)
        return u"the register is not open"_s;
    return u"%1 (%2)"_s.arg(QString::fromUtf8(sqlite3_errmsg(connection)))
        .arg(sqlite3_extended_errcode(connection));
}

MappedReading::MappedReading(QSqlDatabase db, qint64 bytes)
    : m_db(std::move(db)) {
    sqlite3 *connection = sqliteHandle(m_db);
    sqlite3_stmt *pragma = nullptr;
    if (connection && sqlite3_prepare_v2(connection, "PRAGMA mmap_size", -1, &pragma, nullptr) == SQLITE_OK &&
        sqlite3_step(pragma) == SQLITE_ROW) {
        const qint64 before = sqlite3_column_int64(pragma, 0);
        if (before < bytes && setMapSize(connection, bytes))
            m_before = before;
    }
    sqlite3_finalize(pragma);
}

MappedReading::~MappedReading() {
    if (sqlite3 *connection = sqliteHandle(m_db); connection && m_before)
        setMapSize(connection, *m_before);
}

} // namespace orlu
