// Subjects are listed by name in pinyin order on both back ends, and the file's side
// table of sort keys follows whatever changed the subjects.
#include "recordfixture.h"
#include "storage/namesortkeys.h"
#include "records/subjectlistmodel.h"
#include "records/subjectrepository.h"

#include <QCollator>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// Surnames in code point order, with rare ones (䶮 from extension A, 𠀾 from extension B)
// among them; none has a surname reading of its own (see surnamesTakeTheirSurnameReading).
const QStringList Names{u"付强"_s, u"任平"_s, u"朱红"_s, u"李娜"_s, u"阿依"_s,
                        u"䶮"_s,   u"𠀾林"_s, u"王伟"_s, u"张伟"_s};

QStringList namesInListOrder(QSqlDatabase db, const test::VirtualTime &time, int sortCode = 2) {
    SubjectListModel m(db, time);
    QStringList out;
    if (!m.open(SubjectOrder::fromCode(sortCode)))
        return {m.lastError()};
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.subjectAt(r)->name;
    return out;
}

// The names as subjects N0, N1, ... stored as the program stores them.
bool addNames(QSqlDatabase db, const QStringList &names = Names) {
    SubjectRepository subjects(db);
    for (int i = 0; i < names.size(); ++i) {
        SubjectRecord r;
        r.subject = test::subjectOf(u"N%1"_s.arg(i), names[i]);
        if (!subjects.append(r))
            return false;
    }
    return true;
}

// The order the Chinese (China) collation gives.
QStringList collated(QStringList names) {
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return names;
}

} // namespace

class TestNameSortKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init() { ORLU_USE_BACKEND_OF_ROW(); }

    void namesInPinyinOrder() {
        test::RecordFixture f;
        QVERIFY(addNames(f.db()));
        const QStringList expected = collated(Names);
        // A few fixed points of pinyin order: fu, li, ren, wang, zhang, zhu.
        for (const auto &[before, after] : {std::pair{u"付强"_s, u"李娜"_s},
                                            {u"李娜"_s, u"任平"_s},
                                            {u"王伟"_s, u"张伟"_s},
                                            {u"张伟"_s, u"朱红"_s}})
            QVERIFY(expected.indexOf(before) < expected.indexOf(after));
        QCOMPARE(namesInListOrder(f.db(), f.time), expected);
        QStringList reversed = expected;
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(namesInListOrder(f.db(), f.time, -2), reversed);
    }

    // A name list reads a surname's first character with its surname reading: 曾 as zēng
    // among the z-names, not as céng before 陈.
    void surnamesTakeTheirSurnameReading_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("before");
        QTest::newRow("曾 zēng") << u"曾敏"_s << u"杨洋"_s << u"张伟"_s;
        QTest::newRow("单 shàn") << u"单雄"_s << u"沙河"_s << u"尚明"_s;
        QTest::newRow("仇 qiú") << u"仇英"_s << u"秦岚"_s << u"曲波"_s;
    }
    void surnamesTakeTheirSurnameReading() {
        QFETCH(QString, name);
        QFETCH(QString, after);
        QFETCH(QString, before);
        test::RecordFixture f;
        QVERIFY(addNames(f.db(), {before, name, u"陈红"_s, after}));
        const QStringList listed = namesInListOrder(f.db(), f.time);
        QVERIFY2(listed.indexOf(after) < listed.indexOf(name) &&
                     listed.indexOf(name) < listed.indexOf(before),
                 qPrintable(listed.join(u' ')));
    }

    // However the keys went stale, the next refresh puts the list right.
    void keysFollowOtherChanges_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("thorough");
        QTest::newRow("added by another program")
            << u"INSERT INTO KYCUST (CUSTNO, NAME) VALUES ('X', '艾青')"_s << false;
        QTest::newRow("renamed by another program")
            << u"UPDATE KYCUST SET NAME = '安然' WHERE CUSTNO = 'N5'"_s << true;
        QTest::newRow("deleted by another program") << u"DELETE FROM KYCUST WHERE CUSTNO = 'N2'"_s << true;
        QTest::newRow("collation version changed") << u"UPDATE KYCUST_SORTVER SET VERSION = 'old'"_s << false;
    }

    void keysFollowOtherChanges() {
        QFETCH(QString, change);
        QFETCH(bool, thorough);
        if (test::currentBackend() == Backend::Postgres)
            QSKIP("a server orders by its own collation");
        test::RecordFixture f;
        QVERIFY(addNames(f.db()));
        QVERIFY(refreshNameSortKeys(f.db(), KeyCheck::Thorough));
        QSqlQuery q(f.db());
        QVERIFY(q.exec(change));
        QVERIFY(refreshNameSortKeys(f.db(), thorough ? KeyCheck::Thorough : KeyCheck::Quick));
        QStringList names;
        QVERIFY(q.exec(u"SELECT NAME FROM KYCUST"_s));
        while (q.next())
            names << q.value(0).toString();
        QCOMPARE(namesInListOrder(f.db(), f.time), collated(names));
        QVERIFY(q.exec(u"SELECT VERSION FROM KYCUST_SORTVER"_s) && q.next());
        QCOMPARE(q.value(0).toString(), nameCollationVersion());
    }
};

QTEST_GUILESS_MAIN(TestNameSortKeys)
#include "test_namesortkeys.moc"
