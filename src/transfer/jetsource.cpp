#include "transfer/jetsource.h"

// mdbtools.h wraps glib in extern "C"; glib's C++ parts must come first.
#include <glib.h>
#include <mdbtools.h>

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdlib>
#include <vector>

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

struct TableReader {
    MdbTableDef *table = nullptr;
    ~TableReader() {
        if (table)
            mdb_free_tabledef(table);
    }
};

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
        return col->cur_value_len ? QVariant(QString::fromUtf8(bound, boundLength)) : QVariant();
    default:
        return col->cur_value_len ? QVariant(QByteArray(bound, boundLength)) : QVariant();
    }
}

QVariant oleValue(MdbHandle *mdb, MdbColumn *col, int boundLength) {
    if (boundLength == 0)
        return QVariant();
    size_t size = 0;
    void *bytes = mdb_ole_read_full(mdb, col, &size);
    if (!bytes)
        return QVariant();
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
        return v.toBool() ? 1 : 0;
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
    mdb_set_bind_size(mdb, BindSize);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        setError(error, u"来源档案的目录无法读取 !!"_s);
        return nullptr;
    }
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        TableReader reader{mdb_read_table(entry)};
        if (!reader.table || !mdb_read_columns(reader.table))
            continue;
        const QString name = QString::fromUtf8(entry->object_name);
        QStringList names;
        for (unsigned c = 0; c < reader.table->num_cols; ++c)
            names << QString::fromUtf8(columnAt(reader.table, c)->name);
        source->m_tables << name;
        source->m_columns.insert(name.toUpper(), names);
        source->m_rows.insert(name.toUpper(), reader.table->num_rows);
    }
    return source;
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
    TableReader reader{entry ? mdb_read_table(entry) : nullptr};
    if (!reader.table || !mdb_read_columns(reader.table))
        return setError(error, u"来源档案的数据表 %1 无法读取 !!"_s.arg(table));
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
    mdb_rewind_table(t);
    QVariantList values(qsizetype(wanted.size()));
    while (mdb_fetch_row(t)) {
        // Fixed cells first: reading an OLE field moves libmdb off the row's page.
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i]->col_type != MDB_OLE)
                values[qsizetype(i)] = fixedValue(mdb, wanted[i], buffers[i].data(), lengths[i]);
        }
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i]->col_type == MDB_OLE)
                values[qsizetype(i)] = oleValue(mdb, wanted[i], lengths[i]);
        }
        if (!row(values))
            break;
    }
    return true;
}

bool JetSource::appendTo(QSqlDatabase target, const QString &table, const QList<ColumnDef> &columns,
                         CopyProgress &progress, QString *error) {
    QStringList names;
    QStringList marks;
    for (const ColumnDef &c : columns) {
        names << QString::fromLatin1(c.name);
        marks << u"?"_s;
    }
    QSqlQuery insert(target);
    if (!insert.prepare(
            u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, names.join(u", "_s), marks.join(u", "_s))))
        return setError(error, insert.lastError().text());
    QString insertError;
    qint64 pending = 0;
    const bool read = readRows(
        table, names,
        [&](const QVariantList &values) {
            for (qsizetype i = 0; i < values.size(); ++i)
                insert.bindValue(int(i), registerValue(columns[i].type, values[i]));
            if (!insert.exec()) {
                insertError = insert.lastError().text();
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
    if (!insertError.isEmpty())
        return setError(error, u"%1: %2"_s.arg(table, insertError));
    return read;
}

} // namespace orlu
