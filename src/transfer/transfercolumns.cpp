#include "transfer/transfercolumns.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

bool hasColumn(const QStringList &columns, const QString &name) {
    return columns.contains(name, Qt::CaseInsensitive);
}

bool isSkippable(const QString &table, const QString &column) {
    for (const QStringList &group : skippableGroups(table)) {
        if (group.contains(column))
            return true;
    }
    return false;
}

} // namespace

QList<ColumnDef> copiedColumns(const QString &table) {
    QList<ColumnDef> columns;
    for (const ColumnDef &c : tableDef(SchemaKind::Main, table).columns) {
        if (c.type != ColumnDef::AutoKey)
            columns.append(c);
    }
    return columns;
}

QList<QStringList> skippableGroups(const QString &table) {
    if (table.compare(u"KYPRO"_s, Qt::CaseInsensitive) == 0) {
        return {{u"ProFN"_s, u"ProScrp1"_s, u"ProScrp2"_s, u"ProScrp3"_s, u"ProScrp4"_s, u"ProPrg1"_s,
                 u"ProPrg2"_s, u"ProPrg3"_s, u"ProPrg4"_s, u"ProParm1"_s, u"ProParm2"_s, u"ProParm3"_s,
                 u"ProParm4"_s}};
    }
    if (table.compare(u"KYPRDT"_s, Qt::CaseInsensitive) == 0)
        return {{u"ProAGL"_s, u"ProAGH"_s}};
    return {};
}

QList<ColumnDef> columnsToCopy(const QString &table, const QStringList &sourceColumns) {
    QStringList dropped;
    for (const QStringList &group : skippableGroups(table)) {
        bool missing = false;
        for (const QString &column : group) {
            missing = missing || !hasColumn(sourceColumns, column);
            if (missing)
                dropped << column;
        }
    }
    QList<ColumnDef> columns;
    for (const ColumnDef &c : copiedColumns(table)) {
        const QString name = QString::fromLatin1(c.name);
        if (!dropped.contains(name) && hasColumn(sourceColumns, name))
            columns.append(c);
    }
    return columns;
}

QStringList missingColumns(const QString &table, const QStringList &sourceColumns) {
    QStringList missing;
    for (const ColumnDef &c : copiedColumns(table)) {
        const QString name = QString::fromLatin1(c.name);
        if (!isSkippable(table, name) && !hasColumn(sourceColumns, name))
            missing << name;
    }
    return missing;
}

} // namespace orlu
