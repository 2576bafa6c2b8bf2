#include "analysis/textstore.h"

#include "analysis/descramble.h"

#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace orlu {

ReferenceTextStore::ReferenceTextStore(QSqlDatabase db)
    : m_db(std::move(db)) {}

QVariant ReferenceTextStore::value(int key, const QString &column) const {
    // The column name comes from the fixed column list, never from input.
    QSqlQuery q(m_db);
    q.prepare(u"SELECT "_s + column + u" FROM KYMTDB WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0);
}

QString ReferenceTextStore::storedValue(int key, TextColumn column) const {
    return value(key, columnName(column)).toString();
}

QString ReferenceTextStore::text(int key, TextColumn column) const {
    QString t = fromGbk(descramble(storedValue(key, column)));
    // Stored texts may carry CR LF line ends; the text widgets and the report work with LF.
    t.replace(u"\r\n"_s, u"\n"_s);
    return t;
}

QByteArray ReferenceTextStore::picture(int key) const {
    return value(key, u"DtGpM"_s).toByteArray();
}

bool ReferenceTextStore::hasRecord(int key) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT 1 FROM KYMTDB WHERE MKEY = ?"_s);
    q.addBindValue(key);
    return q.exec() && q.next();
}

} // namespace orlu
