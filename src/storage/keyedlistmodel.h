#pragma once

#include "storage/keywindow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

#include <deque>
#include <memory>
#include <vector>

namespace orlu {

// A read-only list over one table that holds only the row keys (MKEY) in the
// order the database sorted them; row contents are read in pages when a view
// asks for them and only a few pages are kept. A row's key is its bookmark.
// A whole table on a server is not even read key by key: it is counted, and
// its keys are read a block at a time as rows are shown (see KeyWindow).
class KeyedListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex &parent = {}) const override;
    // Column 0 shows the running number 1, 2, ...; the other columns come from cellValue().
    // Numbers are right-aligned; only the display role has data.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    qint64 keyAt(int row) const;
    // -1 when the key is not in the list.
    int rowOfKey(qint64 key) const;
    // The first row (in list order) of the row a query returns as its first MKEY (and, for a
    // paged list, its sort key second); -1 when none.
    int rowOfFirstKey(QSqlQuery &query) const;

    bool isOpen() const { return m_open; }
    // Empties the list; a closed list shows no rows.
    void close();
    // Forgets the cached contents (after a row changed in place).
    void invalidateRows();
    const QString &lastError() const { return m_error; }
    QSqlDatabase database() const { return m_db; }

protected:
    KeyedListModel(QSqlDatabase db, QString table, QStringList columns, QObject *parent);

    // Runs a query that returns MKEY in list order and shows its rows.
    bool loadKeys(const QString &sql, const QVariantList &binds);
    // Shows a whole table in an order, its keys read in blocks as they are needed.
    bool loadPaged(const KeyWindow::Order &order);
    bool isPaged() const { return m_window != nullptr; }
    // Values of the model's columns for a row, read with its page; nullptr on a database error.
    const QVariantList *rowValues(int row) const;
    void setError(const QString &error) const { m_error = error; }

    // What column `column` (1 and up) shows of a row read with rowValues().
    virtual QVariant cellValue(int column, const QVariantList &values) const = 0;
    // Whether the column holds numbers (right-aligned); column 0 always does.
    virtual bool isNumberColumn(int column) const = 0;
    // The horizontal header, column 0 first.
    virtual QStringList columnTitles() const = 0;

private:
    bool fetchPage(int page) const;
    void forgetRows();

    static constexpr int PageSize = 128;
    static constexpr int KeptPages = 24;

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    bool m_open = false;
    std::vector<qint64> m_keys;
    std::unique_ptr<KeyWindow> m_window; // set for a paged list, which keeps no m_keys
    mutable QHash<int, QList<QVariantList>> m_pages;
    mutable std::deque<int> m_pageUse; // most recently used last
    mutable QSqlQuery m_pageQuery;
    mutable bool m_pageQueryReady = false;
    mutable QString m_error;
};

} // namespace orlu
