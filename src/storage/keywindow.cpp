#include "storage/keywindow.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int KeptBlocks = 24;

} // namespace

KeyWindow::KeyWindow(QSqlDatabase db, Order order)
    : m_db(std::move(db))
    , m_order(std::move(order)) {}

bool KeyWindow::open(QString *error) {
    m_blocks.clear();
    m_use.clear();
    m_anchor.reset();
    m_size = 0;
    QSqlQuery q(m_db);
    if (!q.exec(u"SELECT count(*) FROM "_s + m_order.table) || !q.next()) {
        m_error = q.lastError().text();
        if (error)
            *error = m_error;
        return false;
    }
    m_size = q.value(0).toInt();
    m_error.clear();
    return true;
}

qint64 KeyWindow::keyAt(int row) {
    if (row < 0 || row >= m_size)
        return 0;
    const std::vector<Entry> *keys = block(row / BlockSize);
    const size_t at = size_t(row % BlockSize);
    return keys && at < keys->size() ? (*keys)[at].key : 0;
}

int KeyWindow::rowOf(qint64 key) {
    if (key <= 0)
        return -1;
    for (auto it = m_blocks.cbegin(); it != m_blocks.cend(); ++it) {
        const auto found =
            std::find_if(it->cbegin(), it->cend(), [key](const Entry &e) { return e.key == key; });
        if (found != it->cend())
            return it.key() * BlockSize + int(found - it->cbegin());
    }
    QSqlQuery q(m_db);
    q.prepare(u"SELECT %1 FROM %2 WHERE MKEY = ?"_s.arg(m_order.sortKey, m_order.table));
    q.addBindValue(key);
    if (!q.exec()) {
        m_error = q.lastError().text();
        return -1;
    }
    return q.next() ? rowOf(key, q.value(0)) : -1;
}

int KeyWindow::rowOf(qint64 key, const QVariant &sortValue) {
    // The rows that come before it in list order.
    QSqlQuery q(m_db);
    q.prepare(u"SELECT count(*) FROM %1 WHERE (%2, MKEY) %3 (?, ?)"_s.arg(
        m_order.table, m_order.sortKey, m_order.descending ? u">"_s : u"<"_s));
    q.addBindValue(sortValue);
    q.addBindValue(key);
    if (!q.exec() || !q.next()) {
        m_error = q.lastError().text();
        return -1;
    }
    const int row = q.value(0).toInt();
    if (row >= m_size)
        return -1; // added since the rows were counted
    if (!m_blocks.contains(row / BlockSize))
        m_anchor = Anchor{row, Entry{key, sortValue}};
    return row;
}

const std::vector<KeyWindow::Entry> *KeyWindow::block(int index) {
    auto it = m_blocks.find(index);
    if (it != m_blocks.end()) {
        if (m_use.back() != index) {
            m_use.erase(std::find(m_use.begin(), m_use.end(), index));
            m_use.push_back(index);
        }
        return &*it;
    }
    std::vector<Entry> keys = readBlock(index);
    if (keys.empty())
        return nullptr;
    if (int(m_use.size()) >= KeptBlocks) {
        m_blocks.remove(m_use.front());
        m_use.pop_front();
    }
    m_use.push_back(index);
    return &*m_blocks.insert(index, std::move(keys));
}

std::vector<KeyWindow::Entry> KeyWindow::readBlock(int index) {
    const int first = index * BlockSize;
    const int count = std::min(BlockSize, m_size - first);
    if (const auto before = m_blocks.constFind(index - 1); before != m_blocks.cend() && !before->empty())
        return readNear(before->back(), Side::After, count);
    if (const auto after = m_blocks.constFind(index + 1); after != m_blocks.cend() && !after->empty()) {
        std::vector<Entry> keys = readNear(after->front(), Side::Before, count);
        std::reverse(keys.begin(), keys.end());
        return keys;
    }
    if (m_anchor && m_anchor->row >= first && m_anchor->row < first + count) {
        std::vector<Entry> keys = readNear(m_anchor->entry, Side::Before, m_anchor->row - first);
        std::reverse(keys.begin(), keys.end());
        const std::vector<Entry> rest = readNear(m_anchor->entry, Side::From, first + count - m_anchor->row);
        keys.insert(keys.end(), rest.begin(), rest.end());
        return keys;
    }
    // Far from anything read: by position, which the server finds by walking the index.
    return readAt(first, count);
}

QString KeyWindow::orderBy(bool reversed) const {
    const QString direction = m_order.descending != reversed ? u" DESC"_s : u" ASC"_s;
    return u" ORDER BY "_s + m_order.sortKey + direction + u", MKEY"_s + direction;
}

std::vector<KeyWindow::Entry> KeyWindow::readNear(const Entry &anchor, Side side, int limit) {
    if (limit <= 0)
        return {};
    const bool backwards = side == Side::Before;
    // "After" in list order is "greater" ascending and "less" descending.
    const bool greater = backwards == m_order.descending;
    const QString comparison = (greater ? u">"_s : u"<"_s) + (side == Side::From ? u"="_s : QString());
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT MKEY, %1 FROM %2 WHERE (%1, MKEY) %3 (?, ?)"_s.arg(m_order.sortKey, m_order.table,
                                                                          comparison) +
              orderBy(backwards) + u" LIMIT %1"_s.arg(limit));
    q.addBindValue(anchor.value);
    q.addBindValue(anchor.key);
    return collect(q);
}

std::vector<KeyWindow::Entry> KeyWindow::readAt(int offset, int limit) {
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT MKEY, %1 FROM %2"_s.arg(m_order.sortKey, m_order.table) + orderBy(false) +
              u" LIMIT %1 OFFSET %2"_s.arg(limit).arg(offset));
    return collect(q);
}

std::vector<KeyWindow::Entry> KeyWindow::collect(QSqlQuery &query) {
    std::vector<Entry> keys;
    if (!query.exec()) {
        m_error = query.lastError().text();
        return keys;
    }
    while (query.next())
        keys.push_back({query.value(0).toLongLong(), query.value(1)});
    return keys;
}

} // namespace orlu
