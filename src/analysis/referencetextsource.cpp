#include "analysis/referencetextsource.h"

#include <QSet>
#include <QStringList>

#include <optional>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

bool fail(QString *error, int line, const QString &message) {
    if (error)
        *error = u"第 %1 行: %2"_s.arg(line).arg(message);
    return false;
}

// Drops blank lines at both ends.
QString trimmedBlock(QStringList lines) {
    while (!lines.isEmpty() && lines.first().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

} // namespace

bool parseReferenceTextSource(const QString &source, QList<ReferenceRecord> *records, QString *error) {
    QList<ReferenceRecord> out;
    QSet<int> seenKeys;
    // An index, not a pointer: appending to the list may move its elements.
    qsizetype current = -1;
    std::optional<TextColumn> column;
    QStringList body;
    int lineNo = 0;

    const auto flush = [&]() {
        if (current >= 0 && column)
            out[current].texts.insert(*column, trimmedBlock(body));
        column.reset();
        body.clear();
    };

    QStringList lines = source.split(u'\n');
    for (QString line : lines) {
        ++lineNo;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u'#'))
            continue;
        if (!line.startsWith(u'@')) {
            if (line.startsWith(u'\\'))
                line.remove(0, 1);
            if (!column) {
                if (line.trimmed().isEmpty())
                    continue;
                return fail(error, lineNo, u"文字不属于任何栏位"_s);
            }
            body << line;
            continue;
        }
        flush();
        const qsizetype space = line.indexOf(u' ');
        const QString word = line.mid(1, space < 0 ? -1 : space - 1);
        const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
        if (word == u"record") {
            const QString keyText = rest.section(u' ', 0, 0);
            bool ok = false;
            const int key = keyText.toInt(&ok);
            if (!ok || key < 1 || key > ReferenceRecordCount)
                return fail(error, lineNo, u"记录编号无效: "_s + keyText);
            if (seenKeys.contains(key))
                return fail(error, lineNo, u"记录编号重复: "_s + keyText);
            seenKeys.insert(key);
            out.append(ReferenceRecord{key, rest.section(u' ', 1).trimmed(), {}});
            current = out.size() - 1;
            continue;
        }
        if (current < 0)
            return fail(error, lineNo, u"栏位出现在第一笔记录之前"_s);
        const ReferenceRecord &record = out[current];
        const auto c = textColumnFromName(word);
        if (!c)
            return fail(error, lineNo, u"未知的栏位: "_s + word);
        if (!columnUsedBy(record.key, *c))
            return fail(error, lineNo, u"记录 %1 不使用栏位 %2"_s.arg(record.key).arg(word));
        if (record.texts.contains(*c))
            return fail(error, lineNo, u"栏位重复: "_s + word);
        column = c;
        if (!rest.isEmpty())
            body << rest;
    }
    flush();

    for (int key = 1; key <= ReferenceRecordCount; ++key) {
        if (!seenKeys.contains(key))
            return fail(error, lineNo, u"缺少记录 %1"_s.arg(key));
    }
    for (const ReferenceRecord &r : out) {
        for (TextColumn c : textColumns()) {
            if (columnUsedBy(r.key, c) && !r.texts.contains(c))
                return fail(error, lineNo, u"记录 %1 缺少栏位 %2"_s.arg(r.key).arg(columnName(c)));
        }
    }
    if (records)
        *records = std::move(out);
    return true;
}

} // namespace orlu
