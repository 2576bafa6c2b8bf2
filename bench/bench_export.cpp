// The open export over a large register: a generated main database of 1,000,000
// measurements (kept and reused with --database) written to CSV, to JSON lines and as
// an HL7 FHIR bundle, rows per second and the time of the whole run, and the memory it
// needed. Options: --subjects N --measurements M --database FILE --out DIR
// --formats csv,jsonl,fhir (default all three)
#include "benchsupport.h"
#include "analysis/analysis.h"
#include "storage/database.h"
#include "dataexport/dataexport.h"
#include "dataexport/fhirexport.h"
#include "records/recordstore.h"
#include "generator/registergenerator.h"
#include "storage/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

struct Options {
    int subjects = 20000;
    int measurements = 1000000;
    QString database;
    QString outDir;
    QStringList formats;
};

Options parse(const QStringList &args) {
    Options o;
    o.subjects = bench::intOption(args, u"--subjects"_s, o.subjects);
    o.measurements = bench::intOption(args, u"--measurements"_s, o.measurements);
    o.database = bench::option(args, u"--database"_s);
    o.outDir = bench::option(args, u"--out"_s);
    const QString formats = bench::option(args, u"--formats"_s);
    o.formats = (formats.isEmpty() ? u"csv,jsonl,fhir"_s : formats).split(u',');
    return o;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void run(const std::function<ExportOutcome(const QString &)> &exportTo, const QString &path,
         const char *name) {
    QElapsedTimer timer;
    const double cpuBefore = cpuSeconds();
    timer.start();
    const ExportOutcome outcome = exportTo(path);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    if (!outcome.ok()) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(outcome.error));
        return;
    }
    std::printf("%s_rows: %lld rows\n", name, static_cast<long long>(outcome.rows));
    std::printf("%s_seconds: %.2f s\n", name, seconds);
    std::printf("%s_rows_per_s: %.0f rows/s\n", name, outcome.rows / seconds);
    // On a shared machine the wall time follows the load; the processor time does not.
    std::printf("%s_cpu_seconds: %.2f s\n", name, cpu);
    std::printf("%s_file_size: %.1f MB\n", name, QFileInfo(path).size() / 1e6);
}

// Where the time of one row goes: the analysis, the whole record, its formatting.
void perRow() {
    SubjectMeasurement row;
    row.subject.number = u"T0000001"_s;
    row.subject.birthDate = 33000;
    row.measurement.measuredAt = 46000.5;
    for (int c = 0; c < 24; ++c)
        row.measurement.values[static_cast<std::size_t>(c)] = 30.0 + 1.7 * c;
    constexpr int N = 100000;
    QElapsedTimer timer;
    timer.start();
    double sink = 0;
    for (int i = 0; i < N; ++i)
        sink += analyse(correctedValues(row.measurement.values), true).bodyEnergy;
    std::printf("analyse_us_per_row: %.2f us\n", timer.nsecsElapsed() / 1e3 / N);
    timer.restart();
    for (int i = 0; i < N; ++i)
        sink += exportRecordOf(row, nullptr).bodyEnergy;
    std::printf("export_record_us_per_row: %.2f us\n", timer.nsecsElapsed() / 1e3 / N);
    const ExportRecord record = exportRecordOf(row, nullptr);
    QByteArray out;
    timer.restart();
    for (int i = 0; i < N; ++i) {
        appendExportRecord(out, ExportFormat::Csv, record);
        if (out.size() > (1 << 16))
            out.resize(0);
    }
    std::printf("csv_format_us_per_row: %.2f us\n", timer.nsecsElapsed() / 1e3 / N);
    if (sink < 0)
        std::printf("%f\n", sink);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const Options o = parse(app.arguments());
    perRow();
    QTemporaryDir temp;
    const QString path = o.database.isEmpty() ? temp.filePath(u"orlu4.mdb"_s) : o.database;
    const QString outDir = o.outDir.isEmpty() ? temp.path() : o.outDir;

    Database db;
    QString error;
    if (!QFile::exists(path)) {
        QElapsedTimer timer;
        timer.start();
        if (!createDatabaseFile(path, SchemaKind::Main, &error) ||
            !db.open(path, Database::Access::Shared, &error) ||
            !generateRegister(db.handle(), {o.subjects, o.measurements}, 1, &error)) {
            std::fprintf(stderr, "cannot build the register: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("register_build_seconds: %.1f s\n", timer.nsecsElapsed() / 1e9);
    } else if (!db.open(path, Database::Access::Shared, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    const RecordStore records(db);
    auto table = [&](ExportFormat format) {
        return [&records, format](const QString &file) {
            ExportRequest request;
            request.format = format;
            return exportMeasurementsToFile(records, request, file);
        };
    };
    if (o.formats.contains(u"csv"_s)) {
        const long before = peakMemoryKb();
        run(table(ExportFormat::Csv), outDir + u"/export.csv"_s, "export");
        std::printf("export_peak_memory_growth: %.1f MB\n", (peakMemoryKb() - before) / 1024.0);
    }
    if (o.formats.contains(u"jsonl"_s))
        run(table(ExportFormat::JsonLines), outDir + u"/export.jsonl"_s, "export_jsonl");
    if (o.formats.contains(u"fhir"_s)) {
        const long before = peakMemoryKb();
        run([&](const QString &file) { return exportFhirBundleToFile(records, {}, nullptr, file); },
            outDir + u"/export.fhir.json"_s, "export_fhir");
        std::printf("export_fhir_peak_memory_growth: %.1f MB\n", (peakMemoryKb() - before) / 1024.0);
    }
    return 0;
}
