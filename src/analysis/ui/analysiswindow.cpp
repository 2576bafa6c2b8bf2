#include "analysis/ui/analysiswindow.h"

#include "analysis/textstore.h"
#include "analysis/ui/analysischartpage.h"
#include "analysis/treatmentrecord.h"
#include "analysis/ui/analysiscoursepage.h"
#include "analysis/ui/analysisenergypage.h"
#include "analysis/ui/analysispairpage.h"
#include "analysis/ui/analysisprintpage.h"
#include "analysis/ui/analysistextpage.h"
#include "analysis/ui/analysiswidgets.h"
#include "analysis/ui/selectionpaste.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "charts/reportprinting.h"
#include "charts/ui/reportprintjob.h"
#include "courses/coursematches.h"
#include "courses/coursestore.h"
#include "records/measurementrepository.h"
#include "core/displaycolumns.h"
#include "widgets/toolbuttons.h"
#include "widgets/windowsetup.h"
#include "widgets/statusbars.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct PageText {
    QString caption;
    QString hint;
    QString status;
};

const std::array<PageText, AnalysisWindow::PageCount> &pageTexts() {
    static const std::array<PageText, AnalysisWindow::PageCount> texts{{
        {u"体能状况"_s, {}, u"【性别】会影响部份辩证,请留意其正确性。"_s},
        {u"分析图表"_s, u"图形分析功能"_s, u"【平均体能】为基准中线的数据,每一受测者均不相同。"_s},
        {u"表里对应"_s, u"表里经络能量对应分析"_s,
         u"表里经络能量对应，您可以藉此判断阴脏阳腑间的气血平衡度。"_s},
        {u"经络分析"_s, u"经络能量分析参考数据"_s, u"请至【辩证项目】中点选需要详细说明的单经络辩证项目。"_s},
        {u"医方资料"_s, u"医方及针灸建议及参考"_s, u"请至【辩证项目】中点选需要详细说明的医方建议数据。"_s},
        {u"养生建议"_s, u"养生食疗参考项目"_s, u"请至【食疗项目】中点选需要详细说明的食疗数据。"_s},
        {u"专家疗程"_s, u"专家疗程分析"_s, u"请至【辩证项目】中点选需要详细说明的专家疗程数据。"_s},
        {u"处置记录"_s, u"处置与相关建议记录"_s, u"请将症状与处置数据详细纪录."_s},
        {u"数据打印"_s, u"数据打印选项"_s,
         u"当您选择【开始打印】,系统将会把您在[打印数据选项]中勾选的数据打印出来."_s},
    }};
    return texts;
}

constexpr int ChartPage = 1;
constexpr int FirstTextPage = 3;
constexpr int LastTextPage = 5;
constexpr int PrescriptionPage = 4;
constexpr int DietPage = 5;

TextPageLayout differentiationLayout() {
    return {3,
            u"differentiationList"_s,
            {{u"详细说明"_s, u"differentiationText"_s}, {u"良导络辨症"_s, u"ryodorakuText"_s}},
            {}};
}

TextPageLayout prescriptionLayout() {
    return {4,
            u"prescriptionList"_s,
            {{u"详细说明"_s, u"prescriptionText"_s}},
            {{u"针  灸"_s, u"medicineButton1"_s, true},
             {u"汉  方"_s, u"medicineButton2"_s, true},
             {u"按  摩"_s, u"medicineButton3"_s, false}}};
}

TextPageLayout dietLayout() {
    return {5,
            u"dietList"_s,
            {{u"食物疗法表列"_s, u"dietText"_s}},
            {{u"营养素"_s, u"healthButton1"_s, true},
             {u"禁  忌"_s, u"healthButton2"_s, true},
             {u"药  膳"_s, u"healthButton3"_s, true},
             {u"花草茶"_s, u"healthButton4"_s, true},
             {u"按  摩"_s, u"healthButton5"_s, true}}};
}

