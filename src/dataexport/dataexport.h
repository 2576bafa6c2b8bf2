#pragma once

#include "dataexport/exportrow.h"
#include "records/measurementcursor.h"
#include "dataexport/pseudonymiser.h"

#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace orlu {
class RecordStore;
}

// The open export of the register's measurements for statistics: rows stream from a
// forward-only query through the analysis to the output, so memory stays flat for
// registers of any size.
namespace orlu {

struct ExportRequest {
    ExportFormat format = ExportFormat::Csv;
    MeasurementFilter filter;
    std::optional<Pseudonymiser> pseudonymiser; // set: pseudonyms, no memo
};

// Told about progress every few hundred rows; answering false cancels the export.
class ExportObserver {
public:
    virtual ~ExportObserver() = default;
    virtual bool exportProgress(qint64 written, qint64 total) = 0;
};

struct ExportOutcome {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Done;
    qint64 rows = 0;
    QString error;
    bool ok() const { return status == Status::Done; }
};

// What an export writes before, for and after the selected measurements. appendRows is
// called on several threads at once, each with its own run of consecutive rows.
class ExportWriter {
public:
    virtual ~ExportWriter() = default;
    virtual QByteArray header() const = 0;
    // `previousSubject` is the subject number of the row before rows.front(); empty for the first row.
    virtual void appendRows(QByteArray &out, const std::vector<SubjectMeasurement> &rows,
                            const QString &previousSubject) const = 0;
    virtual QByteArray footer() const { return {}; }
};

// Streams every measurement the filter selects through the writer to an open device.
ExportOutcome streamMeasurements(const RecordStore &records, const MeasurementFilter &filter,
                                 const ExportWriter &writer, QIODevice &out,
                                 ExportObserver *observer = nullptr);
// The same to a file, by the rules of exportMeasurementsToFile.
ExportOutcome streamMeasurementsToFile(const RecordStore &records, const MeasurementFilter &filter,
                                       const ExportWriter &writer, const QString &path,
                                       ExportObserver *observer = nullptr);

// Writes the header and every selected measurement to an open device.
ExportOutcome exportMeasurements(const RecordStore &records, const ExportRequest &request, QIODevice &out,
                                 ExportObserver *observer = nullptr);

// Writes to a file by writeOutputFile's rules ("-" standard output; a FIFO or a device
// in place). A regular file (new or replaced, mode 0600) appears only when the export
// is complete; a cancelled or failed export leaves no file and an existing one unchanged.
ExportOutcome exportMeasurementsToFile(const RecordStore &records, const ExportRequest &request,
                                       const QString &path, ExportObserver *observer = nullptr);

// The format a file name asks for: ".jsonl" / ".json" JSON lines, anything else CSV.
ExportFormat exportFormatOfFileName(const QString &path);

} // namespace orlu
