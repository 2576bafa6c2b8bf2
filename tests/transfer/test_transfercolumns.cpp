#include "transfer/transfercolumns.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QStringList names(const QList<ColumnDef> &columns) {
    QStringList n;
    for (const ColumnDef &c : columns)
        n << QString::fromLatin1(c.name);
    return n;
}

} // namespace

class TestTransferColumns : public QObject {
    Q_OBJECT
private slots:
    void keyIsNeverCopied();
    void groupStopsAtItsFirstMissingColumn_data();
    void groupStopsAtItsFirstMissingColumn();
    void requiredColumnsOutsideTheGroups();
};

void TestTransferColumns::keyIsNeverCopied() {
    for (const QString &t : RecordTables + CourseTables) {
        QVERIFY(!names(copiedColumns(t)).contains(u"MKEY"_s));
        QCOMPARE(names(copiedColumns(t)).size(), columnNames(tableDef(SchemaKind::Main, t)).size() - 1);
    }
}

void TestTransferColumns::groupStopsAtItsFirstMissingColumn_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QStringList>("notCopied");
    QTest::newRow("full course") << u"KYPRO"_s << QStringList{} << QStringList{};
    QTest::newRow("course without launch buttons")
        << u"KYPRO"_s << QStringList{u"ProFN"_s} << skippableGroups(u"KYPRO"_s).first();
    QTest::newRow("course missing a program: the rest of the group goes too")
        << u"KYPRO"_s << QStringList{u"ProPrg3"_s}
        << QStringList{u"ProPrg3"_s,  u"ProPrg4"_s,  u"ProParm1"_s,
                       u"ProParm2"_s, u"ProParm3"_s, u"ProParm4"_s};
    QTest::newRow("condition without upper age")
        << u"KYPRDT"_s << QStringList{u"ProAGH"_s} << QStringList{u"ProAGH"_s};
    QTest::newRow("condition without lower age: both go")
        << u"KYPRDT"_s << QStringList{u"ProAGL"_s} << QStringList{u"ProAGL"_s, u"ProAGH"_s};
}

void TestTransferColumns::groupStopsAtItsFirstMissingColumn() {
    QFETCH(QString, table);
    QFETCH(QStringList, absent);
    QFETCH(QStringList, notCopied);
    QStringList source;
    for (const QString &c : names(copiedColumns(table))) {
        if (!absent.contains(c))
            source << c.toLower(); // names compare without regard to letter case
    }
    QStringList expected = names(copiedColumns(table));
    for (const QString &c : notCopied)
        expected.removeAll(c);
    QCOMPARE(names(columnsToCopy(table, source)), expected);
    QVERIFY(missingColumns(table, source).isEmpty());
}

void TestTransferColumns::requiredColumnsOutsideTheGroups() {
    QStringList source = names(copiedColumns(u"KYDATA"_s));
    source.removeAll(u"KY12"_s);
    source.removeAll(u"PrtFG"_s);
    QCOMPARE(missingColumns(u"KYDATA"_s, source), (QStringList{u"KY12"_s, u"PrtFG"_s}));
}

QTEST_GUILESS_MAIN(TestTransferColumns)
#include "test_transfercolumns.moc"
