#include "transfer/jetsource.h"

// mdbtools.h wraps glib in extern "C"; glib's C++ parts must come first.
#include <glib.h>
#include <mdbtools.h>

#include "storage/database.h"
#include "storage/rowinserter.h"
#include "transfer/readingscheck.h"
#include "transfer/transfercolumns.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace orlu {

using namespace Qt::StringLiterals;

struct JetHandle {
    MdbHandle *mdb = nullptr;
    ~JetHandle() {
        if (mdb)
            mdb_close(mdb);
    }
};

namespace {

// Enough for any memo the program writes; libmdb cuts a bound value at this size.
constexpr size_t BindSize = 1 << 20;

bool setError(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

MdbColumn *columnAt(MdbTableDef *t, unsigned i) {
    return static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i));
}

// libmdb reads the code page of Jet 3 text from the environment when it opens a file.
class Jet3CodePage {
public:
    explicit Jet3CodePage(const char *codePage) {
        if (const char *old = std::getenv(Name)) {
            m_had = true;
            m_old = old;
        }
        setenv(Name, codePage, 1);
    }
    ~Jet3CodePage() {
        if (m_had)
            setenv(Name, m_old.constData(), 1);
        else
            unsetenv(Name);
    }

private:
    static constexpr const char *Name = "MDB_JET3_CHARSET";
    bool m_had = false;
    QByteArray m_old;
};

// libmdb reports what it cannot read on standard output or standard error and goes
// on as if the rest were not there. While it works both are caught, so that every
// complaint fails the read and none reaches the operator raw.
class ReaderDiagnostics {
public:
    ReaderDiagnostics() {
#ifdef __linux__
        std::fflush(stdout);
        std::fflush(stderr);
        m_sink = ::memfd_create("jet-reader", MFD_CLOEXEC);
        if (m_sink < 0)
            return;
        m_out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        m_err = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        ::dup2(m_sink, STDOUT_FILENO);
        ::dup2(m_sink, STDERR_FILENO);
#endif
    }
    ~ReaderDiagnostics() {
        restore();
        if (m_sink >= 0)
            ::close(m_sink);
    }
    ReaderDiagnostics(const ReaderDiagnostics &) = delete;
    ReaderDiagnostics &operator=(const ReaderDiagnostics &) = delete;

    // What the reader said, its first line at most; empty when it said nothing.
    QString firstComplaint() {
        restore();
        if (m_sink < 0)
            return {};
        char text[512];
        const ssize_t n = ::pread(m_sink, text, sizeof text, 0);
        if (n <= 0)
            return {};
        const QString said = QString::fromLocal8Bit(text, n).trimmed();
        return said.isEmpty() ? u"?"_s : said.section(u'\n', 0, 0).trimmed();
    }

private:
    void restore() {
        if (m_out < 0)
            return;
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(m_out, STDOUT_FILENO);
        ::dup2(m_err, STDERR_FILENO);
        ::close(m_out);
        ::close(m_err);
        m_out = m_err = -1;
    }

    int m_sink = -1;
    int m_out = -1;
    int m_err = -1;
};

// libmdb decodes Jet 4 text as UCS-2, which has no room for the characters outside
// the Basic Multilingual Plane (𠮷, 𩸽, emoji): they came out as "??". Decoding it as
// UTF-16 keeps their surrogate pairs, and so every character.
void decodeJet4AsUtf16(MdbHandle *mdb) {
    const iconv_t utf16 = iconv_open("UTF-8", "UTF-16LE");
    if (utf16 == iconv_t(-1))
        return;
    // libmdb reads text through iconv_in (and writes, which we never do, through iconv_out).
    if (mdb->iconv_in != iconv_t(-1))
        iconv_close(mdb->iconv_in);
    mdb->iconv_in = utf16;
}

struct TableReader {
    MdbTableDef *table = nullptr;
    ~TableReader() {
        if (table)
            mdb_free_tabledef(table);
    }
};

