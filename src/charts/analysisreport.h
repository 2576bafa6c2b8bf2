#pragma once

#include "analysis/printoptions.h"
#include "charts/reportpage.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The printed analysis report: header, subject block and the sections the
// print options choose, in their fixed order, on the report page model.
namespace orlu {

struct AnalysisResult;
struct CurrentMeasurement;
class DrawingSurface;
class ReferenceTexts;

// The print job's title.
QString analysisReportJobTitle();

// A matching course as the expert-course section prints it.
struct ReportCourse {
    QString name;        // as listed
    QString description; // ProData; empty when the course was not found
};

struct AnalysisReportInput {
    PrintOptions options;
    const AnalysisResult *result = nullptr;
    const CurrentMeasurement *measurement = nullptr; // values, date, potential, subject
    const ReferenceTexts *texts = nullptr;           // nullptr: text sections print their headings only
    QString treatmentRecord;
    QList<ReportCourse> courses; // the matching user courses in list order
    QString reportTitle;         // settings: report title, organisation and department lines
    QString organisation;
    QString department;
    QDate today; // decides the subject's age
};

// Section numbers of the report in their printing order (1..15): the option
// position that adds each one.
PrintOption reportSectionOption(int section);
// The option that adds chart `selection` (1..6, 8, 9) to the report.
PrintOption chartPrintOption(int selection);

// Produces the whole report on `surface`. `aborted` is asked before every
// section, line and page; once it is true nothing more is drawn.
ReportOutcome produceAnalysisReport(DrawingSurface &surface, const PageGeometry &geometry,
                                    const AnalysisReportInput &input, std::function<bool()> aborted = {});

// The parts of the report, each on the shared page model.
void printReportHeader(ReportPage &page, const AnalysisReportInput &input);
void printSubjectBlock(ReportPage &page, const AnalysisReportInput &input);
void printMeasurementTable(ReportPage &page, const AnalysisReportInput &input);
void printBodyEnergySection(ReportPage &page, const AnalysisReportInput &input);
// Chart selection 1..6, 8, 9 as a printed chart block.
void printChartSection(ReportPage &page, const AnalysisReportInput &input, int selection);
void printDifferentiationSection(ReportPage &page, const AnalysisReportInput &input);
void printDietSection(ReportPage &page, const AnalysisReportInput &input);
void printPrescriptionSection(ReportPage &page, const AnalysisReportInput &input);
void printCourseSection(ReportPage &page, const AnalysisReportInput &input);
void printTreatmentRecordSection(ReportPage &page, const AnalysisReportInput &input);

} // namespace orlu
