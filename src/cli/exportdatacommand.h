#pragma once

#include <QStringList>
#include <QTextStream>

namespace orlu {

// "export-data [--home DIR] [--subject NUMBER] [--from DATE] [--to DATE] [--format csv|jsonl]
// [--pseudonymise --key-file FILE] [--out FILE]": one row per stored measurement with its
// analysis, as CSV or JSON lines. Exit status 0 done, 1 failed (no database, an unreadable
// key, an unwritable output: then no file is left), 2 bad arguments.
int runExportDataCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto ExportDataCommandUsage =
    "export-data [--home DIR] [--subject NUMBER] [--from DATE] [--to DATE] [--format csv|jsonl] "
    "[--pseudonymise --key-file FILE] [--out FILE]";

// "export-fhir [--home DIR] [--subject NUMBER] [--from DATE] [--to DATE] [--pseudonymise
// --key-file FILE] [--out FILE]": the same measurements as one HL7 FHIR R4 Bundle.
int runExportFhirCommand(const QStringList &args, QTextStream &out, QTextStream &err);

inline constexpr auto ExportFhirCommandUsage = "export-fhir [--home DIR] [--subject NUMBER] [--from DATE] "
                                               "[--to DATE] [--pseudonymise --key-file FILE] [--out FILE]";

} // namespace orlu