// The catalog is read like any table, so rows of it on pages that cannot be read are
// passed over: a table it lost would look missing, not damaged. All its rows must arrive.
bool catalogWhole(MdbHandle *mdb) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || qstrcmp(entry->object_name, "MSysObjects") != 0)
            continue;
        TableReader reader{mdb_read_table(entry)};
        if (!reader.table || !mdb_read_columns(reader.table))
            return false;
        mdb_rewind_table(reader.table);
        unsigned long rows = 0;
        while (mdb_fetch_row(reader.table))
            ++rows;
        return rows == reader.table->num_rows;
    }
    return false;
}

bool isNumber(int type) {
    return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_FLOAT ||
           type == MDB_DOUBLE || type == MDB_MONEY || type == MDB_NUMERIC;
}

// Whether a cell of libmdb type `type` may be copied into the register column `column`.
bool fitsKind(const ColumnDef &column, int type) {
    // The carried key of older installations is only ever copied as text, whatever it held.
    if (qstrcmp(column.name, "AutoKey") == 0)
        return type == MDB_TEXT || type == MDB_MEMO || isNumber(type);
    const bool number = isNumber(type);
    switch (column.type) {
    case ColumnDef::Text:
        return type == MDB_TEXT;
    case ColumnDef::Memo:
        return type == MDB_TEXT || type == MDB_MEMO;
    case ColumnDef::Boolean:
        return type == MDB_BOOL;
    case ColumnDef::Integer:
    case ColumnDef::Float:
        return number;
    case ColumnDef::DateTime:
        return type == MDB_DATETIME;
    case ColumnDef::Blob:
        return type == MDB_OLE || type == MDB_BINARY;
    case ColumnDef::AutoKey:
        break;
    }
    return true;
}

bool needsBinding(int type) {
    return type == MDB_BOOL || type == MDB_TEXT || type == MDB_MEMO || type == MDB_OLE || type == MDB_MONEY ||
           type == MDB_NUMERIC || type == MDB_REPID || type == MDB_BINARY;
}

// The value of a cell of the row just fetched. Fixed-size numbers are read from the
// row itself, so a date stays the day count it is stored as.
QVariant fixedValue(MdbHandle *mdb, MdbColumn *col, const char *bound, int boundLength) {
    const int start = col->cur_value_start;
    switch (col->col_type) {
    case MDB_BOOL:
        return QByteArray(bound, boundLength) == "1";
    case MDB_BYTE:
        return col->cur_value_len ? QVariant(int(mdb->pg_buf[start])) : QVariant();
    case MDB_INT:
        return col->cur_value_len ? QVariant(mdb_get_int16(mdb->pg_buf, start)) : QVariant();
    case MDB_LONGINT:
        return col->cur_value_len ? QVariant(qint64(mdb_get_int32(mdb->pg_buf, start))) : QVariant();
    case MDB_FLOAT:
        return col->cur_value_len ? QVariant(double(mdb_get_single(mdb->pg_buf, start))) : QVariant();
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return col->cur_value_len ? QVariant(mdb_get_double(mdb->pg_buf, start)) : QVariant();
    case MDB_MONEY:
    case MDB_NUMERIC:
        return col->cur_value_len ? QVariant(QByteArray(bound, boundLength).toDouble()) : QVariant();
    case MDB_TEXT:
    case MDB_MEMO:
        return QVariant(boundLength ? QString::fromUtf8(bound, boundLength) : u""_s);
    default:
        return col->cur_value_len ? QVariant(QByteArray(bound, boundLength)) : QVariant();
    }
}

// Null when the field is empty; sets `unreadable` when its bytes cannot be read.
QVariant oleValue(MdbHandle *mdb, MdbColumn *col, int boundLength, bool *unreadable) {
    if (boundLength == 0)
        return QVariant();
    size_t size = 0;
    void *bytes = mdb_ole_read_full(mdb, col, &size);
    if (!bytes) {
        *unreadable = true;
        return QVariant();
    }
    QByteArray result(static_cast<const char *>(bytes), qsizetype(size));
    std::free(bytes);
    return result;
}

// Brings a cell to the kind of value its register column holds.
QVariant registerValue(ColumnDef::Type type, const QVariant &v) {
    switch (type) {
    case ColumnDef::Text:
    case ColumnDef::Memo:
        return v.isNull() ? QVariant() : QVariant(v.toString());
    case ColumnDef::Boolean:
        // A flag as a flag: a server refuses a number for a boolean column.
        return v.toBool();
    case ColumnDef::Integer:
        return v.toLongLong();
    case ColumnDef::DateTime:
    case ColumnDef::Float:
        return v.toDouble();
    case ColumnDef::Blob:
        return v.isNull() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(v.toByteArray());
    case ColumnDef::AutoKey:
        break;
    }
    return v;
}

} // namespace

