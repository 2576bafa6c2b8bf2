#pragma once

#include "core/clock.h"
#include "jetwire/jetwire.h"
#include "transfer/sourcefile.h"

#include <QHash>
#include <QVariant>

#include <functional>

namespace orlu {

class JetReaderRun;

// What a file holds, as its reader lists it.
struct JetCatalog {
    int version = 0; // 3 or 4
    QStringList tables;
    QHash<QString, QStringList> columns;                       // by upper-case table name
    QHash<QString, QHash<QString, jetwire::ColumnKind>> kinds; // by upper-case names
    QHash<QString, qint64> rows;

    bool operator==(const JetCatalog &) const = default;
};

// An Access (Jet 3 or Jet 4) database file as a source, read-only. The file is read by
// orlu-jet-reader, a confined program of its own, so that a damaged or hostile file cannot
// harm this one: its crash, hang or a malformed answer refuses the file as damaged. Cells
// keep their stored values: a date/time is its day count, a memo its whole text, an OLE
// field its bytes. Jet 3 files keep text in the code page of the Windows that wrote them;
// ours were written on simplified Chinese Windows (GBK, code page 936).
class JetSource final : public SourceFile {
public:
    static constexpr const char *DefaultCodePage = "GBK";

    // Null with a message for a newer Access file (.accdb), a file that cannot be read
    // whole, or one whose register columns have kinds not their own. The reader's time
    // is measured on `clock`, which must outlive the source.
    static std::unique_ptr<JetSource> open(const QString &path, const Clock &clock, QString *error,
                                           const char *jet3CodePage = DefaultCodePage);
    ~JetSource() override;
    JetSource(const JetSource &) = delete;
    JetSource &operator=(const JetSource &) = delete;

    // 3 or 4.
    int jetVersion() const { return m_catalog.version; }

    QStringList tables() const override { return m_catalog.tables; }
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
    JetSource(const Clock &clock, int fd, qint64 size, const char *jet3CodePage);
    // Starts the reader (again, after a failure or a reading stopped early) and takes in
    // the catalog it sends first.
    bool startReader(JetCatalog *catalog, QString *error) const;
    bool readCatalog(JetCatalog *catalog, QString *error) const;
    // Each register column the file holds has the kind of its register column.
    bool checkColumnKinds(QString *error) const;

    const Clock &m_clock;
    int m_fd = -1;
    qint64 m_size = 0;
    QByteArray m_codePage;
    JetCatalog m_catalog;
    // The reader stays for the reading of every table; reading changes only it.
    mutable std::unique_ptr<JetReaderRun> m_reader;
};

} // namespace orlu