// The lines of a multi-line box; an empty box has none, and a final line
// break does not start another line.
QStringList boxLines(const QString &text) {
    QStringList lines = splitMemoLines(text);
    if (!lines.isEmpty() && text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

} // namespace

QString AnalysisWindow::pageCaption(int page) {
    return pageTexts()[static_cast<std::size_t>(page)].caption;
}

QString AnalysisWindow::pageStatusText(int page) {
    return pageTexts()[static_cast<std::size_t>(page)].status;
}

AnalysisWindow::AnalysisWindow(AnalysisWindowServices services, QWidget *parent)
    : FirstShowDialog(parent)
    , m_s(std::move(services)) {
    whenFirstShown([this] { showRecordAndOpenTables(); });
    setUpWindow(this, {.objectName = u"analysisWindow"_s,
                       .title = u"资料分析"_s,
                       .modal = false,
                       .fixedSize = QSize(785, 556)});

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(u"pageTabs"_s);
    m_tabs->setToolTip(u"身体能量及相关分析资料"_s);
    m_energyPage = new AnalysisEnergyPage(m_tabs);
    m_chartPage = new AnalysisChartPage(m_tabs);
    m_pairPage = new AnalysisPairPage(m_tabs);
    m_textPages = {new AnalysisTextPage(differentiationLayout(), m_tabs),
                   new AnalysisTextPage(prescriptionLayout(), m_tabs),
                   new AnalysisTextPage(dietLayout(), m_tabs)};
    m_coursePage = new AnalysisCoursePage(m_s.launcher, m_tabs);
    m_printPage = new AnalysisPrintPage(m_tabs);
    const std::array<QWidget *, PageCount> pages{m_energyPage,   m_chartPage,        m_pairPage,
                                                 m_textPages[0], m_textPages[1],     m_textPages[2],
                                                 m_coursePage,   createRecordPage(), m_printPage};
    for (int i = 0; i < PageCount; ++i) {
        m_tabs->addTab(pages[static_cast<std::size_t>(i)], pageCaption(i));
        m_tabs->setTabToolTip(i, pageTexts()[static_cast<std::size_t>(i)].hint);
    }

    // The button sits beside the page captions, kept off the frame's edge.
    auto *corner = new QWidget(m_tabs);
    auto *cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 1, 2, 1);
    m_closeButton = makeToolButton(u"closeButton"_s, u"离  开"_s, {}, corner);
    m_closeButton->setMinimumWidth(80);
    cornerLayout->addWidget(m_closeButton);
    m_tabs->setCornerWidget(corner, Qt::TopRightCorner);
    connect(m_closeButton, &QToolButton::clicked, this, &QDialog::accept);

    // The multi-meridian list moves to the slot of whichever text page is shown.
    m_multiList = new QListWidget(m_textPages[0]);
    m_multiList->setObjectName(u"multiMeridianList"_s);
    m_multiList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_multiList->hide();

    QStatusBar *bar = makeStatusBar(this);
    m_status = makeLabel({}, bar, u"statusText"_s);
    m_notice = makeLabel(u"本功能所有数据仅供研究参考，身体不适仍应洽询专业医师。"_s, bar, u"noticeText"_s);
    bar->addWidget(m_status, 1);
    bar->addPermanentWidget(m_notice);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(bar);

    connect(m_tabs, &QTabWidget::currentChanged, this, &AnalysisWindow::pageChanged);
    connect(m_chartPage, &AnalysisChartPage::chartChosen, this, [this](int chart) {
        m_s.view.chart = chart;
        showStatus(m_chartPage->chartStatusText());
    });
    connect(m_chartPage, &AnalysisChartPage::chartRepainted, this, [this] {
        if (m_tabs->currentIndex() == ChartPage)
            showStatus(m_chartPage->chartStatusText());
    });
    for (AnalysisTextPage *page : m_textPages)
        connect(&page->selection(), &SelectionPaste::pasted, this, &AnalysisWindow::appendToRecord);
    connect(&m_coursePage->selection(), &SelectionPaste::pasted, this, &AnalysisWindow::appendToRecord);
    for (int page = FirstTextPage; page <= LastTextPage; ++page) {
        QListWidget *list = textPage(page)->list();
        connect(list, &QListWidget::itemSelectionChanged, this, [this, page] { listSelected(page); });
        connect(list, &QListWidget::itemClicked, this, [this, page] { listSelected(page); });
    }
    connect(m_multiList, &QListWidget::itemSelectionChanged, this, &AnalysisWindow::multiMeridianSelected);
    connect(textPage(PrescriptionPage), &AnalysisTextPage::toolClicked, this,
            &AnalysisWindow::medicineToolClicked);
    connect(textPage(DietPage), &AnalysisTextPage::toolClicked, this, &AnalysisWindow::healthToolClicked);
    connect(m_printPage, &AnalysisPrintPage::printRequested, this, &AnalysisWindow::printClicked);
    connect(m_printPage, &AnalysisPrintPage::printerSetupRequested, this,
            &AnalysisWindow::printerSetupClicked);
    connect(m_printPage, &AnalysisPrintPage::previewRequested, this, &AnalysisWindow::previewClicked);
    connect(m_printPage, &AnalysisPrintPage::savePdfRequested, this, &AnalysisWindow::savePdfClicked);
}

