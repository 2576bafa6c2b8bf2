#pragma once

#include "records/dataexport.h"
#include "records/recordcontext.h"
#include "records/ui/trendwindow.h"

#include <QObject>
#include <QString>

#include <functional>

class QToolBar;
class QToolButton;
class QWidget;

namespace orlu {

// The reading window's "趋势分析" (the trend window of the current subject),
// "导出数据…" (the open export of the register's measurements) and "导出 FHIR…" (the
// same measurements as an HL7 FHIR bundle), both exports with a progress window that
// can cancel them. The reading window tells how many measurements its list shows
// and where its current subject and measurement are.
class TrendExportTools : public QObject {
    Q_OBJECT
public:
    struct ListAccess {
        std::function<QString()> subjectNumber; // empty without a current subject
        std::function<qint64()> measurementKey; // 0 without a current measurement
        std::function<void(qint64 key)> selectMeasurement;
    };
    // The file to export to, or empty to cancel.
    using FileChooser = std::function<QString(QWidget *parent)>;

    TrendExportTools(QToolBar *bar, const RecordContext &context, ListAccess list, QWidget *window);

    // With no measurement in the list there is no trend to show.
    void setMeasurementCount(int count);
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setFhirFileChooser(FileChooser chooser) { m_chooseFhirFile = std::move(chooser); }
    void setTrendPrinter(TrendWindow::Printer print) { m_print = std::move(print); }

private:
    void trendClicked();
    void exportClicked();
    void fhirExportClicked();
    using ExportRun = std::function<ExportOutcome(const QString &path, ExportObserver *progress)>;
    // Asks for the file (a name without a suffix gets `defaultSuffix`), runs the export behind
    // the progress window and tells how it went.
    void chooseAndExport(const FileChooser &choose, const QString &defaultSuffix, const ExportRun &run);

    RecordContext m_context;
    ListAccess m_list;
    QWidget *m_window;
    FileChooser m_chooseFile;
    FileChooser m_chooseFhirFile;
    TrendWindow::Printer m_print;
    QToolButton *m_trendButton = nullptr;
    QToolButton *m_exportButton = nullptr;
    QToolButton *m_fhirExportButton = nullptr;
};

} // namespace orlu
