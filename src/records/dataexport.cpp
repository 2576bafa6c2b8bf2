#include "records/dataexport.h"

#include "core/outputfile.h"

#include <QFileInfo>
#include <QIODevice>

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
    // Exports hold personal data: a new or replaced file is the owner's only.
    OutputFile file(path, true);
    QString error;
    if (!file.open(&error))
        return {ExportOutcome::Status::Failed, 0, error};
    ExportOutcome outcome = exportMeasurements(db, request, file.device(), observer);
    if (!outcome.ok()) {
        file.cancel();
        return outcome;
    }
    if (!file.commit(&error))
        return {ExportOutcome::Status::Failed, outcome.rows, error};
    return outcome;
}

ExportFormat exportFormatOfFileName(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"jsonl"_s || suffix == u"json"_s ? ExportFormat::JsonLines : ExportFormat::Csv;
}

} // namespace orlu
