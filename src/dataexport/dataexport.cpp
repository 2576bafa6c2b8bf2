#include "dataexport/dataexport.h"

#include "platform/outputfile.h"
#include "records/recordstore.h"

#include <QFileInfo>
#include <QIODevice>

#include <deque>
#include <future>
#include <memory>
#include <vector>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 ProgressEvery = 500;
constexpr std::size_t BatchRows = 1000;
// Enough to keep both processors busy, few enough to keep memory flat.
constexpr std::size_t BatchesInFlight = 4;

bool writeAll(QIODevice &out, QByteArray &buffer, ExportOutcome &outcome) {
    if (out.write(buffer) != buffer.size()) {
        outcome.status = ExportOutcome::Status::Failed;
        outcome.error = out.errorString();
        return false;
    }
    return true;
}

// CSV or JSON lines: a header row (CSV) and a row per measurement.
class TableWriter : public ExportWriter {
public:
    explicit TableWriter(const ExportRequest &request)
        : m_format(request.format)
        , m_pseudonymiser(request.pseudonymiser ? &*request.pseudonymiser : nullptr) {}
    QByteArray header() const override { return exportHeader(m_format, !m_pseudonymiser); }
    void appendRows(QByteArray &out, const std::vector<SubjectMeasurement> &rows,
                    const QString &) const override {
        out.reserve(static_cast<qsizetype>(rows.size()) * 700);
        for (const SubjectMeasurement &row : rows)
            appendExportRecord(out, m_format, exportRecordOf(row, m_pseudonymiser));
    }

private:
    ExportFormat m_format;
    const Pseudonymiser *m_pseudonymiser;
};

} // namespace

ExportOutcome streamMeasurements(const RecordStore &records, const MeasurementFilter &filter,
                                 const ExportWriter &writer, QIODevice &out, ExportObserver *observer) {
    ExportOutcome outcome;
    auto fail = [&](const QString &error) {
        outcome.status = ExportOutcome::Status::Failed;
        outcome.error = error;
        return outcome;
    };
    QString error;
    qint64 total = 0;
    if (observer) {
        const auto counted = records.measurementCount(filter, &error);
        if (!counted)
            return fail(error);
        total = *counted;
        if (!observer->exportProgress(0, total)) {
            outcome.status = ExportOutcome::Status::Cancelled;
            return outcome;
        }
    }
    const std::unique_ptr<MeasurementCursor> reading = records.measurementCursor(filter);
    MeasurementCursor &cursor = *reading;
    if (!cursor.start(&error))
        return fail(error);

    QByteArray header = writer.header();
    if (!writeAll(out, header, outcome))
        return outcome;
    // The analysis and the text of a row cost four times its reading: batches are
    // analysed and written out on other threads while this one reads on (SQLite and the
    // observer stay here), and they are written in the order they were read.
    std::deque<std::future<QByteArray>> pending;
    // Written chunks are filled again: megabytes of fresh memory a batch, faulted in and
    // handed back to the system, cost the kernel more than writing the file does.
    std::vector<QByteArray> spare;
    auto writeOldest = [&] {
        QByteArray chunk = pending.front().get();
        pending.pop_front();
        if (!writeAll(out, chunk, outcome))
            return false;
        chunk.resize(0); // keeps the capacity
        spare.push_back(std::move(chunk));
        return true;
    };
    auto batch = std::make_shared<std::vector<SubjectMeasurement>>();
    QString previousSubject;
    auto sendBatch = [&] {
        const QString lastSubject = batch->back().subject.number;
        QByteArray chunk;
        if (!spare.empty()) {
            chunk = std::move(spare.back());
            spare.pop_back();
        }
        pending.push_back(std::async(std::launch::async, [rows = std::move(batch), &writer, previousSubject,
                                                          chunk = std::move(chunk)]() mutable {
            writer.appendRows(chunk, *rows, previousSubject);
            return std::move(chunk);
        }));
        previousSubject = lastSubject;
        batch = std::make_shared<std::vector<SubjectMeasurement>>();
        batch->reserve(BatchRows);
    };
    batch->reserve(BatchRows);
    SubjectMeasurement row;
    while (cursor.next(row)) {
        batch->push_back(row);
        ++outcome.rows;
        if (batch->size() == BatchRows) {
            sendBatch();
            if (pending.size() > BatchesInFlight && !writeOldest())
                return outcome;
        }
        if (observer && outcome.rows % ProgressEvery == 0 && !observer->exportProgress(outcome.rows, total)) {
            outcome.status = ExportOutcome::Status::Cancelled;
            return outcome;
        }
    }
    if (const QString readError = cursor.error(); !readError.isEmpty())
        return fail(readError);
    if (!batch->empty())
        sendBatch();
    while (!pending.empty()) {
        if (!writeOldest())
            return outcome;
    }
    QByteArray footer = writer.footer();
    if (!writeAll(out, footer, outcome))
        return outcome;
    if (observer)
        observer->exportProgress(outcome.rows, total);
    return outcome;
}

ExportOutcome streamMeasurementsToFile(const RecordStore &records, const MeasurementFilter &filter,
                                       const ExportWriter &writer, const QString &path,
                                       ExportObserver *observer) {
    OutputFile file(path, OutputFile::Volume::Bulk);
    QString error;
    if (!file.open(&error))
        return {ExportOutcome::Status::Failed, 0, error};
    ExportOutcome outcome = streamMeasurements(records, filter, writer, file.device(), observer);
    if (!outcome.ok()) {
        file.cancel();
        return outcome;
    }
    if (!file.commit(&error))
        return {ExportOutcome::Status::Failed, outcome.rows, error};
    return outcome;
}

ExportOutcome exportMeasurements(const RecordStore &records, const ExportRequest &request, QIODevice &out,
                                 ExportObserver *observer) {
    return streamMeasurements(records, request.filter, TableWriter(request), out, observer);
}

ExportOutcome exportMeasurementsToFile(const RecordStore &records, const ExportRequest &request,
                                       const QString &path, ExportObserver *observer) {
    return streamMeasurementsToFile(records, request.filter, TableWriter(request), path, observer);
}

ExportFormat exportFormatOfFileName(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"jsonl"_s || suffix == u"json"_s ? ExportFormat::JsonLines : ExportFormat::Csv;
}

} // namespace orlu