std::unique_ptr<JetSource> JetSource::open(const QString &path, QString *error, const char *jet3CodePage) {
    std::unique_ptr<JetSource> source(new JetSource);
    source->m_handle = std::make_unique<JetHandle>();
    ReaderDiagnostics diagnostics;
    {
        const Jet3CodePage codePage(jet3CodePage);
        source->m_handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    }
    MdbHandle *mdb = source->m_handle->mdb;
    if (!mdb) {
        setError(error, u"来源档案不是可读取的数据库 !!"_s);
        return nullptr;
    }
    if (mdb->f->jet_version != MDB_VER_JET3 && mdb->f->jet_version != MDB_VER_JET4) {
        setError(error,
                 u"来源档案是 Access 2007 以后的格式 (.accdb)，无法读取，请以 .mdb 格式另存后再汇入 !!"_s);
        return nullptr;
    }
    source->m_version = mdb->f->jet_version == MDB_VER_JET3 ? 3 : 4;
    if (source->m_version == 4)
        decodeJet4AsUtf16(mdb);
    // A file is made of whole pages; one cut short lacks the rest of its last.
    const qint64 size = QFileInfo(path).size();
    if (size % qint64(mdb->fmt->pg_size) != 0) {
        setError(error,
                 damagedSourceText(u"%1 bytes, not whole pages of %2"_s.arg(size).arg(mdb->fmt->pg_size)));
        return nullptr;
    }
    mdb_set_bind_size(mdb, BindSize);
    bool whole = mdb_read_catalog(mdb, MDB_TABLE) != nullptr && catalogWhole(mdb);
    for (unsigned i = 0; whole && i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        TableReader reader{mdb_read_table(entry)};
        whole = reader.table && mdb_read_columns(reader.table);
        if (!whole)
            break;
        const QString name = QString::fromUtf8(entry->object_name);
        QStringList names;
        QHash<QString, int> types;
        for (unsigned c = 0; c < reader.table->num_cols; ++c) {
            const MdbColumn *col = columnAt(reader.table, c);
            names << QString::fromUtf8(col->name);
            types.insert(names.last().toUpper(), col->col_type);
        }
        source->m_tables << name;
        source->m_columns.insert(name.toUpper(), names);
        source->m_types.insert(name.toUpper(), types);
        source->m_rows.insert(name.toUpper(), reader.table->num_rows);
    }
    const QString complaint = diagnostics.firstComplaint();
    if (!whole || !complaint.isEmpty()) {
        setError(error, damagedSourceText(complaint.isEmpty() ? u"catalog"_s : complaint));
        return nullptr;
    }
    if (!source->checkColumnKinds(error))
        return nullptr;
    return source;
}

bool JetSource::checkColumnKinds(QString *error) const {
    for (const QString &table : RecordTables + CourseTables) {
        const QHash<QString, int> types = m_types.value(table);
        for (const ColumnDef &c : copiedColumns(table)) {
            const QString name = QString::fromLatin1(c.name);
            const auto type = types.constFind(name.toUpper());
            if (type != types.cend() && !fitsKind(c, *type))
                return setError(error, wrongColumnKindText(table, name));
        }
    }
    return true;
}

JetSource::~JetSource() = default;

QStringList JetSource::columns(const QString &table) const {
    return m_columns.value(table.toUpper());
}

qint64 JetSource::rowCount(const QString &table) const {
    return m_rows.value(table.toUpper());
}

