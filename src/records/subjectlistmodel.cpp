#include "records/subjectlistmodel.h"

#include "core/displaycolumns.h"
#include "records/listqueries.h"
#include "storage/namesortkeys.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// Order of the values a page read returns.
enum Field { FNumber, FName, FSex, FBirth, FAddress, FTel, FTel2, FTel3, FEmail };

} // namespace

SubjectListModel::SubjectListModel(QSqlDatabase db, const Clock &clock, QObject *parent)
    : KeyedListModel(std::move(db), u"KYCUST"_s,
                     {u"CUSTNO"_s, u"NAME"_s, u"SEX"_s, u"DBIRTH"_s, u"ADDR"_s, u"TEL"_s, u"TEL2"_s,
                      u"TEL3"_s, u"EMAIL"_s},
                     parent)
    , m_clock(clock)
    , m_titles{u"Index"_s, u"编号"_s, u"姓名"_s,   u"性别"_s,     u"生日"_s, u"年龄"_s,
               u"电话"_s,  u"地址"_s, u"E-MAIL"_s, u"行动电话"_s, u"传真"_s} {}

bool SubjectListModel::open(SubjectOrder order) {
    m_order = order;
    const SqlDialect dialect = SqlDialect::of(database());
    // A file gives all its keys in a moment; a server's travel over the network, so only those shown.
    if (dialect.isServer()) {
        const SubjectSortKey key = subjectSortKey(m_order, dialect);
        return loadPaged({u"KYCUST"_s, key.expression, key.descending});
    }
    // By name the side table's index gives the order at once, once subjects added
    // meanwhile (an import, another program) have their keys.
    if (m_order.column == SubjectColumn::Name && refreshNameSortKeys(database(), KeyCheck::Quick) &&
        loadKeys(nameListQuery(m_order.descending), {}))
        return true;
    return loadKeys(u"SELECT MKEY FROM KYCUST "_s + subjectOrderBy(m_order, SqlDialect::of(database())), {});
}

std::optional<Subject> SubjectListModel::subjectAt(int row) const {
    const QVariantList *v = rowValues(row);
    if (!v)
        return std::nullopt;
    Subject s;
    s.number = v->at(FNumber).toString();
    s.name = v->at(FName).toString();
    s.male = v->at(FSex).toBool();
    s.birthDate = v->at(FBirth).toDouble();
    s.address = v->at(FAddress).toString();
    s.telephone = v->at(FTel).toString();
    s.telephone2 = v->at(FTel2).toString();
    s.telephone3 = v->at(FTel3).toString();
    s.email = v->at(FEmail).toString();
    return s;
}

int SubjectListModel::locatePrefix(SubjectColumn column, const QString &text) const {
    if (rowCount() == 0)
        return -1;
    const PrefixRange range = nocasePrefixRange(text);
    if (range.unbounded)
        return 0;
    const SqlDialect dialect = SqlDialect::of(database());
    const QString col = dialect.folded(columnName(column));
    QSqlQuery q(database());
    // The sort key comes along, so a paged list finds the row's place without reading it again.
    q.prepare(u"SELECT MKEY, "_s + subjectSortKey(m_order, dialect).expression + u" FROM KYCUST WHERE "_s +
              col + u" >= ? AND "_s + col + u" < ? "_s + subjectOrderBy(m_order, dialect) + u" LIMIT 1"_s);
    q.addBindValue(range.low);
    q.addBindValue(range.high);
    return rowOfFirstKey(q);
}

int SubjectListModel::locateNumber(const QString &number) const {
    if (rowCount() == 0)
        return -1;
    const SqlDialect dialect = SqlDialect::of(database());
    QSqlQuery q(database());
    q.prepare(u"SELECT MKEY, "_s + subjectSortKey(m_order, dialect).expression + u" FROM KYCUST WHERE "_s +
              dialect.equalsIgnoringCase(u"CUSTNO"_s) + u" "_s + subjectOrderBy(m_order, dialect) +
              u" LIMIT 1"_s);
    q.addBindValue(number);
    return rowOfFirstKey(q);
}

int SubjectListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool SubjectListModel::isNumberColumn(int column) const {
    return column == Age;
}

QVariant SubjectListModel::cellValue(int column, const QVariantList &values) const {
    switch (column) {
    case Number:
        return values.at(FNumber);
    case Name:
        return values.at(FName);
    case Sex:
        return sexText(values.at(FSex).toBool());
    case BirthDate:
        return birthDateText(values.at(FBirth).toDouble());
    case Age:
        return ageText(values.at(FBirth).toDouble(), m_clock.now().date());
    case Telephone:
        return values.at(FTel);
    case Address:
        return values.at(FAddress);
    case Email:
        return values.at(FEmail);
    case Mobile:
        return values.at(FTel2);
    case Fax:
        return values.at(FTel3);
    default:
        return {};
    }
}

QStringList SubjectListModel::columnTitles() const {
    return m_titles;
}

} // namespace orlu
