#include "analysis/meridianlistsync.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestMeridianListSync : public QObject {
    Q_OBJECT
private slots:
    void choosingARowShowsItsMeridianInTheOtherLists_data();
    void choosingARowShowsItsMeridianInTheOtherLists();
};

namespace {

QList<ListRow> rows(std::initializer_list<int> keys) {
    QList<ListRow> out;
    for (int key : keys)
        out.append({QString::number(key), key});
    return out;
}

// "list:row" of each list to show, in order.
QString text(const QList<MeridianListSync::Show> &shows) {
    QStringList parts;
    for (const MeridianListSync::Show &s : shows)
        parts << u"%1:%2"_s.arg(s.list).arg(s.row);
    return parts.join(u' ');
}

} // namespace

// Differentiation lists meridians 3, 5, 8 and the state item 14; prescription
// only 5 and 8; diet 3, 5 and 8. `first` is a choice made before, as "list:row".
void TestMeridianListSync::choosingARowShowsItsMeridianInTheOtherLists_data() {
    QTest::addColumn<bool>("following");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shows");
    QTest::newRow("the others follow") << true << QString() << 0 << 1 << u"0:1 1:0 2:1"_s;
    QTest::newRow("a list without the meridian shows nothing")
        << true << QString() << 0 << 0 << u"0:0 1:-1 2:0"_s;
    QTest::newRow("from the shorter list") << true << QString() << 1 << 1 << u"1:1 0:2 2:2"_s;
    QTest::newRow("a state row stays alone") << true << QString() << 0 << 3 << u"0:3"_s;
    QTest::newRow("the same row again") << true << u"0:1"_s << 0 << 1 << QString();
    QTest::newRow("in step by another list's choice") << true << u"1:1"_s << 2 << 2 << QString();
    QTest::newRow("shown before following began") << true << u"-0:1"_s << 0 << 1 << u"0:1 1:0 2:1"_s;
    QTest::newRow("not following") << false << QString() << 0 << 1 << u"0:1"_s;
}

void TestMeridianListSync::choosingARowShowsItsMeridianInTheOtherLists() {
    QFETCH(bool, following);
    QFETCH(QString, first);
    QFETCH(int, list);
    QFETCH(int, row);
    QFETCH(QString, shows);
    MeridianListSync sync;
    sync.setLists(rows({3, 5, 8, 14}), rows({5, 8}), rows({3, 5, 8}));
    sync.setFollowing(following);
    // "-list:row" is a row shown without the others following.
    if (first.startsWith(u'-')) {
        const QStringList at = first.mid(1).split(u':');
        sync.setShown(at[0].toInt(), at[1].toInt());
    } else if (!first.isEmpty()) {
        const QStringList at = first.split(u':');
        sync.choose(at[0].toInt(), at[1].toInt());
    }
    QCOMPARE(text(sync.choose(list, row)), shows);
}

QTEST_GUILESS_MAIN(TestMeridianListSync)
#include "test_meridianlistsync.moc"
