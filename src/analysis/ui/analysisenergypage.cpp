#include "analysis/ui/analysisenergypage.h"

#include "analysis/analysis.h"
#include "analysis/ui/analysiswidgets.h"
#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "core/numberformat.h"
#include "quality/readingcaveats.h"
#include "core/displaycolumns.h"
#include "quality/verdicts.h"
#include "widgets/needlegauge.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int GaugeWidth = 76;
constexpr int GaugeHeight = 46;
constexpr int GridHeaderWidth = 52;
constexpr int GridCellWidth = 58;
constexpr int GridRowHeight = 20;

const std::array<QString, 5> &elementCaptions() {
    static const std::array<QString, 5> captions{u"[ 木 ] 肝、胆"_s, u"[ 火 ] 心、心包、小肠、三焦"_s,
                                                 u"[ 土 ] 脾、胃"_s, u"[ 金 ] 肺、大肠"_s,
                                                 u"[ 水 ] 肾、膀胱"_s};
    return captions;
}

const std::array<QString, 5> &stateCaptions() {
    static const std::array<QString, 5> captions{u"身体能量:"_s, u"精神状态比值:"_s, u"左右肌骨系统:"_s,
                                                 u"新陈代谢功能:"_s, u"自律神经平衡度:"_s};
    return captions;
}

constexpr std::array<int, 5> StateGaugeMaximum{180, 20, 20, 20, 40};

// The value grid's own header texts: the one-character names hold a full-width blank.
const std::array<QString, 12> &gridMeridianLabels() {
    static const std::array<QString, 12> labels = [] {
        std::array<QString, 12> l;
        for (int m = 1; m <= MeridianCount; ++m)
            l[static_cast<std::size_t>(m - 1)] = meridianCaption(m, NameSpacing::FullWidth);
        return l;
    }();
    return labels;
}

QTableWidgetItem *headerItem(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    item->setBackground(QColor(220, 220, 220));
    return item;
}

} // namespace

AnalysisEnergyPage::AnalysisEnergyPage(QWidget *parent)
    : QWidget(parent) {
    setObjectName(u"energyPage"_s);
    auto *group = new QGroupBox(u"体能及精神状况"_s, this);
    auto *left = new QVBoxLayout;
    left->addWidget(createSubjectBlock());
    left->addWidget(createElementBlock());
    left->addStretch();
    auto *columns = new QHBoxLayout(group);
    columns->setContentsMargins(6, 4, 6, 4);
    columns->addLayout(left);
    columns->addWidget(createStateBlock(), 1);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    page->setSpacing(4);
    page->addWidget(group, 1);
    page->addWidget(createValuePanel());
}

