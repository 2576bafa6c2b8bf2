#include "transfer/jetsource.h"

#include "storage/rowinserter.h"
#include "transfer/jetreaderrun.h"
#include "transfer/readingscheck.h"
#include "transfer/transfercolumns.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orlu {

using namespace Qt::StringLiterals;
using jetwire::ColumnKind;
using jetwire::Frame;
using jetwire::RefusalReason;

namespace {

// Bounds on what a catalog may list, beyond any register file: a reader gone wrong
// cannot make this program hold without end.
constexpr qsizetype MaxTables = 4096;
constexpr qint64 MaxColumns = 255;

bool setError(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

bool isNumber(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Byte:
    case ColumnKind::Int16:
    case ColumnKind::Int32:
    case ColumnKind::Single:
    case ColumnKind::Double:
    case ColumnKind::Money:
    case ColumnKind::Numeric:
        return true;
    default:
        return false;
    }
}

// Whether a cell of kind `kind` may be copied into the register column `column`.
bool fitsKind(const ColumnDef &column, ColumnKind kind) {
    // The carried key of older installations is only ever copied as text, whatever it held.
    if (qstrcmp(column.name, "AutoKey") == 0)
        return kind == ColumnKind::Text || kind == ColumnKind::Memo || isNumber(kind);
    switch (column.type) {
    case ColumnDef::Text:
        return kind == ColumnKind::Text;
    case ColumnDef::Memo:
        return kind == ColumnKind::Text || kind == ColumnKind::Memo;
    case ColumnDef::Boolean:
        return kind == ColumnKind::Flag;
    case ColumnDef::Integer:
    case ColumnDef::Float:
        return isNumber(kind);
    case ColumnDef::DateTime:
        return kind == ColumnKind::DateTime;
    case ColumnDef::Blob:
        return kind == ColumnKind::Ole || kind == ColumnKind::Binary;
    case ColumnDef::AutoKey:
        break;
    }
    return true;
}

bool isInteger(const QVariant &v) {
    return v.typeId() == QMetaType::LongLong;
}

bool isText(const QVariant &v) {
    return v.typeId() == QMetaType::QString;
}

// The operator's message for a refusal the reader sent; empty when the frame is not one.
QString refusalText(const JetFrame &frame) {
    if (frame.values.size() != 2 || !isInteger(frame.values[0]) || !isText(frame.values[1]))
        return {};
    const QString detail = frame.values[1].toString();
    switch (RefusalReason(frame.values[0].toLongLong())) {
    case RefusalReason::NotADatabase:
        return u"来源档案不是可读取的数据库 !!"_s;
    case RefusalReason::NewerFormat:
        return u"来源档案是 Access 2007 以后的格式 (.accdb)，无法读取，请以 .mdb 格式另存后再汇入 !!"_s;
    case RefusalReason::Damaged:
        return damagedSourceText(detail);
    case RefusalReason::MissingColumn:
        return {};
    }
    return {};
}

QString missingColumnText(const QString &table, const QString &column) {
    return u"来源档案的数据表 %1 缺少字段 %2 !!"_s.arg(table, column);
}

bool malformed(const QString &what, QString *error) {
    return setError(error, damagedSourceText(u"the Access reader's answer is malformed (%1)"_s.arg(what)));
}

bool refused(const JetFrame &frame, QString *error) {
    const QString text = refusalText(frame);
    return text.isEmpty() ? malformed(u"refusal"_s, error) : setError(error, text);
}

// A table frame of the catalog taken in; false when its values are not a table's.
bool takeTable(const QVariantList &v, JetCatalog *catalog) {
    if (v.size() < 3 || !isText(v[0]) || !isInteger(v[1]) || !isInteger(v[2]) || v[1].toLongLong() < 0 ||
        v[2].toLongLong() < 0 || v[2].toLongLong() > MaxColumns || v.size() != 3 + 2 * v[2].toLongLong() ||
        catalog->tables.size() >= MaxTables)
        return false;
    const QString name = v[0].toString();
    QStringList names;
    QHash<QString, ColumnKind> kinds;
    for (qsizetype c = 3; c < v.size(); c += 2) {
        const qint64 kind = v[c + 1].toLongLong();
        if (!isText(v[c]) || !isInteger(v[c + 1]) || kind < 1 || kind > jetwire::LastColumnKind)
            return false;
        names << v[c].toString();
        kinds.insert(names.last().toUpper(), ColumnKind(kind));
    }
    catalog->tables << name;
    catalog->columns.insert(name.toUpper(), names);
    catalog->kinds.insert(name.toUpper(), kinds);
    catalog->rows.insert(name.toUpper(), v[1].toLongLong());
    return true;
}

// The message for a run that ended without its answer: a reader that cannot start is this
// installation's fault, anything else the file's.
QString runFailure(const JetReaderRun &run) {
    if (!run.started())
        return u"Access 档案读取程序无法启动，请重新安装系统 !! (%1)"_s.arg(run.fault());
    return damagedSourceText(run.fault());
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

JetSource::JetSource(const Clock &clock, int fd, qint64 size, const char *jet3CodePage)
    : m_clock(clock)
    , m_fd(fd)
    , m_size(size)
    , m_codePage(jet3CodePage) {}

JetSource::~JetSource() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::unique_ptr<JetSource> JetSource::open(const QString &path, const Clock &clock, QString *error,
                                           const char *jet3CodePage) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    struct stat file {};
    if (fd < 0 || ::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        setError(error, u"来源档案不是可读取的数据库 !!"_s);
        return nullptr;
    }
    std::unique_ptr<JetSource> source(new JetSource(clock, fd, file.st_size, jet3CodePage));
    if (!source->startReader(&source->m_catalog, error) || !source->checkColumnKinds(error))
        return nullptr;
    return source;
}

bool JetSource::startReader(JetCatalog *catalog, QString *error) const {
    m_reader = std::make_unique<JetReaderRun>(
        m_fd, m_size, QStringList{u"--code-page"_s, QString::fromLatin1(m_codePage)}, m_clock);
    if (readCatalog(catalog, error))
        return true;
    m_reader.reset();
    return false;
}

bool JetSource::readCatalog(JetCatalog *catalog, QString *error) const {
    JetReaderRun &reader = *m_reader;
    JetFrame frame;
    if (!reader.next(&frame))
        return setError(error, runFailure(reader));
    if (frame.kind == Frame::Refusal)
        return refused(frame, error);
    if (frame.kind != Frame::File || frame.values.size() != 1 || !isInteger(frame.values[0]) ||
        (frame.values[0].toLongLong() != 3 && frame.values[0].toLongLong() != 4))
        return malformed(u"file"_s, error);
    catalog->version = int(frame.values[0].toLongLong());
    while (reader.next(&frame) && frame.kind == Frame::Table) {
        if (!takeTable(frame.values, catalog))
            return malformed(u"table"_s, error);
    }
    if (!reader.fault().isEmpty())
        return setError(error, runFailure(reader));
    if (frame.kind == Frame::Refusal)
        return refused(frame, error);
    if (frame.kind != Frame::End || frame.values.size() != 1 ||
        frame.values[0] != QVariant(qint64(catalog->tables.size())))
        return malformed(u"end of the catalog"_s, error);
    return true;
}

bool JetSource::checkColumnKinds(QString *error) const {
    for (const QString &table : RecordTables + CourseTables) {
        const QHash<QString, ColumnKind> kinds = m_catalog.kinds.value(table);
        for (const ColumnDef &c : copiedColumns(table)) {
            const QString name = QString::fromLatin1(c.name);
            const auto kind = kinds.constFind(name.toUpper());
            if (kind != kinds.cend() && !fitsKind(c, *kind))
                return setError(error, wrongColumnKindText(table, name));
        }
    }
    return true;
}

QStringList JetSource::columns(const QString &table) const {
    return m_catalog.columns.value(table.toUpper());
}

qint64 JetSource::rowCount(const QString &table) const {
    return m_catalog.rows.value(table.toUpper());
}

bool JetSource::readRows(const QString &table, const QStringList &columns, const RowHandler &row,
                         QString *error) const {
    const QHash<QString, ColumnKind> tableKinds = m_catalog.kinds.value(table.toUpper());
    std::vector<ColumnKind> kinds;
    for (const QString &name : columns) {
        const auto kind = tableKinds.constFind(name.toUpper());
        if (kind == tableKinds.cend())
            return setError(error, missingColumnText(table, name));
        kinds.push_back(*kind);
    }
    if (!m_reader) {
        JetCatalog again;
        if (!startReader(&again, error))
            return false;
        if (!(again == m_catalog))
            return setError(error, damagedSourceText(u"the file changed while it was read"_s));
    }
    const qint64 expected = rowCount(table);
    JetFrame frame;
    qint64 received = 0;
    const bool asked = m_reader->request(table, columns);
    while (asked && m_reader->next(&frame) && frame.kind == Frame::Row) {
        QVariantList &values = frame.values;
        if (values.size() != columns.size() || ++received > expected) {
            m_reader.reset();
            return malformed(u"row %1"_s.arg(received), error);
        }
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (!fitsWireKind(values[i], kinds[size_t(i)])) {
                m_reader.reset();
                return malformed(u"row %1, %2"_s.arg(received).arg(columns[i]), error);
            }
            // Small whole numbers as the reader's callers have always had them.
            if (kinds[size_t(i)] == ColumnKind::Byte || kinds[size_t(i)] == ColumnKind::Int16)
                values[i] = values[i].isNull() ? QVariant() : QVariant(int(values[i].toLongLong()));
        }
        if (!row(values)) {
            // The rest of the answer is not wanted: a new reader reads the next table.
            m_reader.reset();
            return true;
        }
    }
    if (!m_reader->fault().isEmpty()) {
        setError(error, runFailure(*m_reader));
        m_reader.reset();
        return false;
    }
    if (frame.kind == Frame::Refusal) {
        if (frame.values.size() == 2 && frame.values[0] == QVariant(qint64(RefusalReason::MissingColumn)))
            return setError(error, missingColumnText(table, frame.values[1].toString()));
        return refused(frame, error);
    }
    if (frame.kind != Frame::End || frame.values.size() != 1 || frame.values[0] != QVariant(received) ||
        received != expected) {
        m_reader.reset();
        return malformed(u"end of %1"_s.arg(table), error);
    }
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
