#include "trend/ui/trendexporttools.h"

#include "dataexport/fhirexport.h"
#include "trend/trendloader.h"
#include "dataexport/ui/exportprogresswindow.h"
#include "records/ui/recordlistwidgets.h"
#include "widgets/toolbuttons.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QToolBar>
#include <QToolButton>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString chooseExportFile(QWidget *parent) {
    return QFileDialog::getSaveFileName(parent, u"导出数据"_s, QDir::home().filePath(u"orlu-export.csv"_s),
                                        u"CSV (*.csv);;JSON lines (*.jsonl)"_s);
}

QString chooseFhirFile(QWidget *parent) {
    return QFileDialog::getSaveFileName(parent, u"导出 FHIR"_s, QDir::home().filePath(u"orlu-fhir.json"_s),
                                        u"HL7 FHIR JSON (*.json)"_s);
}

} // namespace

TrendExportTools::TrendExportTools(QToolBar *bar, const RecordContext &context, ReadingListAccess list,
                                   QWidget *window)
    : QObject(window)
    , m_context(context)
    , m_list(std::move(list))
    , m_window(window)
    , m_chooseFile(chooseExportFile)
    , m_chooseFhirFile(chooseFhirFile) {
    m_trendButton = addToolButton(bar, u"trendButton"_s, u"趋势分析"_s, u"受测者能量趋势分析"_s);
    m_trendButton->setEnabled(false);
    m_exportButton = addToolButton(bar, u"exportButton"_s, u"导出数据…"_s, u"导出经络能量数据供统计分析"_s);
    connect(m_trendButton, &QToolButton::clicked, this, &TrendExportTools::trendClicked);
    m_fhirExportButton = addToolButton(bar, u"fhirExportButton"_s, u"导出 FHIR…"_s,
                                       u"导出受测者及经络能量数据为 HL7 FHIR 格式，供其他医疗软件读取"_s);
    connect(m_exportButton, &QToolButton::clicked, this, &TrendExportTools::exportClicked);
    connect(m_fhirExportButton, &QToolButton::clicked, this, &TrendExportTools::fhirExportClicked);
}

void TrendExportTools::setMeasurementCount(int count) {
    m_trendButton->setEnabled(count > 0);
}

void TrendExportTools::trendClicked() {
    const QString number = m_list.subjectNumber();
    if (number.isEmpty())
        return;
    QString error;
    const std::optional<TrendSeries> series = loadTrendSeries(m_context.records, number, &error);
    if (!series || series->visits.isEmpty()) {
        m_context.prompter.showMessageBox(MessageType::NoteError,
                                          u"这位受测者的经络能量数据无法读取。\n"_s + error);
        return;
    }
    TrendWindow trend(*series, m_list.measurementKey(), m_print, m_window);
    connect(&trend, &TrendWindow::measurementChosen, this,
            [this](qint64 key) { m_list.selectMeasurement(key); });
    trend.exec();
}

void TrendExportTools::exportClicked() {
    chooseAndExport(m_chooseFile, u".csv"_s, [this](const QString &path, ExportObserver *progress) {
        ExportRequest request;
        request.format = exportFormatOfFileName(path);
        return exportMeasurementsToFile(m_context.records, request, path, progress);
    });
}

void TrendExportTools::fhirExportClicked() {
    chooseAndExport(m_chooseFhirFile, u".json"_s, [this](const QString &path, ExportObserver *progress) {
        const std::optional<CalibrationEntry> calibration =
            m_calibrationLog.isEmpty() ? std::nullopt
                                       : lastSuccessful(CalibrationLog(m_calibrationLog).entries());
        return exportFhirBundleToFile(m_context.records, {}, nullptr, path, progress, calibration);
    });
}

void TrendExportTools::chooseAndExport(const FileChooser &choose, const QString &defaultSuffix,
                                       const ExportRun &run) {
    QString path = choose(m_window);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += defaultSuffix;
    ExportProgressWindow progress(m_window);
    const ExportOutcome outcome = run(path, &progress);
    progress.hide();
    switch (outcome.status) {
    case ExportOutcome::Status::Done:
        m_context.prompter.showMessageBox(
            MessageType::NoteDone,
            u"已导出 %1 笔经络能量数据到\n%2"_s.arg(outcome.rows).arg(QDir::toNativeSeparators(path)));
        break;
    case ExportOutcome::Status::Cancelled:
        m_context.prompter.showMessageBox(MessageType::NoteCaution, u"导出已取消，没有写入任何文件。"_s);
        break;
    case ExportOutcome::Status::Failed:
        m_context.prompter.showMessageBox(MessageType::NoteError,
                                          u"数据未能导出，没有写入任何文件。\n"_s + outcome.error);
        break;
    }
}

} // namespace orlu
