#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>

struct sqlite3_stmt;

namespace orlu {

// A statement run straight through the SQLite engine under a Qt connection, for the few
// readers that must go without Qt's per-value variants (a million-row export). The
// engine stays this library's own: callers see only this class.
class RawStatement {
public:
    enum class Step { Row, Done, Failed };

    RawStatement() = default;
    ~RawStatement();
    RawStatement(const RawStatement &) = delete;
    RawStatement &operator=(const RawStatement &) = delete;

    // False when the connection is not SQLite or refuses the statement (see error()).
    bool prepare(QSqlDatabase db, const QByteArray &sql);
    // Binds a value to the 1-based parameter `index`: NULL, a text, bytes, a real number, or
    // else (flags, whole numbers) an integer.
    bool bind(int index, const QVariant &value);
    bool bindText(int index, QByteArrayView utf8);
    Step step();
    void reset();

    QByteArrayView textView(int column) const; // valid until the next step or reset
    QString text(int column) const;            // null for a NULL value
    double real(int column) const;
    qint64 integer(int column) const;

    // The engine's message ending in its result code in brackets, as sqliteCodeOf() reads it.
    QString error() const;

private:
    QSqlDatabase m_db;
    sqlite3_stmt *m_handle = nullptr;
};

// Maps the database file into memory while the guard lives, for reads that visit its pages
// out of order: read through the page cache they cost a system call and a page copy each.
class MappedReading {
public:
    MappedReading(QSqlDatabase db, qint64 bytes);
    ~MappedReading();
    MappedReading(const MappedReading &) = delete;
    MappedReading &operator=(const MappedReading &) = delete;

private:
    QSqlDatabase m_db;
    std::optional<qint64> m_before;
};

} // namespace orlu
