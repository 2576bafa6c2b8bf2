#include "records/repeatpairs.h"

#include "storage/sqldialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace orlu {

using namespace Qt::StringLiterals;

QList<std::array<std::array<double, 24>, 2>> repeatPairs(const QSqlDatabase &db, double windowMinutes,
                                                         QString *error) {
    QStringList columns;
    for (const char *side : {"a", "b"}) {
        for (int c = 1; c <= 24; ++c)
            columns << u"%1.KY%2"_s.arg(QLatin1StringView(side)).arg(c);
    }
    // b follows a with nothing of the subject and mode between them; the subject
    // number is compared as the record lists' index holds it.
    const SqlDialect dialect = SqlDialect::of(db);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(
        u"SELECT "_s + columns.join(u", "_s) + u" FROM KYDATA a JOIN KYDATA b ON "_s +
        dialect.equalsIgnoringCase(u"b.CUSTNO"_s, u"a.CUSTNO"_s) +
        u" AND b.KYVOTA = a.KYVOTA AND (b.KYDATE > a.KYDATE OR (b.KYDATE = a.KYDATE AND b.MKEY > a.MKEY)) "
        "AND b.KYDATE - a.KYDATE <= ? WHERE a.CUSTNO <> '' AND NOT EXISTS (SELECT 1 FROM KYDATA m WHERE "_s +
        dialect.equalsIgnoringCase(u"m.CUSTNO"_s, u"a.CUSTNO"_s) +
        u" AND m.KYVOTA = a.KYVOTA AND m.MKEY <> a.MKEY AND m.MKEY <> b.MKEY "
        "AND m.KYDATE >= a.KYDATE AND m.KYDATE <= b.KYDATE)"_s);
    // Day counts hold minutes inexactly: a few milliseconds of grace.
    q.addBindValue(windowMinutes / (24.0 * 60.0) + 1e-7);
    QList<std::array<std::array<double, 24>, 2>> pairs;
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return pairs;
    }
    while (q.next()) {
        std::array<std::array<double, 24>, 2> pair{};
        for (int c = 0; c < 24; ++c) {
            pair[0][size_t(c)] = q.value(c).toDouble();
            pair[1][size_t(c)] = q.value(24 + c).toDouble();
        }
        pairs.append(pair);
    }
    return pairs;
}

} // namespace orlu
