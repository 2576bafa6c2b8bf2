#include "storage/keyedlistmodel.h"

#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

KeyedListModel::KeyedListModel(QSqlDatabase db, QString table, QStringList columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(std::move(db))
    , m_table(std::move(table))
    , m_columns(std::move(columns))
    , m_pageQuery(m_db) {}

int KeyedListModel::rowCount(const QModelIndex &parent) const {
    if (parent.isValid())
        return 0;
    return m_window ? m_window->size() : int(m_keys.size());
}

QVariant KeyedListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole && (index.column() == 0 || isNumberColumn(index.column())))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == 0)
        return index.row() + 1;
    const QVariantList *v = rowValues(index.row());
    return v ? cellValue(index.column(), *v) : QVariant();
}

QVariant KeyedListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const QStringList titles = columnTitles();
    return section >= 0 && section < titles.size() ? titles.at(section) : QVariant();
}

qint64 KeyedListModel::keyAt(int row) const {
    if (m_window)
        return m_window->keyAt(row);
    return (row >= 0 && row < int(m_keys.size())) ? m_keys[size_t(row)] : 0;
}

int KeyedListModel::rowOfKey(qint64 key) const {
    if (key <= 0)
        return -1;
    if (m_window)
        return m_window->rowOf(key);
    const auto it = std::find(m_keys.begin(), m_keys.end(), key);
    return it == m_keys.end() ? -1 : int(it - m_keys.begin());
}

int KeyedListModel::rowOfFirstKey(QSqlQuery &query) const {
    if (!query.exec()) {
        setError(query.lastError().text());
        return -1;
    }
    if (!query.next())
        return -1;
    if (m_window && query.record().count() > 1)
        return m_window->rowOf(query.value(0).toLongLong(), query.value(1));
    return rowOfKey(query.value(0).toLongLong());
}

void KeyedListModel::forgetRows() {
    m_pages.clear();
    m_pageUse.clear();
}

void KeyedListModel::close() {
    beginResetModel();
    m_keys.clear();
    m_window.reset();
    forgetRows();
    m_open = false;
    endResetModel();
}

void KeyedListModel::invalidateRows() {
    forgetRows();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

bool KeyedListModel::loadKeys(const QString &sql, const QVariantList &binds) {
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    std::vector<qint64> keys;
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant &b : binds)
            q.addBindValue(b);
        ok = q.exec();
    }
    if (ok) {
        while (q.next())
            keys.push_back(q.value(0).toLongLong());
        ok = !q.lastError().isValid();
    }
    beginResetModel();
    forgetRows();
    m_window.reset();
    if (ok) {
        m_keys = std::move(keys);
        m_open = true;
        m_error.clear();
    } else {
        m_keys.clear();
        m_error = q.lastError().text();
    }
    endResetModel();
    return ok;
}

bool KeyedListModel::loadPaged(const KeyWindow::Order &order) {
    auto window = std::make_unique<KeyWindow>(m_db, order);
    QString error;
    const bool ok = window->open(&error);
    beginResetModel();
    forgetRows();
    m_keys.clear();
    if (ok) {
        m_window = std::move(window);
        m_open = true;
        m_error.clear();
    } else {
        m_window.reset();
        m_error = error;
    }
    endResetModel();
    return ok;
}

const QVariantList *KeyedListModel::rowValues(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    const int page = row / PageSize;
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        if (!fetchPage(page))
            return nullptr;
        it = m_pages.find(page);
    } else if (m_pageUse.back() != page) {
        m_pageUse.erase(std::find(m_pageUse.begin(), m_pageUse.end(), page));
        m_pageUse.push_back(page);
    }
    return &(*it)[row - page * PageSize];
}

bool KeyedListModel::fetchPage(int page) const {
    if (!m_pageQueryReady) {
        QStringList marks;
        for (int i = 0; i < PageSize; ++i)
            marks << u"?"_s;
        m_pageQuery.setForwardOnly(true);
        m_pageQueryReady = m_pageQuery.prepare(u"SELECT MKEY, "_s + m_columns.join(u", "_s) + u" FROM "_s +
                                               m_table + u" WHERE MKEY IN ("_s + marks.join(u',') + u")"_s);
    }
    if (!m_pageQueryReady) {
        setError(m_pageQuery.lastError().text());
        return false;
    }
    const int first = page * PageSize;
    const int last = std::min(first + PageSize, rowCount());
    std::vector<qint64> keys;
    keys.reserve(size_t(last - first));
    for (int r = first; r < last; ++r)
        keys.push_back(keyAt(r));
    for (int i = 0; i < PageSize; ++i) {
        // MKEY 0 is never assigned, so it pads a short last page.
        m_pageQuery.bindValue(i, i < int(keys.size()) ? keys[size_t(i)] : qint64(0));
    }
    if (!m_pageQuery.exec()) {
        setError(m_pageQuery.lastError().text());
        // A renewed server connection knows no statement prepared on the old one.
        m_pageQueryReady = false;
        m_pageQuery = QSqlQuery(m_db);
        return false;
    }
    QHash<qint64, QVariantList> byKey;
    while (m_pageQuery.next()) {
        QVariantList values;
        values.reserve(m_columns.size());
        for (int c = 0; c < m_columns.size(); ++c)
            values << m_pageQuery.value(c + 1);
        byKey.insert(m_pageQuery.value(0).toLongLong(), values);
    }
    m_pageQuery.finish();
    QList<QVariantList> rows;
    rows.reserve(last - first);
    // A row deleted by another program since the keys were read shows empty.
    for (const qint64 key : keys)
        rows << byKey.value(key, QVariantList(m_columns.size()));
    if (int(m_pageUse.size()) >= KeptPages) {
        m_pages.remove(m_pageUse.front());
        m_pageUse.pop_front();
    }
    m_pages.insert(page, rows);
    m_pageUse.push_back(page);
    return true;
}

} // namespace orlu