AnalysisWindow::~AnalysisWindow() = default;

QWidget *AnalysisWindow::createRecordPage() {
    auto *page = new QWidget(m_tabs);
    page->setObjectName(u"recordPage"_s);
    m_record = new QPlainTextEdit(page);
    m_record->setObjectName(u"treatmentRecordEdit"_s);
    m_record->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_record);
    connect(m_record, &QPlainTextEdit::textChanged, this, [this] { m_memoModified = true; });
    return page;
}

AnalysisTextPage *AnalysisWindow::textPage(int page) const {
    return m_textPages[static_cast<std::size_t>(page - FirstTextPage)];
}

void AnalysisWindow::done(int result) {
    if (wasShown() && !m_closed) {
        m_closed = true;
        keepViewOptionsAndRecord();
    }
    QDialog::done(result);
}

void AnalysisWindow::showRecordAndOpenTables() {
    m_record->setPlainText(m_s.measurement.memo.join(u'\n'));
    m_shownMemo = m_s.measurement.memo;
    m_memoModified = false;

    openTables();

    m_multiSelected = false;
    m_s.view.follow(m_s.measurement);
    const int page = qBound(0, m_s.view.page, PageCount - 1);
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(page);
    }
    pageChanged(page);

    m_result = analyse(m_s.measurement.corrected, m_s.measurement.subject.male);

    m_chartPage->setResult(m_result);
    m_chartPage->showChart(m_s.view.chart);

    m_energyPage->showAnalysis(m_result, m_s.measurement, m_s.clock.now().date());
    m_pairPage->showAnalysis(m_result);
    fillLists();
    matchCourses();

    setTextToolsEnabled(false);
    for (AnalysisTextPage *p : m_textPages)
        p->clearBoxes();
    m_sync.clearShown();

    m_sync.setFollowing(false);
    selectQuietly(m_textPages[0]->list(), 0);
    showDifferentiation(0);
    if (textPage(DietPage)->list()->count() > 0) {
        selectQuietly(textPage(DietPage)->list(), 0);
        showDiet(0);
    }
    if (textPage(PrescriptionPage)->list()->count() > 0) {
        selectQuietly(textPage(PrescriptionPage)->list(), 0);
        showPrescription(0);
    }
    m_sync.setFollowing(true);

    m_printPage->setOptions(parsePrintOptions(m_s.settings.printOptions));
}

void AnalysisWindow::openTables() {
    m_texts = &m_s.texts;
    m_coursePage->setCourseStore(&m_s.courses);
    m_suppliedCourses = m_s.suppliedCourses ? m_s.suppliedCourses() : nullptr;
}

void AnalysisWindow::matchCourses() {
    const CourseMatches matches =
        orlu::matchCourses(m_s.courses, m_suppliedCourses,
                           matchInputs(m_result, m_s.measurement.subject.birthDate, m_s.clock.now().date()));
    m_courseNames = matches.userCourses;
    m_coursePage->setCourses(m_courseNames);
    m_multiNames = matches.suppliedCourses;
    {
        const QSignalBlocker quiet(m_multiList);
        m_multiList->clear();
        m_multiList->addItems(m_multiNames);
    }
    if (!matches.problem.isEmpty())
        m_s.prompter.showMessageBox(MessageType::NoteCaution, matches.problem);
}

