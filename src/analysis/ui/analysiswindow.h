#pragma once

#include "analysis/analysisviewstate.h"

#include "analysis/analysis.h"
#include "analysis/meridianlistsync.h"
#include "analysis/printoptions.h"
#include "charts/analysisreport.h"
#include "courses/coursestore.h"
#include "widgets/firstshowdialog.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPrinter;
class QTabWidget;
class QToolButton;

namespace orlu {

class AnalysisChartPage;
class AnalysisCoursePage;
class AnalysisEnergyPage;
class AnalysisPairPage;
class AnalysisPrintPage;
class AnalysisTextPage;
class Clock;
class LaunchPort;
class Prompter;
class MeasurementRepository;
class ReferenceTexts;
struct CurrentMeasurement;
struct Settings;

// What "打  印" hands to the printed report: the options as they stand on the
// print page and everything the window shows. The pointers stay valid for
// the duration of the call.
struct AnalysisPrintRequest {
    PrintOptions options;
    const AnalysisResult *result = nullptr;
    const CurrentMeasurement *measurement = nullptr;
    QString treatmentRecord;      // page "处置记录" as edited so far
    QStringList courseNames;      // the matching user courses
    QStringList multiCourseNames; // the matching courses of the supplied set
    // All the printed report needs; its texts pointer lives as long as the window.
    AnalysisReportInput report;
};

struct AnalysisPrinting {
    // Prints the report on the program's printer. Empty: no printer to print on,
    // which "打  印" tells the operator. Returns what to show of the job (empty: nothing).
    std::function<QString(const AnalysisPrintRequest &request, QWidget *parent)> printReport;
    // The report in the print preview. Empty: a preview on a printer of this window.
    std::function<void(const AnalysisPrintRequest &request, QWidget *parent)> previewReport;
    // The system's printer set-up for the program's printer. Empty: a printer
    // dialog on a printer of this window.
    std::function<void(QWidget *parent)> printerSetup;
    // Asks for the name of the PDF file "存为 PDF" writes, offering `suggested`; empty
    // when the operator cancels. Empty function: the system's save dialog.
    std::function<QString(const QString &suggested, QWidget *parent)> choosePdfFile;
};

// What the analysis window works with; all references outlive the window.
struct AnalysisWindowServices {
    CurrentMeasurement &measurement;
    AnalysisViewState &view; // kept between showings
    Settings &settings;
    // Writes the settings file (the window has changed the print options).
    std::function<void()> saveSettings;
    MeasurementRepository &measurements; // where the treatment record is stored
    const CourseStore &courses;          // the user course set
    const ReferenceTexts &texts;
    // The supplied course set, opened on first use; nullptr when it cannot be opened.
    std::function<const CourseStore *()> suppliedCourses;
    Prompter &prompter;
    LaunchPort &launcher;
    const Clock &clock; // today's date decides the subject's age
    AnalysisPrinting printing = {};
};

// "资料分析": the analysis of the current measurement on nine pages. Opening
// computes everything from the measurement; closing keeps the page, the chart,
// the print options and the treatment record.
class AnalysisWindow : public FirstShowDialog {
    Q_OBJECT
public:
    explicit AnalysisWindow(AnalysisWindowServices services, QWidget *parent = nullptr);
    ~AnalysisWindow() override;

    static constexpr int PageCount = 9;
    static QString pageCaption(int page);
    static QString pageStatusText(int page);

    const AnalysisResult &result() const { return m_result; }
    bool isRecordModified() const { return m_memoModified; }
    bool isMultiItemSelected() const { return m_multiSelected; }

protected:
    void done(int result) override;

private:
    QWidget *createRecordPage();
    AnalysisTextPage *textPage(int page) const;

    void showRecordAndOpenTables();
    void keepViewOptionsAndRecord();
    void openTables();
    void matchCourses();
    void closeTables();
    void pageChanged(int page);
    void showStatus(const QString &text);
    void appendToRecord(const QStringList &selections);
    AnalysisPrintRequest printRequest() const;
    void printClicked();
    void previewClicked();
    void printerSetupClicked();
    void savePdfClicked();

    // The three single-meridian lists and their synchronisation by meridian.
    void fillLists();
    void listSelected(int page);
    static int listOfPage(int page);
    static int pageOfList(int list);
    void showRow(int page, int row);
    void showDifferentiation(int row);
    void showPrescription(int row);
    void showDiet(int row);
    void afterListSelection();
    void selectQuietly(QListWidget *list, int row);
    int selectedRow(const QListWidget *list) const;

    // The multi-meridian list from the supplied course set.
    void multiMeridianSelected();
    void medicineToolClicked(int i);
    void healthToolClicked(int i);
    void setTextToolsEnabled(bool enabled);

    AnalysisWindowServices m_s;
    AnalysisResult m_result;
    const ReferenceTexts *m_texts = nullptr;        // while the window is open
    const CourseStore *m_suppliedCourses = nullptr; // while open, when the supplied set could be opened
    std::unique_ptr<QPrinter> m_printer;
    QStringList m_courseNames;
    QStringList m_multiNames;
    std::optional<SuppliedCourseTexts> m_multiCourse;
    MeridianListSync m_sync;

    bool m_closed = false;
    bool m_memoModified = false;
    // The treatment record as the window read it, which a write may replace.
    QStringList m_shownMemo;
    bool m_multiSelected = false;

    QTabWidget *m_tabs = nullptr;
    AnalysisEnergyPage *m_energyPage = nullptr;
    AnalysisChartPage *m_chartPage = nullptr;
    AnalysisPairPage *m_pairPage = nullptr;
    std::array<AnalysisTextPage *, 3> m_textPages{}; // pages 3, 4, 5
    AnalysisCoursePage *m_coursePage = nullptr;
    QPlainTextEdit *m_record = nullptr;
    AnalysisPrintPage *m_printPage = nullptr;
    QListWidget *m_multiList = nullptr;
    QToolButton *m_closeButton = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_notice = nullptr;
};

} // namespace orlu
