#pragma once

#include "transfer/sourcefile.h"

#include <QHash>
#include <QVariant>

#include <functional>

namespace orlu {

struct JetHandle; // libmdb's handle of the open file

// An Access (Jet 3 or Jet 4) database file as a source, read through libmdb,
// read-only. Cells keep their stored values: a date/time is its day count
// (never libmdb's date text), a memo its whole text, an OLE field its bytes.
// Jet 3 files keep text in the code page of the Windows that wrote them; ours
// were written on simplified Chinese Windows (GBK, code page 936).
class JetSource final : public SourceFile {
public:
    static constexpr const char *DefaultCodePage = "GBK";

    // Null with a message for a newer Access file (.accdb), a file libmdb cannot read or
    // reads with complaints, or one whose register columns have kinds not their own.
    static std::unique_ptr<JetSource> open(const QString &path, QString *error,
                                           const char *jet3CodePage = DefaultCodePage);
    ~JetSource() override;
    JetSource(const JetSource &) = delete;
    JetSource &operator=(const JetSource &) = delete;

    // 3 or 4.
    int jetVersion() const { return m_version; }

    QStringList tables() const override { return m_tables; }
    QStringList columns(const QString &table) const override;
    qint64 rowCount(const QString &table) const override;
    bool appendTo(QSqlDatabase target, const QString &table, const QList<ColumnDef> &columns,
                  CopyProgress &progress, QString *error) override;
    bool connect(QSqlDatabase, QString *) override { return true; }
    void disconnect(QSqlDatabase) override {}

    // Hands every row of `table` to `row` as the values of `columns` in that order
    // (null for a null cell, an empty text for an empty one); stops early when `row`
    // returns false. Fails when any part of the table cannot be read: every row the
    // file counts for the table must arrive, and the reader must not complain.
    using RowHandler = std::function<bool(const QVariantList &values)>;
    bool readRows(const QString &table, const QStringList &columns, const RowHandler &row,
                  QString *error = nullptr) const;

private:
    JetSource() = default;
    // Each register column the file holds has the kind of its register column.
    bool checkColumnKinds(QString *error) const;

    std::unique_ptr<JetHandle> m_handle;
    int m_version = 0;
    QStringList m_tables;
    QHash<QString, QStringList> m_columns;       // by upper-case table name
    QHash<QString, QHash<QString, int>> m_types; // libmdb's column types by upper-case names
    QHash<QString, qint64> m_rows;
};

} // namespace orlu