void AnalysisWindow::closeTables() {
    m_texts = nullptr;
    m_coursePage->setCourseStore(nullptr);
    m_suppliedCourses = nullptr;
}

void AnalysisWindow::keepViewOptionsAndRecord() {
    closeTables();
    m_s.view.page = m_tabs->currentIndex();

    m_s.settings.printOptions = printOptionString(m_printPage->options());
    if (m_s.saveSettings)
        m_s.saveSettings();

    if (!m_memoModified)
        return;
    const QString problem = keepTreatmentRecord(m_s.measurement, boxLines(m_record->toPlainText()),
                                                m_shownMemo, m_s.measurements);
    if (!problem.isEmpty())
        m_s.prompter.showMessageBox(MessageType::NoteError, problem);
}

void AnalysisWindow::pageChanged(int page) {
    showStatus(pageStatusText(page));
    const bool textPageShown = page >= FirstTextPage && page <= LastTextPage;
    if (textPageShown)
        textPage(page)->holdMultiList(m_multiList);
    m_multiList->setVisible(textPageShown);
    setTextToolsEnabled(m_multiSelected);
}

void AnalysisWindow::showStatus(const QString &text) {
    m_status->setText(text);
}

void AnalysisWindow::appendToRecord(const QStringList &selections) {
    QStringList lines = boxLines(m_record->toPlainText());
    for (const QString &selection : selections) {
        lines.append(QString());
        lines.append(selection.split(u'\n'));
    }
    m_record->setPlainText(lines.join(u'\n'));
    m_record->moveCursor(QTextCursor::End);
}

AnalysisPrintRequest AnalysisWindow::printRequest() const {
    AnalysisPrintRequest request;
    request.options = m_printPage->options();
    request.result = &m_result;
    request.measurement = &m_s.measurement;
    request.treatmentRecord = m_record->toPlainText();
    request.courseNames = m_courseNames;
    request.multiCourseNames = m_multiNames;

    AnalysisReportInput &report = request.report;
    report.options = request.options;
    report.result = &m_result;
    report.measurement = &m_s.measurement;
    report.texts = m_texts;
    report.treatmentRecord = request.treatmentRecord;
    for (const QString &name : m_courseNames) {
        const std::optional<Course> course = m_s.courses.findByName(name);
        report.courses.append({name, course ? course->description : QString()});
    }
    report.reportTitle = m_s.settings.reportTitle;
    report.organisation = m_s.settings.userData1;
    report.department = m_s.settings.userData2;
    report.today = m_s.clock.now().date();
    return request;
}

void AnalysisWindow::printClicked() {
    if (!m_s.printing.printReport) {
        m_s.prompter.showMessageBox(MessageType::NoteError, noPrinterMessage());
        return;
    }
    m_printPage->setPrintStatus(m_s.printing.printReport(printRequest(), this));
}

void AnalysisWindow::previewClicked() {
    if (m_s.printing.previewReport) {
        m_s.printing.previewReport(printRequest(), this);
        return;
    }
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    previewAnalysisReport(*m_printer, printRequest().report, this);
}

void AnalysisWindow::printerSetupClicked() {
    if (m_s.printing.printerSetup) {
        m_s.printing.printerSetup(this);
        return;
    }
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    QPrintDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void AnalysisWindow::savePdfClicked() {
    const QString suggested = QDir::home().filePath(savedReportFileName(m_s.measurement));
    const QString path = m_s.printing.choosePdfFile
                             ? m_s.printing.choosePdfFile(suggested, this)
                             : QFileDialog::getSaveFileName(this, u"存为 PDF"_s, suggested, u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    QString error;
    if (writeAnalysisReportPdf(path, printRequest().report, &error))
        m_printPage->setPrintStatus(u"报表已存为 %1"_s.arg(QDir::toNativeSeparators(path)));
    else
        m_printPage->setPrintStatus(u"报表未能存为 %1：%2"_s.arg(QDir::toNativeSeparators(path), error));
}

} // namespace orlu
