#include "compare/ui/comparisonwindowparts.h"

#include "core/numberformat.h"
#include "core/displaycolumns.h"
#include "widgets/toolbuttons.h"
#include "widgets/valuelabel.h"
#include "widgets/statusbars.h"

#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

QToolButton *addComparisonButton(QToolBar *bar, const QString &objectName, const QString &text,
                                 const QString &hint, bool checkable) {
    QToolButton *button = addToolButton(bar, objectName, text, hint);
    button->setCheckable(checkable);
    button->setMinimumWidth(72);
    return button;
}

QStatusBar *comparisonStatusBar(QWidget *window, QLabel *&text) {
    QStatusBar *bar = makeStatusBar(window);
    text = addStatusText(bar, u"statusText"_s);
    return bar;
}

RecordDetailBlock::RecordDetailBlock(const QString &heading, const QString &objectName, DetailFormat format,
                                     QWidget *parent)
    : QWidget(parent)
    , m_format(std::move(format)) {
    setObjectName(objectName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!heading.isEmpty()) {
        auto *title = new QLabel(heading, this);
        title->setStyleSheet(u"font-weight: bold"_s);
        layout->addWidget(title);
    }
    auto *rows = new QFormLayout;
    rows->setContentsMargins(8, 0, 0, 0);
    const std::tuple<const char16_t *, QLabel **, const char16_t *> cells[] = {
        {u"编号:", &m_number, u"numberValue"}, {u"姓名:", &m_name, u"nameValue"},
        {u"体能:", &m_energy, u"energyValue"}, {u"电位:", &m_potential, u"potentialValue"},
        {u"日期:", &m_date, u"dateValue"},     {u"时间:", &m_time, u"timeValue"}};
    for (const auto &[caption, value, name] : cells) {
        *value =
            makeValueLabel(QString::fromUtf16(name), this, {.minimumWidth = 90, .frame = QFrame::NoFrame});
        rows->addRow(QString::fromUtf16(caption), *value);
    }
    layout->addLayout(rows);
    m_caveats = new QLabel(this);
    m_caveats->setObjectName(u"caveatsValue"_s);
    m_caveats->setWordWrap(true);
    m_caveats->setStyleSheet(u"color: rgb(192, 0, 0)"_s);
    m_caveats->hide();
    layout->addWidget(m_caveats);
}

void RecordDetailBlock::showRecord(const QString &number, const QString &name, double energyLevel,
                                   bool highPotential, double measuredAt, const QString &caveats) {
    m_number->setText(number);
    m_name->setText(name);
    m_energy->setText(formatFixed(energyLevel, m_format.energyWidth, m_format.energyDecimals));
    m_potential->setText(highPotential ? u"高电位"_s : m_format.standardPotential);
    m_potential->setStyleSheet(highPotential ? u"color: rgb(255, 0, 0)"_s : u"color: rgb(0, 128, 0)"_s);
    m_date->setText(measurementDateText(measuredAt));
    m_time->setText(measurementTimeText(measuredAt));
    m_caveats->setText(caveats);
    m_caveats->setVisible(!caveats.isEmpty());
}

void RecordDetailBlock::setEnergyToolTip(const QString &text) {
    m_energy->setToolTip(text);
}

void RecordDetailBlock::clear() {
    for (QLabel *label : {m_number, m_name, m_energy, m_potential, m_date, m_time, m_caveats})
        label->clear();
    m_caveats->hide();
}

} // namespace orlu
