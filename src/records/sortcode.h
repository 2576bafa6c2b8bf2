#pragma once

#include "core/currentmeasurement.h"

#include <QString>
#include <QStringList>

// The subject lists share one order for the whole run: a column and a direction.
namespace orlu {

enum class SubjectColumn { Number = 1, Name, Sex, BirthDate, Telephone, Address, Email, Mobile, Fax };

struct SubjectOrder {
    SubjectColumn column = SubjectColumn::Number;
    bool descending = false;

    // The order as one signed code: its absolute value 1..9 is the column, a
    // negative code descends. A code outside +-1..9 gives the first column, ascending.
    static SubjectOrder fromCode(int code);
    int code() const;
    // The order of column box item `columnIndex` (0-based) and the direction box.
    static SubjectOrder fromBoxes(int columnIndex, bool descending);
    int columnIndex() const;

    bool operator==(const SubjectOrder &) const = default;
};

// "CUSTNO", "NAME", ...
QString columnName(SubjectColumn column);
bool isTextColumn(SubjectColumn column);

// Items of the column box ("编号" ...) and the direction box ("递增", "递减").
QStringList sortColumnItems();
QStringList sortDirectionItems();

// The column a search box searches: the saving window knows four, the reading window seven.
SubjectColumn savingSearchColumn(SubjectOrder order);
SubjectColumn readingSearchColumn(SubjectOrder order);

// The subject's text in a searchable column (empty for sex and birth date).
QString subjectText(const Subject &subject, SubjectColumn column);

} // namespace orlu
