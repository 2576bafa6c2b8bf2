#include "records/listqueries.h"

#include "storage/database.h"
#include "storage/namesortkeys.h"

namespace orlu {

using namespace Qt::StringLiterals;

SubjectSortKey subjectSortKey(SubjectOrder order, const SqlDialect &dialect) {
    if (order.column == SubjectColumn::Name)
        return {nameOrderExpression(dialect), order.descending};
    const QString name = columnName(order.column);
    return {isTextColumn(order.column) ? dialect.folded(name) : name, order.descending};
}

QString subjectOrderBy(SubjectOrder order, const SqlDialect &dialect) {
    const SubjectSortKey key = subjectSortKey(order, dialect);
    const QString direction = key.descending ? u" DESC"_s : u" ASC"_s;
    return u"ORDER BY "_s + key.expression + direction + u", MKEY"_s + direction;
}

namespace {

// SQLite's NOCASE folds A-Z only.
char32_t foldAscii(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
}

} // namespace

PrefixRange nocasePrefixRange(const QString &prefix) {
    QList<uint> points = prefix.toUcs4();
    for (uint &p : points)
        p = foldAscii(p);
    PrefixRange range;
    range.low = QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), points.size());
    // The upper bound is the prefix with its last character raised by one; a last
    // character that cannot be raised is dropped and the one before it raised.
    while (!points.isEmpty()) {
        char32_t last = points.takeLast();
        if (last >= 0x10FFFF)
            continue;
        char32_t next = last + 1;
        if (next == 0xD800)
            next = 0xE000; // surrogates are not characters
        if (next >= U'A' && next <= U'Z')
            next = U'['; // folded texts hold no capitals: '[' follows '@' there
        points.append(next);
        range.high = QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), points.size());
        return range;
    }
    range.unbounded = true;
    return range;
}

} // namespace orlu
