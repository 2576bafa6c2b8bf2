#include "core/displaycolumns.h"

#include "core/daycount.h"
#include "core/numberformat.h"

#include <QRegularExpression>

namespace orlu {

using namespace Qt::StringLiterals;

QString sexText(bool male) {
    return male ? u"男"_s : u"女"_s;
}

QString panelSexText(bool male) {
    return male ? u"男性"_s : u"女性"_s;
}

QString birthDateText(double dbirth) {
    return birthDateGiven(dbirth) ? shortDate(dateOfDayCount(dbirth)) : QString();
}

QString ageText(double dbirth, const QDate &today) {
    return birthDateGiven(dbirth) ? formatInt(ageInYears(dbirth, today), 3) : QString();
}

QString measurementDateText(double kydate) {
    return shortDate(dateOfDayCount(kydate));
}

QString measurementTimeText(double kydate) {
    return shortTime(fromDayCount(kydate).time());
}

QString potentialText(bool high) {
    return high ? u"高电位"_s : u"标准"_s;
}

QString channelValueText(double value) {
    return formatHash(value);
}

QString countText(int subjects, int measurements) {
    return formatInt(subjects, 6) + u"  -  [ "_s + formatInt(measurements, 6).trimmed() + u" ]"_s;
}

QString joinMemoLines(const QStringList &lines) {
    return lines.join(u"\r\n"_s);
}

QStringList splitMemoLines(const QString &text) {
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    return text.split(lineBreak);
}

QString memoFromBoxText(const QString &boxText) {
    return joinMemoLines(splitMemoLines(boxText));
}

QString memoToBoxText(const QString &stored) {
    return splitMemoLines(stored).join(u'\n');
}

} // namespace orlu
