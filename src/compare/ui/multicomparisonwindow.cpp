#include "compare/ui/multicomparisonwindow.h"

#include "quality/readingcaveats.h"
#include "core/numberformat.h"
#include "core/prompter.h"
#include "compare/ui/comparisonchartarea.h"
#include "compare/ui/comparisonwindowparts.h"
#include "widgets/windowsetup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

MultiComparisonWindow::MultiComparisonWindow(ComparisonSet &set, SelectionOpener openSelection,
                                             ComparisonPrinting printing, QWidget *parent)
    : QDialog(parent)
    , m_set(set)
    , m_openSelection(std::move(openSelection))
    , m_printing(std::move(printing)) {
    setUpWindow(
        this,
        {.objectName = u"multiComparisonWindow"_s, .title = u"多重能量比对"_s, .fixedSize = QSize(777, 552)});

    auto *bar = new QToolBar(this);
    QToolButton *loadButton = addComparisonButton(bar, u"loadButton"_s, u"加载数据"_s, u"加载比对数据"_s);
    QToolButton *printButton =
        addComparisonButton(bar, u"printButton"_s, u"打  印"_s, u"图形与比对数据打印"_s);
    QToolButton *setupButton =
        addComparisonButton(bar, u"printerSetupButton"_s, u"打印设定"_s, u"打印机选项设定"_s);
    QToolButton *leaveButton = addComparisonButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开能量比对系统"_s);

    auto *title = new QLabel(u"多重能量比对图"_s, this);
    title->setObjectName(u"chartTitle"_s);
    title->setAlignment(Qt::AlignCenter);
    m_chart = new ComparisonChartArea(QSize(MultiRecordChartWidth, ComparisonChartHeight), this);

    m_recordList = new QListWidget(this);
    m_recordList->setObjectName(u"recordList"_s);
    m_recordList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_detail = new RecordDetailBlock({}, u"detailBlock"_s, DetailFormat{7, 1, u"标准"_s}, this);
    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(u"受测者资料"_s, this));
    side->addWidget(m_recordList, 1);
    side->addWidget(m_detail);

    auto *chartColumn = new QVBoxLayout;
    chartColumn->addWidget(title);
    chartColumn->addWidget(m_chart);
    chartColumn->addStretch(1);
    auto *body = new QHBoxLayout;
    body->addLayout(chartColumn);
    body->addLayout(side, 1);

    QStatusBar *status = comparisonStatusBar(this, m_status);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(bar);
    layout->addLayout(body, 1);
    layout->addWidget(status);

    connect(loadButton, &QToolButton::clicked, this, &MultiComparisonWindow::loadClicked);
    connect(printButton, &QToolButton::clicked, this, &MultiComparisonWindow::printClicked);
    connect(setupButton, &QToolButton::clicked, this, [this] {
        if (m_printing.printerSetup)
            m_printing.printerSetup(this);
    });
    connect(leaveButton, &QToolButton::clicked, this, &QDialog::accept);
    connect(m_recordList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { rowClicked(m_recordList->row(item)); });

    rebuild();
}

void MultiComparisonWindow::rebuild() {
    m_recordList->clear();
    const QList<ComparisonEntry> &entries = m_set.entries();
    for (qsizetype i = 0; i < entries.size(); ++i)
        m_recordList->addItem(formatInt(i + 1, 1) + u".  "_s + entries[i].subjectName);
    if (!entries.isEmpty())
        m_recordList->addItem(u"[隐藏生理界线]"_s);
    m_status->setText(statusHint());
    m_selected.reset();
    m_detail->clear();
    redraw();
}

void MultiComparisonWindow::rowClicked(int row) {
    if (row >= 0 && row < m_set.size()) {
        m_selected = row;
        const ComparisonEntry &e = m_set.entries()[row];
        m_detail->showRecord(e.subjectNumber, e.subjectName, e.energyLevel, e.highPotential, e.measuredAt,
                             caveatsOf(e.corrected, e.quality).text());
    } else {
        m_selected.reset();
        m_detail->clear();
    }
    redraw();
}

void MultiComparisonWindow::redraw() {
    m_chart->setChart(multiRecordChart(m_set.entries(), m_selected));
}

void MultiComparisonWindow::loadClicked() {
    if (!m_openSelection)
        return;
    // Hidden, not closed: hiding a dialog the usual way would end its modal loop.
    QWidget::setVisible(false);
    m_openSelection(this);
    show();
    rebuild();
}

ComparisonPrintout MultiComparisonWindow::printout() const {
    return multiRecordPrintout(m_set.entries(), m_selected);
}

void MultiComparisonWindow::printClicked() {
    if (m_set.entries().isEmpty()) {
        if (m_printing.prompter)
            m_printing.prompter->showMessageBox(MessageType::NoteCaution, emptyComparisonMessage());
        return;
    }
    if (!m_printing.print)
        return;
    // A job that did not go leaves no word of an earlier one that did.
    const QString status = m_printing.print(printout(), this);
    m_status->setText(status.isEmpty() ? statusHint() : status);
}

QString MultiComparisonWindow::statusHint() const {
    return m_set.entries().isEmpty() ? u"请按 [加载数据] 键更改欲比对数据。"_s
                                     : u"请至 [受测者资料] 中点选以绘出生理界线及查阅相关资料."_s;
}

} // namespace orlu
