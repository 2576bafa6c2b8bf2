// Export and import of a large register through the transfer operations, each beside the
// same copy done with plain ATTACH + INSERT ... SELECT through the sqlite3 library on the
// same files, and the Access reader's speed on the largest table of a sample file.
// Then the measurements of an Access file against the same rows from one of our own files:
// the Jet 4 sample written by another Access library (its readings beyond the readings rule
// set to 0.5, so it may come in) is taken in until 200,000 measurements have arrived, and
// those rows are then taken in again from the SQLite file they landed in.
// Options: --subjects N --measurements M (default 100000 and 1000000)
#include "core/clock.h"
#include "core/readingsrule.h"
#include "storage/database.h"
#include "transfer/jetsource.h"
#include "transfer/sqlitesource.h"
#include "generator/registergenerator.h"
#include "storage/schema.h"
#include "transfer/transfercolumns.h"
#include "transfer/transferoperations.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <functional>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

qint64 timed(const std::function<bool()> &work, bool *ok = nullptr) {
    QElapsedTimer t;
    t.start();
    const bool done = work();
    if (ok)
        *ok = done;
    if (!done)
        std::fprintf(stderr, "a step failed\n");
    return t.elapsed();
}

void print(const char *name, double value, const char *unit) {
    std::printf("%s: %.1f %s\n", name, value, unit);
}

void printPair(const char *name, qint64 ms, qint64 baselineMs) {
    std::printf("%s_ms: %lld ms\n%s_baseline_ms: %lld ms\n%s_ratio: %.2f\n", name, ms, name, baselineMs, name,
                baselineMs > 0 ? double(ms) / double(baselineMs) : 0.0);
}

bool exec(sqlite3 *db, const QString &sql) {
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(sql.left(80)), message);
    sqlite3_free(message);
    return false;
}

QString columnList(const QString &table) {
    QStringList names;
    for (const ColumnDef &c : copiedColumns(table))
        names << QString::fromLatin1(c.name);
    return names.join(u", "_s);
}

// The plain copy: ATTACH `other`, then INSERT ... SELECT every register table in one transaction.
bool plainCopy(const QString &mainFile, const QString &other, bool intoOther, bool deleteFirst) {
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(mainFile).constData(), &db) != SQLITE_OK)
        return false;
    bool ok = exec(db, u"PRAGMA journal_mode=WAL"_s) && exec(db, u"PRAGMA synchronous=FULL"_s) &&
              exec(db, u"ATTACH DATABASE '%1' AS other"_s.arg(other)) && exec(db, u"BEGIN"_s);
    const QString from = intoOther ? u"main"_s : u"other"_s;
    const QString to = intoOther ? u"other"_s : u"main"_s;
    for (const QString &t : CourseTables + RecordTables) {
        if (ok && deleteFirst)
            ok = exec(db, u"DELETE FROM %1.%2"_s.arg(to, t));
        if (ok)
            ok = exec(db, u"INSERT INTO %1.%2 (%3) SELECT %3 FROM %4.%2"_s.arg(to, t, columnList(t), from));
    }
    ok = ok && exec(db, u"COMMIT"_s);
    sqlite3_close(db);
    return ok;
}

// The Access sample with every reading beyond the rule replaced by 0.5 in the file's own
// bytes; empty when that cannot be done.
QString accessSampleWithinTheRule(const QString &dir, const Clock &clock) {
    const QString sample = QStringLiteral(ORLU_SOURCE_DIR) + u"/tests/transfer/data/normal-v2000.mdb"_s;
    QFile in(sample);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = in.readAll();
    auto jet = JetSource::open(sample, clock, nullptr);
    if (!jet)
        return {};
    QList<double> beyond;
    QStringList readings;
    for (int c = 1; c <= 24; ++c)
        readings << u"KY%1"_s.arg(c);
    jet->readRows(u"KYDATA"_s, readings, [&](const QVariantList &values) {
        for (const QVariant &v : values) {
            if (!v.isNull() && !isValidReading(v.toDouble()) && !beyond.contains(v.toDouble()))
                beyond << v.toDouble();
        }
        return true;
    });
    const double half = 0.5;
    for (double v : beyond)
        bytes.replace(QByteArray(reinterpret_cast<const char *>(&v), 8),
                      QByteArray(reinterpret_cast<const char *>(&half), 8));
    const QString path = QDir(dir).filePath(u"within.mdb"_s);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return {};
    return path;
}

