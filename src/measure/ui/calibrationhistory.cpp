#include "measure/ui/calibrationhistory.h"

#include "charts/calibrationchart.h"
#include "charts/paintersurface.h"
#include "core/daycount.h"
#include "core/numberformat.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QTreeWidget>

namespace orlu {

using namespace Qt::StringLiterals;

// The calibration values over time, drawn as the chart's painting function draws them.
class CalibrationHistoryChart final : public QWidget {
public:
    explicit CalibrationHistoryChart(QWidget *parent)
        : QWidget(parent) {
        setObjectName(u"calibrationChart"_s);
        setMinimumSize(220, 110);
    }
    void setEntries(const QList<CalibrationEntry> &entries) {
        m_entries = entries;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        PainterSurface surface(painter, PainterSurface::screenFont());
        drawCalibrationChart(surface, rect(), m_entries);
    }

private:
    QList<CalibrationEntry> m_entries;
};

CalibrationHistory::CalibrationHistory(QWidget *parent)
    : QGroupBox(u"校准记录"_s, parent) {
    setObjectName(u"historyGroup"_s);
    m_chart = new CalibrationHistoryChart(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"historyList"_s);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(
        {u"日期"_s, u"时间"_s, u"结果"_s, u"标准电位值"_s, u"高电位值"_s, u"灵敏度"_s, u"原因"_s});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setMinimumHeight(110);
    m_reminderDays = new QSpinBox(this);
    m_reminderDays->setObjectName(u"reminderDaysBox"_s);
    m_reminderDays->setRange(0, CalibrationLog::MaxReminderDays);
    m_reminderDays->setSuffix(u" 天"_s);
    m_reminderDays->setSpecialValueText(u"不提醒"_s);
    m_reminderDays->setValue(CalibrationLog::DefaultReminderDays);
    m_reminderDays->setToolTip(u"距上次成功校准超过这个天数时，测量窗口的状态栏提醒校准。"_s);
    connect(m_reminderDays, &QSpinBox::editingFinished, this,
            [this] { emit reminderDaysChosen(m_reminderDays->value()); });
    auto *reminderRow = new QHBoxLayout;
    reminderRow->addWidget(new QLabel(u"校准提醒:"_s, this));
    reminderRow->addWidget(m_reminderDays);
    reminderRow->addStretch(1);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_chart, 1);
    lists->addWidget(m_list, 2);
    auto *column = new QVBoxLayout(this);
    column->addLayout(lists);
    column->addLayout(reminderRow);
}

void CalibrationHistory::setReminderDays(int days) {
    const QSignalBlocker quiet(m_reminderDays);
    m_reminderDays->setValue(days);
}

void CalibrationHistory::setEntries(const QList<CalibrationEntry> &entries) {
    m_chart->setEntries(entries);
    m_list->clear();
    // Newest first.
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        const QDateTime when = fromDayCount(e->at);
        auto *item = new QTreeWidgetItem(
            m_list, {shortDate(when.date()), shortTime(when.time()), e->succeeded ? u"成功"_s : u"失败"_s,
                     QString::number(e->standardValue), QString::number(e->highValue),
                     formatFixed(e->sensitivity, 5, 2).trimmed() + u" /uA"_s, e->cause});
        item->setForeground(2, e->succeeded ? QColor(0, 128, 0) : QColor(255, 0, 0));
    }
    // Laid out at once, not on the view's timer: a calibration holds the event loop
    // until the probe is taken away, and its row is to show meanwhile.
    m_list->doItemsLayout();
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
}

} // namespace orlu
