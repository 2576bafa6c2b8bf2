#include "records/dataexport.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ProgressEvery = 500;
constexpr qsizetype FlushBytes = 1 << 16;

bool writeAll(QIODevice &out, QByteArray &buffer, ExportOutcome &outcome) {
    if (out.write(buffer) != buffer.size()) {
        outcome.status = ExportOutcome::Status::Failed;
        outcome.error = out.errorString();
        return false;
    }
    buffer.resize(0); // keeps its capacity for the next rows
    return true;
}

} // namespace

ExportOutcome exportMeasurements(QSqlDatabase db, const ExportRequest &request, QIODevice &out,
                                 ExportObserver *observer) {
    ExportOutcome outcome;
    auto fail = [&](const QString &error) {
        outcome.status = ExportOutcome::Status::Failed;
        outcome.error = error;
        return outcome;
    };
    QString error;
    qint64 total = 0;
    if (observer) {
        const auto counted = MeasurementCursor::count(db, request.filter, &error);
        if (!counted)
            return fail(error);
        total = *counted;
        if (!observer->exportProgress(0, total)) {
            outcome.status = ExportOutcome::Status::Cancelled;
            return outcome;
        }
    }
    MeasurementCursor cursor(db, request.filter);
    if (!cursor.start(&error))
        return fail(error);

    const Pseudonymiser *pseudonymiser = request.pseudonymiser ? &*request.pseudonymiser : nullptr;
    QByteArray buffer = exportHeader(request.format, !pseudonymiser);
    buffer.reserve(FlushBytes + 4096);
    SubjectMeasurement row;
    while (cursor.next(row)) {
        appendExportRecord(buffer, request.format, exportRecordOf(row, pseudonymiser));
        ++outcome.rows;
        if (buffer.size() >= FlushBytes && !writeAll(out, buffer, outcome))
            return outcome;
        if (observer && outcome.rows % ProgressEvery == 0 && !observer->exportProgress(outcome.rows, total)) {
            outcome.status = ExportOutcome::Status::Cancelled;
            return outcome;
        }
    }
    if (const QString readError = cursor.error(); !readError.isEmpty())
        return fail(readError);
    if (!writeAll(out, buffer, outcome))
        return outcome;
    if (observer)
        observer->exportProgress(outcome.rows, total);
    return outcome;
}

ExportOutcome exportMeasurementsToFile(QSqlDatabase db, const ExportRequest &request, const QString &path,
                                       ExportObserver *observer) {
    const QFileInfo info(path);
    // Renaming a finished file over a FIFO or a device would replace it with a plain file.
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {ExportOutcome::Status::Failed, 0, file.errorString()};
        ExportOutcome outcome = exportMeasurements(db, request, file, observer);
        if (outcome.ok() && !file.flush())
            outcome = {ExportOutcome::Status::Failed, outcome.rows, file.errorString()};
        return outcome;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {ExportOutcome::Status::Failed, 0, file.errorString()};
    ExportOutcome outcome = exportMeasurements(db, request, file, observer);
    if (!outcome.ok()) {
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit())
        return {ExportOutcome::Status::Failed, outcome.rows, file.errorString()};
    return outcome;
}

ExportFormat exportFormatOfFileName(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"jsonl"_s || suffix == u"json"_s ? ExportFormat::JsonLines : ExportFormat::Csv;
}

} // namespace orlu