bool fresh(const QString &templateFile, const QString &path) {
    QFile::remove(path);
    return QFile::copy(templateFile, path) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    RegisterSize size{100000, 1000000};
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--subjects"_s)
            size.subjects = args[i + 1].toInt();
        else if (args[i] == u"--measurements"_s)
            size.measurements = args[i + 1].toInt();
    }
    QTemporaryDir dir;
    const ProgramFolder source(dir.filePath(u"source"_s));
    const ProgramFolder target(dir.filePath(u"target"_s));
    const QString outside = dir.filePath(u"outside"_s);
    const QString baseline = dir.filePath(u"baseline"_s);
    for (const QString &d : {source.path(), target.path(), outside, baseline})
        QDir().mkpath(d);
    const QString templateFile = source.file(u"KySpa.mdb"_s);
    QString error;
    if (!createDatabaseFile(templateFile, SchemaKind::Main, &error) ||
        !QFile::copy(templateFile, target.file(u"KySpa.mdb"_s)) ||
        !fresh(templateFile, source.file(u"orlu4.mdb"_s))) {
        std::fprintf(stderr, "cannot set up: %s\n", qPrintable(error));
        return 1;
    }
    SystemClock clock;
    FileCopier copier;
    {
        Database db;
        db.open(source.file(u"orlu4.mdb"_s), Database::Access::Shared);
        if (!generateRegister(db.handle(), size, 1, &error)) {
            std::fprintf(stderr, "cannot fill the register: %s\n", qPrintable(error));
            return 1;
        }
    }
    std::printf("subjects: %d\nmeasurements: %d\n", size.subjects, size.measurements);

    // Export, then the same rows copied into a template copy beside it.
    qint64 exportMs = 0;
    {
        Database main;
        main.open(source.file(u"orlu4.mdb"_s), Database::Access::Shared);
        TransferOperations operations(main, source, clock, copier);
        exportMs = timed([&] { return operations.exportTo(outside, {true, true}).ok; });
    }
    const QString plainTransfer = QDir(baseline).filePath(u"KyTran.mdb"_s);
    const qint64 exportBaselineMs = timed([&] {
        return fresh(templateFile, plainTransfer) &&
               plainCopy(source.file(u"orlu4.mdb"_s), plainTransfer, true, false);
    });
    printPair("export", exportMs, exportBaselineMs);

    // Import into an empty register, appending, then replacing what it now holds.
    const QString transfer = QDir(outside).filePath(u"KyTran.mdb"_s);
    const QString plainMain = QDir(baseline).filePath(u"orlu4.mdb"_s);
    fresh(templateFile, target.file(u"orlu4.mdb"_s));
    fresh(templateFile, plainMain);
    Database main;
    main.open(target.file(u"orlu4.mdb"_s), Database::Access::Shared);
    TransferOperations operations(main, target, clock, copier);
    const qint64 appendMs = timed([&] {
        return operations.importFrom(transfer, {true, true}, ImportMode::Append).ok;
    });
    const qint64 appendBaselineMs = timed([&] { return plainCopy(plainMain, transfer, false, false); });
    printPair("import_append", appendMs, appendBaselineMs);

    const qint64 replaceMs = timed([&] {
        return operations.importFrom(transfer, {true, true}, ImportMode::Replace).ok;
    });
    const qint64 replaceBaselineMs = timed([&] { return plainCopy(plainMain, transfer, false, true); });
    printPair("import_replace", replaceMs, replaceBaselineMs);

    // The Access reader on the largest table of the Jet 3 sample.
    const QString sample = QStringLiteral(ORLU_SOURCE_DIR) + u"/tests/transfer/data/nwind.mdb"_s;
    auto jet = JetSource::open(sample, clock, &error, "CP1252");
    if (!jet) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(sample), qPrintable(error));
        return 1;
    }
    QString largest;
    for (const QString &t : jet->tables()) {
        if (largest.isEmpty() || jet->rowCount(t) > jet->rowCount(largest))
            largest = t;
    }
    qint64 rows = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1000) {
        jet->readRows(largest, jet->columns(largest), [&](const QVariantList &) {
            ++rows;
            return true;
        });
    }
    print("jet_rows_per_s", double(rows) * 1000.0 / double(t.elapsed()), "rows/s");

    // 200,000 measurements from the Access file, then the same rows from our own file.
    const QString within = accessSampleWithinTheRule(dir.path(), clock);
    auto access = within.isEmpty() ? nullptr : JetSource::open(within, clock, &error);
    if (!access) {
        std::fprintf(stderr, "cannot prepare the Access sample: %s\n", qPrintable(error));
        return 1;
    }
    const QList<ColumnDef> columns = columnsToCopy(u"KYDATA"_s, access->columns(u"KYDATA"_s));
    const QString fromAccess = dir.filePath(u"from-access.mdb"_s);
    const QString fromOwn = dir.filePath(u"from-own.mdb"_s);
    fresh(templateFile, fromAccess);
    fresh(templateFile, fromOwn);
    qint64 arrived = 0;
    // The machine may be shared: the processor time of each side is told beside the clock's.
    const std::clock_t accessStart = std::clock();
    const qint64 accessMs = timed([&] {
        Database db;
        if (!db.open(fromAccess, Database::Access::Shared))
            return false;
        Transaction tx(db.handle());
        while (arrived < 200000) {
            CopyProgress progress(nullptr, access->rowCount(u"KYDATA"_s));
            if (!access->appendTo(db.handle(), u"KYDATA"_s, columns, progress, &error))
                return false;
            arrived += access->rowCount(u"KYDATA"_s);
        }
        return tx.commit();
    });
    const std::clock_t ownStart = std::clock();
    const qint64 accessCpuMs = qint64((ownStart - accessStart) * 1000 / CLOCKS_PER_SEC);
    const qint64 ownMs = timed([&] {
        auto own = SqliteSource::open(fromAccess, &error);
        Database db;
        if (!own || !db.open(fromOwn, Database::Access::Shared) || !own->connect(db.handle(), &error))
            return false;
        bool ok = false;
        {
            Transaction tx(db.handle());
            CopyProgress progress(nullptr, arrived);
            ok = own->appendTo(db.handle(), u"KYDATA"_s, columns, progress, &error) && tx.commit();
        }
        own->disconnect(db.handle());
        return ok;
    });
    if (!error.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(error));
    std::printf("access_measurements: %lld\n", arrived);
    const qint64 ownCpuMs = qint64((std::clock() - ownStart) * 1000 / CLOCKS_PER_SEC);
    printPair("access_import", accessMs, ownMs);
    printPair("access_import_cpu", accessCpuMs, ownCpuMs);
    return 0;
}