QWidget *AnalysisEnergyPage::createSubjectBlock() {
    auto *block = new QWidget(this);
    auto *grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    auto field = [&](const QString &caption, const QString &name, int row, int column) {
        grid->addWidget(makeLabel(caption, block), row, column);
        QLabel *value = makeValueLabel(name, block);
        grid->addWidget(value, row, column + 1);
        return value;
    };
    m_number = field(u"编号:"_s, u"numberLabel"_s, 0, 0);
    m_name = field(u"姓名:"_s, u"nameLabel"_s, 0, 2);
    m_birthDate = field(u"生日:"_s, u"birthDateLabel"_s, 1, 0);
    m_age = field(u"年龄:"_s, u"ageLabel"_s, 1, 2);
    m_telephone = field(u"电话:"_s, u"telephoneLabel"_s, 2, 0);
    m_sex = field(u"性别:"_s, u"sexLabel"_s, 2, 2);
    grid->addWidget(makeLabel(u"测量方式:"_s, block), 3, 0);
    m_potential = makeValueLabel(u"potentialLabel"_s, block);
    grid->addWidget(m_potential, 3, 1, 1, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    return block;
}

QWidget *AnalysisEnergyPage::createElementBlock() {
    auto *block = new QWidget(this);
    auto *grid = new QGridLayout(block);
    grid->setContentsMargins(0, 6, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    for (int i = 0; i < ElementCount; ++i) {
        ElementRow &row = m_elements[static_cast<std::size_t>(i)];
        grid->addWidget(makeLabel(elementCaptions()[static_cast<std::size_t>(i)], block), i, 0);
        row.mean = makeLabel({}, block, indexedName("elementMeanLabel", i));
        row.mean->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.mean->setMinimumWidth(36);
        row.distance = makeLabel({}, block, indexedName("elementDistanceLabel", i));
        row.distance->setMinimumWidth(50);
        row.gauge = makeIndicatorGauge(150, indexedName("elementGauge", i), block);
        row.gauge->setFixedSize(GaugeWidth, GaugeHeight);
        grid->addWidget(row.mean, i, 1);
        grid->addWidget(row.distance, i, 2);
        grid->addWidget(row.gauge, i, 3);
    }
    return block;
}

QWidget *AnalysisEnergyPage::createStateBlock() {
    auto *block = new QWidget(this);
    auto *grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    for (int i = 0; i < StateItemCount; ++i) {
        StateRow &row = m_states[static_cast<std::size_t>(i)];
        const int top = 2 * i;
        row.gauge = makeIndicatorGauge(StateGaugeMaximum[static_cast<std::size_t>(i)],
                                       indexedName("stateGauge", i), block);
        row.gauge->setFixedSize(GaugeWidth + 10, GaugeHeight + 8);
        grid->addWidget(row.gauge, top, 0, 2, 1);
        QLabel *caption = makeLabel(stateCaptions()[static_cast<std::size_t>(i)], block);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        grid->addWidget(caption, top, 1);
        row.sum = makeLabel({}, block, indexedName("stateSumLabel", i));
        row.value = makeLabel({}, block, indexedName("stateValueLabel", i));
        QFont valueFont = row.value->font();
        valueFont.setBold(true);
        row.value->setFont(valueFont);
        row.range = makeLabel({}, block, indexedName("stateRangeLabel", i));
        row.verdict = makeLabel({}, block, indexedName("stateVerdictLabel", i));
        grid->addWidget(row.sum, top, 2);
        grid->addWidget(row.value, top, 3);
        // The normal range leads the verdict on the row's second line.
        grid->addWidget(row.range, top + 1, 1);
        grid->addWidget(row.verdict, top + 1, 2, 1, 2);
        grid->setRowMinimumHeight(top + 1, 22);
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2 * StateItemCount, 1);
    return block;
}

QWidget *AnalysisEnergyPage::createValuePanel() {
    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);

    auto *titles = new QHBoxLayout;
    QLabel *title = makeLabel(u"经络能量测定值"_s, panel);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    titles->addWidget(title);
    titles->addWidget(makeLabel(u"Meridians Energy Value"_s, panel));
    titles->addStretch();
    titles->addWidget(makeLabel(u"测量日期:"_s, panel));
    m_date = makeValueLabel(u"measureDateLabel"_s, panel);
    m_date->setMinimumWidth(90);
    titles->addWidget(m_date);
    titles->addSpacing(8);
    titles->addWidget(makeLabel(u"测量时间:"_s, panel));
    m_time = makeValueLabel(u"measureTimeLabel"_s, panel);
    m_time->setMinimumWidth(70);
    titles->addWidget(m_time);
    layout->addLayout(titles);

    // "手  部" over columns 1..6, "足  部" over 7..12.
    auto *limbs = new QHBoxLayout;
    limbs->setSpacing(0);
    limbs->addSpacing(GridHeaderWidth + 1);
    for (const QString &text : {u"手  部"_s, u"足  部"_s}) {
        QLabel *limb = makeLabel(text, panel);
        limb->setAlignment(Qt::AlignCenter);
        limb->setFixedWidth(6 * GridCellWidth);
        limb->setFrameStyle(QFrame::Panel | QFrame::Raised);
        limbs->addWidget(limb);
    }
    limbs->addStretch();
    layout->addLayout(limbs);

    m_grid = new QTableWidget(3, 13, panel);
    m_grid->setObjectName(u"valueGrid"_s);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setColumnWidth(0, GridHeaderWidth);
    for (int column = 1; column <= 12; ++column)
        m_grid->setColumnWidth(column, GridCellWidth);
    for (int row = 0; row < 3; ++row)
        m_grid->setRowHeight(row, GridRowHeight);
    m_grid->setFixedSize(GridHeaderWidth + 12 * GridCellWidth + 2 * m_grid->frameWidth(),
                         3 * GridRowHeight + 2 * m_grid->frameWidth());
    m_grid->setItem(0, 0, headerItem({}));
    for (int m = 1; m <= MeridianCount; ++m)
        m_grid->setItem(0, m, headerItem(gridMeridianLabels()[static_cast<std::size_t>(m - 1)]));
    m_grid->setItem(1, 0, headerItem(u"左　侧"_s));
    m_grid->setItem(2, 0, headerItem(u"右　侧"_s));
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column <= 12; ++column) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            m_grid->setItem(row, column, item);
        }
    }
    layout->addWidget(m_grid);
    m_quality = makeLabel(QString(), panel);
    m_quality->setObjectName(u"qualityLabel"_s);
    // Many doubtful points make a long line: it wraps rather than being cut.
    m_quality->setWordWrap(true);
    m_quality->hide();
    layout->addWidget(m_quality);
    return panel;
}

