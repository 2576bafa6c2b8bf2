#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <deque>
#include <optional>
#include <vector>

namespace orlu {

// The keys (MKEY) of a whole table in a sort order, for a list too long to read at once
// from a server: the number of rows is counted, and keys are read a block at a time when
// a row is shown, continuing from a neighbouring block or from a row just looked up
// (keyset reads that an index serves) and only by position when nothing near is known.
// The sort key must never be NULL, so that rows compare as (sort key, MKEY) pairs.
class KeyWindow {
public:
    struct Order {
        QString table;
        QString sortKey; // an expression of the table's columns
        bool descending = false;
    };

    KeyWindow(QSqlDatabase db, Order order);

    // Counts the rows and forgets every key read before.
    bool open(QString *error);
    int size() const { return m_size; }

    // The key of a row; 0 when it cannot be read (or the row is gone since counting).
    qint64 keyAt(int row);
    // The row of a key; -1 when the key is not in the table.
    int rowOf(qint64 key);
    // The same when the key's sort value is known (read with it).
    int rowOf(qint64 key, const QVariant &sortValue);

    const QString &lastError() const { return m_error; }

    static constexpr int BlockSize = 1024;

private:
    struct Entry {
        qint64 key = 0;
        QVariant value;
    };
    enum class Side { Before, From, After };

    const std::vector<Entry> *block(int index);
    std::vector<Entry> readBlock(int index);
    std::vector<Entry> readNear(const Entry &anchor, Side side, int limit);
    std::vector<Entry> readAt(int offset, int limit);
    std::vector<Entry> collect(QSqlQuery &query);
    QString orderBy(bool reversed) const;

    QSqlDatabase m_db;
    Order m_order;
    int m_size = 0;
    QHash<int, std::vector<Entry>> m_blocks;
    std::deque<int> m_use; // most recently used last
    // A row looked up by key, so the block around it is read from there.
    struct Anchor {
        int row = 0;
        Entry entry;
    };
    std::optional<Anchor> m_anchor;
    QString m_error;
};

} // namespace orlu
