#include "compare/ui/tworecordcomparisonwindow.h"

#include "compare/comparisonchanges.h"
#include "compare/ui/comparisonchartarea.h"
#include "compare/ui/comparisonwindowparts.h"
#include "widgets/windowsetup.h"
#include "quality/readingcaveats.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const DetailFormat SlotFormat{5, 2, u"标准电位"_s};

ReadingCaveats caveatsOfRecord(const ComparisonRecord &r) {
    return caveatsOf(r.corrected, r.quality);
}

void showSlot(RecordDetailBlock *block, const ComparisonRecord &r) {
    block->showRecord(r.subjectNumber, r.subjectName, r.average, r.highPotential, r.measuredAt,
                      caveatsOfRecord(r).text());
}

PrintedRecord printedRecordOf(const ComparisonRecord &r) {
    return {r.subjectNumber, r.subjectName, r.average,
            r.highPotential, r.measuredAt,  caveatsOfRecord(r).text()};
}

} // namespace

TwoRecordComparisonWindow::TwoRecordComparisonWindow(const CurrentMeasurement &current, ComparisonLoader load,
                                                     ComparisonPrinting printing, QWidget *parent)
    : QDialog(parent)
    , m_load(std::move(load))
    , m_printing(std::move(printing))
    , m_original(comparisonRecordOf(current)) {
    setUpWindow(
        this,
        {.objectName = u"twoRecordComparisonWindow"_s, .title = u"能量比对"_s, .fixedSize = QSize(777, 550)});

    auto *bar = new QToolBar(this);
    QToolButton *loadButton =
        addComparisonButton(bar, u"loadButton"_s, u"加载数据"_s, u"加载比对的能量数据"_s);
    QToolButton *printButton = addComparisonButton(bar, u"printButton"_s, u"打  印"_s, u"比对数据打印"_s);
    QToolButton *setupButton =
        addComparisonButton(bar, u"printerSetupButton"_s, u"打印设定"_s, u"打印机与格式设定"_s);
    bar->addSeparator();
    m_originalBandButton =
        addComparisonButton(bar, u"originalBandButton"_s, u"原始资料"_s, u"绘出原始数据的生理曲线"_s, true);
    m_comparisonBandButton =
        addComparisonButton(bar, u"comparisonBandButton"_s, u"比对数据"_s, u"绘出比对数据的生理曲线"_s, true);
    m_hideBandButton = addComparisonButton(bar, u"hideBandButton"_s, u"隐  藏"_s, u"隐藏生理曲线"_s, true);
    bar->addSeparator();
    QToolButton *leaveButton = addComparisonButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开能量比对"_s);

    auto *bands = new QButtonGroup(this);
    bands->setExclusive(true);
    bands->addButton(m_originalBandButton);
    bands->addButton(m_comparisonBandButton);
    bands->addButton(m_hideBandButton);

    auto *title = new QLabel(u"经络能量比对图"_s, this);
    title->setObjectName(u"chartTitle"_s);
    title->setAlignment(Qt::AlignCenter);
    m_chart = new ComparisonChartArea(QSize(TwoRecordChartWidth, ComparisonChartHeight), this);

    m_originalBlock = new RecordDetailBlock(u"1.原始资料"_s, u"originalBlock"_s, SlotFormat, this);
    m_comparisonBlock = new RecordDetailBlock(u"2.比对数据"_s, u"comparisonBlock"_s, SlotFormat, this);
    auto *blocks = new QVBoxLayout;
    blocks->addWidget(m_originalBlock);
    blocks->addSpacing(10);
    blocks->addWidget(m_comparisonBlock);
    m_changes = new QLabel(this);
    m_changes->setObjectName(u"changesLabel"_s);
    m_changes->setWordWrap(true);
    m_changes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    blocks->addSpacing(6);
    blocks->addWidget(m_changes);
    blocks->addStretch(1);

    auto *chartColumn = new QVBoxLayout;
    chartColumn->addWidget(title);
    chartColumn->addWidget(m_chart);
    auto *body = new QHBoxLayout;
    body->addLayout(chartColumn);
    body->addLayout(blocks, 1);

    QStatusBar *status = comparisonStatusBar(this, m_status);
    m_status->setText(u"请按 [加载数据] 键更改欲比对数据。"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(bar);
    layout->addLayout(body, 1);
    layout->addWidget(status);

    connect(loadButton, &QToolButton::clicked, this, &TwoRecordComparisonWindow::loadClicked);
    connect(printButton, &QToolButton::clicked, this, &TwoRecordComparisonWindow::printClicked);
    connect(setupButton, &QToolButton::clicked, this, [this] {
        if (m_printing.printerSetup)
            m_printing.printerSetup(this);
    });
    connect(leaveButton, &QToolButton::clicked, this, &QDialog::accept);
    connect(m_originalBandButton, &QToolButton::clicked, this, [this] { bandChosen(BandChoice::Original); });
    connect(m_comparisonBandButton, &QToolButton::clicked, this,
            [this] { bandChosen(BandChoice::Comparison); });
    connect(m_hideBandButton, &QToolButton::clicked, this, [this] { bandChosen(BandChoice::None); });

    showSlot(m_originalBlock, m_original);
    m_comparisonBlock->clear();
    m_comparisonBandButton->setEnabled(false);
    m_hideBandButton->setChecked(true);
    redraw();
    showChanges();
}

void TwoRecordComparisonWindow::loadClicked() {
    if (!m_load)
        return;
    ComparisonRecord record;
    // Hidden, not closed: hiding a dialog the usual way would end its modal loop.
    QWidget::setVisible(false);
    m_load(record, this);
    show();
    if (!record.loaded)
        return;
    m_comparison = record;
    showSlot(m_comparisonBlock, record);
    m_comparisonBandButton->setEnabled(true);
    m_hideBandButton->setChecked(true);
    m_band = BandChoice::None;
    redraw();
    showChanges();
}

void TwoRecordComparisonWindow::setScatterModel(const ScatterModel &model) {
    m_scatter = model;
    showChanges();
}

// The body energy of both records beside its change (later minus earlier) and
// whether it is more than the scatter of measuring; every point in the tool tip.
void TwoRecordComparisonWindow::showChanges() {
    const ComparisonChanges changes = comparisonChanges(m_original, m_comparison, m_scatter);
    QStringList lines = changes.bodyEnergy;
    if (!changes.points.isEmpty())
        lines << changes.points;
    lines << u"体能 = 原始读数平均"_s;
    m_changes->setText(lines.join(u'\n'));
    QString tip = changes.explanation + u"\n\n"_s + changes.energyNote;
    if (!changes.pointDetails.isEmpty())
        tip += u"\n\n"_s + changes.pointDetails;
    m_changes->setToolTip(tip);
    for (RecordDetailBlock *block : {m_originalBlock, m_comparisonBlock})
        block->setEnergyToolTip(changes.energyNote);
}

void TwoRecordComparisonWindow::bandChosen(BandChoice band) {
    m_band = band;
    redraw();
}

void TwoRecordComparisonWindow::redraw() {
    m_chart->setChart(twoRecordChart(m_original, m_comparison, m_band, ChartMedium::Screen));
}

ComparisonPrintout TwoRecordComparisonWindow::printout() const {
    ComparisonPrintout p;
    p.kind = ComparisonKind::TwoRecord;
    p.records.append(printedRecordOf(m_original));
    if (m_comparison)
        p.records.append(printedRecordOf(*m_comparison));
    p.notes = comparisonChanges(m_original, m_comparison, m_scatter).paperLines();
    p.chart = twoRecordChart(m_original, m_comparison, m_band, ChartMedium::Paper);
    return p;
}

void TwoRecordComparisonWindow::printClicked() {
    if (!m_printing.print)
        return;
    // A job that did not go leaves no word of an earlier one that did.
    const QString status = m_printing.print(printout(), this);
    m_status->setText(status.isEmpty() ? u"请按 [加载数据] 键更改欲比对数据。"_s : status);
}

} // namespace orlu
