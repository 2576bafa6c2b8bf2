#include "records/sortcode.h"

#include <cstdlib>

namespace orlu {

using namespace Qt::StringLiterals;

SubjectOrder SubjectOrder::fromCode(int code) {
    if (code == 0 || std::abs(code) > 9)
        return {};
    return {SubjectColumn(std::abs(code)), code < 0};
}

int SubjectOrder::code() const {
    return descending ? -int(column) : int(column);
}

SubjectOrder SubjectOrder::fromBoxes(int columnIndex, bool descending) {
    if (columnIndex < 0 || columnIndex >= 9)
        return {SubjectColumn::Number, descending};
    return {SubjectColumn(columnIndex + 1), descending};
}

int SubjectOrder::columnIndex() const {
    return int(column) - 1;
}

QString columnName(SubjectColumn column) {
    switch (column) {
    case SubjectColumn::Number:
        return u"CUSTNO"_s;
    case SubjectColumn::Name:
        return u"NAME"_s;
    case SubjectColumn::Sex:
        return u"SEX"_s;
    case SubjectColumn::BirthDate:
        return u"DBIRTH"_s;
    case SubjectColumn::Telephone:
        return u"TEL"_s;
    case SubjectColumn::Address:
        return u"ADDR"_s;
    case SubjectColumn::Email:
        return u"EMAIL"_s;
    case SubjectColumn::Mobile:
        return u"TEL2"_s;
    case SubjectColumn::Fax:
        return u"TEL3"_s;
    }
    return u"CUSTNO"_s;
}

bool isTextColumn(SubjectColumn column) {
    return column != SubjectColumn::Sex && column != SubjectColumn::BirthDate;
}

QStringList sortColumnItems() {
    return {u"编号"_s, u"姓名"_s,   u"性别"_s,     u"生日"_s, u"电话"_s,
            u"地址"_s, u"e-Mail"_s, u"行动电话"_s, u"传真"_s};
}

QStringList sortDirectionItems() {
    return {u"递增"_s, u"递减"_s};
}

SubjectColumn savingSearchColumn(SubjectOrder order) {
    switch (order.column) {
    case SubjectColumn::Number:
        return SubjectColumn::Number;
    case SubjectColumn::Name:
        return SubjectColumn::Name;
    case SubjectColumn::Telephone:
        return SubjectColumn::Telephone;
    default:
        return SubjectColumn::Address;
    }
}

SubjectColumn readingSearchColumn(SubjectOrder order) {
    const SubjectColumn c = order.column;
    return isTextColumn(c) ? c : SubjectColumn::Fax;
}

QString subjectText(const Subject &subject, SubjectColumn column) {
    switch (column) {
    case SubjectColumn::Number:
        return subject.number;
    case SubjectColumn::Name:
        return subject.name;
    case SubjectColumn::Telephone:
        return subject.telephone;
    case SubjectColumn::Address:
        return subject.address;
    case SubjectColumn::Email:
        return subject.email;
    case SubjectColumn::Mobile:
        return subject.telephone2;
    case SubjectColumn::Fax:
        return subject.telephone3;
    case SubjectColumn::Sex:
    case SubjectColumn::BirthDate:
        break;
    }
    return {};
}

} // namespace orlu
