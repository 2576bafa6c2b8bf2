#pragma once

#include "dataexport/dataexport.h"
#include "records/recordcontext.h"
#include "records/ui/readingtools.h"
#include "trend/ui/trendwindow.h"

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
class TrendExportTools : public QObject, public ReadingTools {
    Q_OBJECT
public:
    // The file to export to, or empty to cancel.
    using FileChooser = std::function<QString(QWidget *parent)>;

    TrendExportTools(QToolBar *bar, const RecordContext &context, ReadingListAccess list, QWidget *window);

    void setMeasurementCount(int count) override;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setFhirFileChooser(FileChooser chooser) { m_chooseFhirFile = std::move(chooser); }
    void setTrendPrinter(TrendWindow::Printer print) { m_print = std::move(print); }
    // The seat's calibration log, whose latest calibration the FHIR export gives its probe.
    void setCalibrationLog(QString path) { m_calibrationLog = std::move(path); }

private:
    void trendClicked();
    void exportClicked();
    void fhirExportClicked();
    using ExportRun = std::function<ExportOutcome(const QString &path, ExportObserver *progress)>;
    // Asks for the file (a name without a suffix gets `defaultSuffix`), runs the export behind
    // the progress window and tells how it went.
    void chooseAndExport(const FileChooser &choose, const QString &defaultSuffix, const ExportRun &run);

    RecordContext m_context;
    ReadingListAccess m_list;
    QWidget *m_window;
    FileChooser m_chooseFile;
    FileChooser m_chooseFhirFile;
    TrendWindow::Printer m_print;
    QString m_calibrationLog;
    QToolButton *m_trendButton = nullptr;
    QToolButton *m_exportButton = nullptr;
    QToolButton *m_fhirExportButton = nullptr;
};

} // namespace orlu
