#include "storage/sqldialect.h"

namespace orlu {

using namespace Qt::StringLiterals;

SqlDialect SqlDialect::of(const QSqlDatabase &db) {
    return SqlDialect(db.driverName() == driverName(Backend::Postgres) ? Backend::Postgres : Backend::Sqlite);
}

QString SqlDialect::folded(const QString &expr) const {
    // lower() under the "C" collation folds A-Z only and orders by code point, as NOCASE does.
    // An empty text stands for a missing one, so rows compare as pairs with their key.
    if (isServer())
        return u"lower(coalesce("_s + expr + u", '') COLLATE \"C\")"_s;
    return expr + u" COLLATE NOCASE"_s;
}

QString SqlDialect::equalsIgnoringCase(const QString &expr, const QString &value) const {
    if (isServer())
        return folded(expr) + u" = lower("_s + value + u")"_s;
    return folded(expr) + u" = "_s + value;
}

QString SqlDialect::asBytes(const QString &expr) const {
    if (isServer())
        return u"convert_to("_s + expr + u", 'UTF8')"_s;
    return u"CAST("_s + expr + u" AS BLOB)"_s;
}

QString SqlDialect::tableColumnsQuery() const {
    // The server keeps unquoted names in lower case.
    if (isServer())
        return u"SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() "
               "AND table_name = lower(?)"_s;
    return u"SELECT name FROM pragma_table_info(?)"_s;
}

QString driverName(Backend backend) {
    return backend == Backend::Postgres ? u"QPSQL"_s : u"QSQLITE"_s;
}

} // namespace orlu