void AnalysisEnergyPage::showAnalysis(const AnalysisResult &result, const CurrentMeasurement &measurement,
                                      const QDate &today) {
    showSubject(measurement, result, today);
    for (int i = 0; i < ElementCount; ++i) {
        const ElementIndicator &e = result.elements[static_cast<std::size_t>(i)];
        ElementRow &row = m_elements[static_cast<std::size_t>(i)];
        row.mean->setText(e.meanText);
        row.distance->setText(e.distanceText);
        showGauge(row.gauge, e.gauge, e.colour);
    }
    for (int i = 0; i < StateItemCount; ++i) {
        const StateIndicator &s = result.states[static_cast<std::size_t>(i)];
        StateRow &row = m_states[static_cast<std::size_t>(i)];
        row.sum->setText(s.sumText);
        row.value->setText(s.valueText);
        row.range->setText(s.normalRange);
        row.verdict->setText(s.verdictText);
        showGauge(row.gauge, s.gauge, s.colour);
    }
    showValues(measurement);
    QString quality = qualitySummary(measurement.quality);
    if (!unsteadyChannels(measurement.quality).isEmpty())
        quality += u"  ("_s + doubtfulMarkLegend() + u')';
    m_quality->setText(quality);
    m_quality->setVisible(!quality.isEmpty());
}

void AnalysisEnergyPage::showSubject(const CurrentMeasurement &measurement, const AnalysisResult &result,
                                     const QDate &today) {
    const Subject &subject = measurement.subject;
    m_number->setText(subject.number);
    m_name->setText(subject.name);
    // This window shows a birth date from day 4000 (1910-12-13) on, one day
    // earlier than the record lists count a birth date as given.
    const bool born = subject.birthDate >= BirthDateUnknownLimit;
    m_birthDate->setText(born ? shortDate(dateOfDayCount(subject.birthDate)) : QString());
    m_age->setText(born ? formatInt(ageInYears(subject.birthDate, today), 3) : QString());
    m_telephone->setText(subject.telephone);
    m_potential->setText(measurement.highPotential ? u"高电位 (扩大)"_s : u"标准电位 (正常)"_s);
    setTextColour(m_potential, measurement.highPotential ? QColor(255, 0, 0) : QColor(0, 128, 0));
    m_sex->setText(result.sexLabel);
    setTextColour(m_sex, toQColor(result.sexColour));
}

void AnalysisEnergyPage::showValues(const CurrentMeasurement &measurement) {
    for (int c = 1; c <= ChannelCount; ++c) {
        const GridCell cell = gridCellOfChannel(c);
        const double v = measurement.value(c);
        const bool doubtful = isDoubtful(measurement.quality, c);
        QTableWidgetItem *item = m_grid->item(cell.row, cell.column);
        item->setText(markedReading(v == 0.0 ? QString() : formatFixed(v, 4, 1), doubtful));
        item->setForeground(doubtful ? QColor(192, 96, 0) : QColor(Qt::black));
        item->setToolTip(doubtful ? verdictLabel(measurement.quality[size_t(c - 1)]->verdict) : QString());
    }
    const bool dated = measurement.measuredAt != 0.0;
    m_date->setText(dated ? measurementDateText(measurement.measuredAt) : QString());
    m_time->setText(dated ? measurementTimeText(measurement.measuredAt) : QString());
}

} // namespace orlu
