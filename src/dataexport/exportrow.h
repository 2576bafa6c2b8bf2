#pragma once

#include "records/measurementcursor.h"

#include <QByteArray>
#include <QDate>
#include <QTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// One exported measurement: the subject's number (or its pseudonym), sex and birth
// year, the readings, and the analysis values from analyse(), the function the
// analysis window shows. Written as a CSV row or a JSON line with the names that
// `orlu-cli analyse` uses.
namespace orlu {

class Pseudonymiser;

enum class ExportFormat { Csv, JsonLines };

struct ExportRecord {
    QString subject; // the subject number, or its pseudonym
    bool male = true;
    std::optional<int> birthYear;        // none without a birth date
    std::optional<int> ageAtMeasurement; // year of measuring minus birth year
    QDate measuredOn;
    QTime measuredAt;
    bool highPotential = false;
    // 0 for a point the measurement left out, written as no value (never as 0 uA).
    std::array<double, 24> plain{};
    std::array<double, 24> corrected{};
    // The mean of the measured corrected values: of all 24 when complete.
    double bodyEnergy = 0.0;
    // Spirit, musculoskeletal, metabolism, autonomic; none when undefined or incomplete.
    std::array<std::optional<double>, 4> ratios{};
    // Body energy, then the four ratios in the same order; none when incomplete.
    std::array<std::optional<int>, 5> verdicts{};
    std::array<std::optional<int>, 24> channelGrades{}; // none when incomplete
    // Points the measurement left out; an incomplete one is marked by this count and by
    // the quality word "unmeasured" of each such point.
    int unmeasuredPoints = 0;
    // Points whose reading was steady, none when no point's quality is known; the
    // verdict word of each point, empty when unknown.
    std::optional<int> steadyPoints;
    std::array<QString, 24> quality{};
    std::optional<QString> memo; // none when pseudonymised
};

// Analyses the measurement. With a pseudonymiser the subject number becomes its
// pseudonym and the memo is left out.
ExportRecord exportRecordOf(const SubjectMeasurement &row, const Pseudonymiser *pseudonymiser);

// The CSV header names, in column order; "memo" last unless pseudonymised.
QStringList exportColumnNames(bool withMemo);

// The header row (CSV only; JSON lines have none), and one record, each ending with a
// line break: CR LF in CSV (RFC 4180), LF in JSON lines. UTF-8.
QByteArray exportHeader(ExportFormat format, bool withMemo);
void appendExportRecord(QByteArray &out, ExportFormat format, const ExportRecord &record);

} // namespace orlu