bool JetSource::readRows(const QString &table, const QStringList &columns, const RowHandler &row,
                         QString *error) const {
    MdbHandle *mdb = m_handle->mdb;
    MdbCatalogEntry *entry = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !entry; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE &&
            table.compare(QString::fromUtf8(e->object_name), Qt::CaseInsensitive) == 0)
            entry = e;
    }
    ReaderDiagnostics diagnostics;
    TableReader reader{entry ? mdb_read_table(entry) : nullptr};
    if (!reader.table || !mdb_read_columns(reader.table)) {
        const QString complaint = diagnostics.firstComplaint();
        return setError(error, damagedSourceText(complaint.isEmpty() ? table : complaint));
    }
    MdbTableDef *t = reader.table;

    std::vector<MdbColumn *> wanted;
    std::vector<int> numbers; // 1-based, as libmdb binds
    for (const QString &name : columns) {
        unsigned c = 0;
        while (c < t->num_cols &&
               name.compare(QString::fromUtf8(columnAt(t, c)->name), Qt::CaseInsensitive) != 0)
            ++c;
        if (c == t->num_cols)
            return setError(error, u"来源档案的数据表 %1 缺少字段 %2 !!"_s.arg(table, name));
        wanted.push_back(columnAt(t, c));
        numbers.push_back(int(c) + 1);
    }
    std::vector<std::vector<char>> buffers(wanted.size());
    std::vector<int> lengths(wanted.size(), 0);
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (!needsBinding(wanted[i]->col_type))
            continue;
        buffers[i].resize(BindSize);
        mdb_bind_column(t, numbers[i], buffers[i].data(), &lengths[i]);
    }
    std::vector<MdbField> fields(t->num_cols);
    mdb_rewind_table(t);
    QVariantList values(qsizetype(wanted.size()));
    qint64 read = 0;
    bool stopped = false;
    bool unreadable = false;
    while (!stopped && !unreadable && mdb_fetch_row(t)) {
        ++read;
        // libmdb binds an empty text and a null alike; the row's null flags tell them apart.
        int start = 0;
        size_t length = 0;
        const bool cracked = mdb_find_row(mdb, int(t->cur_row) - 1, &start, &length) == 0 &&
                             mdb_crack_row(t, start, length, fields.data()) > 0;
        // Fixed cells first: reading an OLE field moves libmdb off the row's page.
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i]->col_type == MDB_OLE)
                continue;
            const bool isNull = cracked && fields[size_t(numbers[i] - 1)].is_null;
            values[qsizetype(i)] = isNull && wanted[i]->col_type != MDB_BOOL
                                       ? QVariant()
                                       : fixedValue(mdb, wanted[i], buffers[i].data(), lengths[i]);
        }
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i]->col_type == MDB_OLE)
                values[qsizetype(i)] = oleValue(mdb, wanted[i], lengths[i], &unreadable);
        }
        if (!unreadable)
            stopped = !row(values);
    }
    const QString complaint = diagnostics.firstComplaint();
    if (!complaint.isEmpty())
        return setError(error, damagedSourceText(complaint));
    if (unreadable)
        return setError(error, damagedSourceText(u"%1: a picture cannot be read"_s.arg(table)));
    // Rows on pages that cannot be read are passed over in silence: the count tells.
    if (!stopped && read != qint64(t->num_rows))
        return setError(
            error, damagedSourceText(u"%1: %2 of %3 rows readable"_s.arg(table).arg(read).arg(t->num_rows)));
    return true;
}

bool JetSource::appendTo(QSqlDatabase target, const QString &table, const QList<ColumnDef> &columns,
                         CopyProgress &progress, QString *error) {
    QStringList names;
    for (const ColumnDef &c : columns)
        names << QString::fromLatin1(c.name);
    RowInserter inserter(target, table, names);
    if (!inserter.error().isEmpty())
        return setError(error, inserter.error());
    const ReadingsCheck readings(table, names);
    QString rowError;
    bool breached = false;
    qint64 pending = 0;
    QVariantList converted(columns.size());
    const bool read = readRows(
        table, names,
        [&](const QVariantList &values) {
            rowError = readings.breach(values);
            breached = !rowError.isEmpty();
            if (breached)
                return false;
            for (qsizetype i = 0; i < values.size(); ++i)
                converted[i] = registerValue(columns[i].type, values[i]);
            if (!inserter.insert(converted)) {
                rowError = inserter.error();
                return false;
            }
            if (++pending == 200) {
                progress.advance(pending);
                pending = 0;
            }
            return true;
        },
        error);
    progress.advance(pending);
    m_refusedRows = !read || breached;
    if (read && !rowError.isEmpty())
        return setError(error, rowError);
    return read;
}

} // namespace orlu
