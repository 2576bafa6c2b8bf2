#pragma once

#include "core/currentmeasurement.h"

#include <QString>
#include <QStringList>

// The subject lists share one sort code for the whole run: its absolute value
// 1..9 picks the column, its sign the direction (negative: descending).
namespace orlu {

enum class SubjectColumn { Number = 1, Name, Sex, BirthDate, Telephone, Address, Email, Mobile, Fax };

constexpr int DefaultSortCode = 1;

// A code outside +-1..9 falls back to the default.
int normalizedSortCode(int code);
SubjectColumn sortColumnOf(int code);
bool isDescending(int code);
// The code for column box item `columnIndex` (0-based) and the direction box.
int makeSortCode(int columnIndex, bool descending);
int columnIndexOf(int code);

// "CUSTNO", "NAME", ...
QString columnName(SubjectColumn column);
bool isTextColumn(SubjectColumn column);

// Items of the column box ("编号" ...) and the direction box ("递增", "递减").
QStringList sortColumnItems();
QStringList sortDirectionItems();

// The column a search box searches: the saving window knows four, the reading window seven.
SubjectColumn savingSearchColumn(int code);
SubjectColumn readingSearchColumn(int code);

// The subject's text in a searchable column (empty for sex and birth date).
QString subjectText(const Subject &subject, SubjectColumn column);

} // namespace orlu
