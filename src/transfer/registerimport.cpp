#include "transfer/registerimport.h"

#include "storage/database.h"
#include "storage/sqlcopy.h"
#include "storage/sqldialect.h"
#include "transfer/transfercolumns.h"
#include "storage/siderows.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct Kind {
    QString name;
    QStringList tables;
};

RegisterImportResult failed(const QString &error) {
    RegisterImportResult r;
    r.error = error;
    r.sqliteCode = sqliteCodeOf(error);
    return r;
}

} // namespace

void TransferCounts::add(const QString &table, qint64 rows) {
    if (table == u"KYPRO"_s)
        courses += rows;
    else if (table == u"KYCUST"_s)
        subjects += rows;
    else if (table == u"KYDATA"_s)
        measurements += rows;
}

RegisterImportResult importRegister(QSqlDatabase main, SourceFile &source, TransferKinds kinds,
                                    ImportMode mode, TransferObserver *observer) {
    QList<Kind> chosen;
    if (kinds.courses)
        chosen.append({u"专家疗程"_s, CourseTables});
    if (kinds.records)
        chosen.append({u"病历检测"_s, RecordTables});

    RegisterImportResult result;
    QList<Kind> copied;
    qint64 total = 0;
    for (const Kind &k : chosen) {
        if (source.rowCount(k.tables.first()) == 0) {
            result.emptyKinds << k.name;
            continue;
        }
        copied.append(k);
        for (const QString &t : k.tables)
            total += source.rowCount(t);
    }
    CopyProgress progress(observer, total);

    QString error;
    if (!source.connect(main, &error))
        return failed(error);
    const bool server = SqlDialect::of(main).isServer();
    bool ok = true;
    {
        Transaction tx(main);
        ok = tx.isActive();
        if (!ok)
            error = main.lastError().text();
        for (const Kind &k : copied) {
            const bool records = k.tables == RecordTables;
            // New measurements get keys above every key the register ever gave.
            const qint64 keysAbove = records ? highestMeasurementKey(main) : 0;
            if (ok && records && mode == ImportMode::Replace)
                ok = deleteAllSideRows(main, &error);
            for (qsizetype i = k.tables.size() - 1; ok && mode == ImportMode::Replace && i >= 0; --i) {
                QSqlQuery del(main);
                // On a file the source is attached beside the register's own tables.
                ok = del.exec((server ? u"DELETE FROM %1"_s : u"DELETE FROM main.%1"_s).arg(k.tables[i]));
                if (!ok)
                    error = sqlErrorText(del);
            }
            for (const QString &t : k.tables) {
                if (ok) {
                    const qint64 before = progress.rowsDone();
                    ok = source.appendTo(main, t, columnsToCopy(t, source.columns(t)), progress, &error);
                    result.sourceRefused = !ok && source.refusedItsRows();
                    result.counts.add(t, progress.rowsDone() - before);
                }
            }
            if (ok && records)
                ok = source.appendSideRowsTo(main, keysAbove, &error);
        }
        if (ok) {
            ok = tx.commit();
            if (!ok)
                error = main.lastError().databaseText() + u" ("_s + main.lastError().nativeErrorCode() + u')';
        }
    }
    source.disconnect(main);
    if (!ok) {
        RegisterImportResult refused = failed(error);
        refused.sourceRefused = result.sourceRefused;
        return refused;
    }
    progress.finish();
    result.ok = true;
    return result;
}

} // namespace orlu
