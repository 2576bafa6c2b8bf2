#include "measure/calibrationstanding.h"

#include "core/daycount.h"
#include "core/numberformat.h"
#include "core/settings.h"
#include "measure/calibration.h"
#include "measure/calibrationscale.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString whenText(double at) {
    const QDateTime when = fromDayCount(at);
    return shortDate(when.date()) + u' ' + shortTime(when.time());
}

bool holdsValuesOf(const Settings &s, const CalibrationEntry &e) {
    return s.standardCalibration == e.standardValue && s.highCalibration == e.highValue;
}

} // namespace

CalibrationEntry calibrationEntry(double at, int standardValue, int highValue, bool succeeded) {
    const QString cause = succeeded ? QString()
                                    : u"标准电位值 %1 低于 %2，检测棒的导电度过低"_s.arg(standardValue)
                                          .arg(CalibrationProcedure::MinimumStandard);
    return {at, u"标准+高电位"_s, standardValue, highValue, scaleOf(standardValue), succeeded, cause};
}

QString calibrationReminder(const QList<CalibrationEntry> &entries, double today, int days) {
    const std::optional<CalibrationEntry> last = lastSuccessful(entries);
    if (days == 0 || !last || std::floor(today) - std::floor(last->at) <= days)
        return {};
    return u"距上次成功校准已超过 %1 天，请先校准探测棒。"_s.arg(days);
}

CalibrationStanding::CalibrationStanding(const Settings &settings, const QList<CalibrationEntry> &entries)
    : m_settings(settings)
    , m_lastSuccess(lastSuccessful(entries)) {
    if (!entries.isEmpty() && !entries.last().succeeded)
        m_lastFailure = entries.last();
}

bool CalibrationStanding::failedValuesInForce() const {
    // A failed calibration's standard value is below the least a successful one has.
    return m_lastFailure && holdsValuesOf(m_settings, *m_lastFailure);
}

QString CalibrationStanding::since() const {
    if (!m_lastSuccess)
        return {};
    // Values other than the logged ones were calibrated where the log did not see it.
    return holdsValuesOf(m_settings, *m_lastSuccess) ? whenText(m_lastSuccess->at)
                                                     : m_settings.lastCalibrationDate;
}

QString CalibrationStanding::previousDate() const {
    return m_lastSuccess || failedValuesInForce() ? m_settings.lastCalibrationDate : QString();
}

QString CalibrationStanding::inForceText() const {
    const QString values = u"现用校准值：标准电位 %1、高电位 %2"_s.arg(
        formatThousands(m_settings.standardCalibration, 0), formatThousands(m_settings.highCalibration, 0));
    if (failedValuesInForce())
        return values + u"，来自 %1 失败的校准，请重新校准。"_s.arg(whenText(m_lastFailure->at));
    const QString from = since();
    QString text =
        values + (from.isEmpty() ? u"（尚无成功的校准记录）。"_s : u"，自 %1 起使用。"_s.arg(from));
    if (m_lastFailure)
        text += u"最近一次校准失败，其数值未采用。"_s;
    return text;
}

QString CalibrationStanding::failureNotice() const {
    if (!m_lastFailure)
        return {};
    const QString failedAt = whenText(m_lastFailure->at);
    if (failedValuesInForce())
        return u"现用校准值来自 %1 失败的校准，读数不可靠，请先重新校准。"_s.arg(failedAt);
    const QString from = since();
    return u"最近一次校准（%1）失败，测量仍使用%2的校准值。"_s.arg(
        failedAt, from.isEmpty() ? u"原有"_s : u" %1 "_s.arg(from));
}

QString calibrationNotice(const Settings &settings, const QString &logPath, double today) {
    if (logPath.isEmpty())
        return {};
    const CalibrationLog log(logPath);
    const QList<CalibrationEntry> entries = log.entries();
    QStringList notices{CalibrationStanding(settings, entries).failureNotice(),
                        calibrationReminder(entries, today, log.reminderDays())};
    notices.removeAll(QString());
    return notices.join(u' ');
}

} // namespace orlu
