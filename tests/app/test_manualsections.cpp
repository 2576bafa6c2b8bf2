#include "app/manualsections.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestManualSections : public QObject {
    Q_OBJECT
private slots:
    void sectionOfWindow_data();
    void sectionOfWindow();
    void manualFound_data();
    void manualFound();
};

void TestManualSections::sectionOfWindow_data() {
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<QString>("section");
    QTest::newRow("window with a section")
        << QStringList{u"analysisWindow"_s, u"mainWindow"_s} << u"analysis"_s;
    // A message box or the comparison selection tells about the window beneath it.
    QTest::newRow("message box over a window")
        << QStringList{u"messageBox"_s, u"measurementWindow"_s, u"mainWindow"_s} << u"measurement"_s;
    QTest::newRow("selection over the multi-record comparison")
        << QStringList{u"comparisonSelectionWindow"_s, u"multiComparisonWindow"_s, u"mainWindow"_s}
        << u"compare-multi"_s;
    QTest::newRow("no window the manual knows") << QStringList{u"someDialog"_s} << QString();
}

void TestManualSections::sectionOfWindow() {
    QFETCH(QStringList, windows);
    QFETCH(QString, section);
    QCOMPARE(manualSection(windows), section);
}

void TestManualSections::manualFound_data() {
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("page");
    const QString installed = u"/usr/share/doc/orlu/manual/index.html"_s;
    QTest::newRow("installed") << u"/usr/bin"_s << QStringList{installed} << u"trend"_s
                               << u"file:///usr/share/doc/orlu/manual/index.html#trend"_s;
    QTest::newRow("no section: the beginning") << u"/usr/bin"_s << QStringList{installed} << QString()
                                               << u"file:///usr/share/doc/orlu/manual/index.html"_s;
    // In a build tree the program is build/src/app/orlu.
    QTest::newRow("build tree") << u"/w/build/src/app"_s << QStringList{u"/w/build/manual/html/index.html"_s}
                                << u"trend"_s << u"file:///w/build/manual/html/index.html#trend"_s;
    QTest::newRow("installed before built")
        << u"/w/build/src/app"_s
        << QStringList{u"/w/build/src/share/doc/orlu/manual/index.html"_s,
                       u"/w/build/manual/html/index.html"_s}
        << u"trend"_s << u"file:///w/build/src/share/doc/orlu/manual/index.html#trend"_s;
    QTest::newRow("missing") << u"/usr/bin"_s << QStringList{} << u"trend"_s << QString();
}

void TestManualSections::manualFound() {
    QFETCH(QString, programDir);
    QFETCH(QStringList, present);
    QFETCH(QString, section);
    QFETCH(QString, page);
    const ManualLocation found =
        findManual(programDir, section, [&](const QString &path) { return present.contains(path); });
    QCOMPARE(found.page.toString(), page);
    // Named to the operator when nothing was found.
    QCOMPARE(found.installedPath, QDir::cleanPath(programDir + u"/../share/doc/orlu/manual/index.html"_s));
}

QTEST_GUILESS_MAIN(TestManualSections)
#include "test_manualsections.moc"
