#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Columns the record windows compute from stored columns when a row is shown.
namespace orlu {

QString sexText(bool male);      // Sex_S: "男" / "女"
QString panelSexText(bool male); // the saving window's panel: "男性" / "女性"
// DBIRTH_C: the date; empty for a birth date of day 4000 or less.
QString birthDateText(double dbirth);
// KYAGE: "%3d" of current year minus birth year; empty for day 4000 or less.
QString ageText(double dbirth, const QDate &today);
QString measurementDateText(double kydate); // KYDATE_C
QString measurementTimeText(double kydate); // KYDATE_T
QString potentialText(bool high);           // KYVOTA_C: "高电位" / "标准"
QString channelValueText(double value);     // "###.#"
// "%6.0d" subjects, "  -  [ ", trimmed "%6.0d" measurements, " ]".
QString countText(int subjects, int measurements);

// Memo columns hold their lines joined by CR LF.
QString joinMemoLines(const QStringList &lines);
QStringList splitMemoLines(const QString &text);
// A multi-line box's text in the stored form, and back.
QString memoFromBoxText(const QString &boxText);
QString memoToBoxText(const QString &stored);

} // namespace orlu
