#include "measure/measurementcommands.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestMeasurementCommands : public QObject {
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
};

namespace {

QString enabledNames(const MeasurementCommands &c) {
    const std::pair<bool, const char *> all[] = {{c.measure, "measure"},
                                                 {c.stop, "stop"},
                                                 {c.analysis, "analysis"},
                                                 {c.compare, "compare"},
                                                 {c.manualEntry, "manual"},
                                                 {c.save, "save"},
                                                 {c.read, "read"},
                                                 {c.clear, "clear"},
                                                 {c.leave, "leave"},
                                                 {c.choosePotential, "potential"},
                                                 {c.remeasureUnsteady, "remeasure"},
                                                 {c.repeat, "repeat"}};
    QStringList names;
    for (const auto &[on, name] : all)
        if (on)
            names << QString::fromLatin1(name);
    return names.join(u' ');
}

} // namespace

void TestMeasurementCommands::commands_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("canSave");
    QTest::addColumn<bool>("unsteady");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("running, unsteady, stored") << true << true << true << true << true << true << u"stop"_s;
    QTest::newRow("no data") << false << false << false << true << false << false
                             << u"measure manual read leave potential"_s;
    QTest::newRow("some points") << false << true << false << true << false << false
                                 << u"measure manual save read clear leave potential"_s;
    QTest::newRow("all points") << false << true << true << true << false << false
                                << u"measure analysis compare manual save read clear leave potential"_s;
    QTest::newRow("all points, no register")
        << false << true << true << false << false << false
        << u"measure analysis compare manual read clear leave potential"_s;
    QTest::newRow("unsteady points")
        << false << true << true << true << true << false
        << u"measure analysis compare manual save read clear leave potential remeasure"_s;
    QTest::newRow("stored measurement")
        << false << true << true << true << false << true
        << u"measure analysis compare manual save read clear leave potential repeat"_s;
}

void TestMeasurementCommands::commands() {
    QFETCH(bool, running);
    QFETCH(bool, hasData);
    QFETCH(bool, complete);
    QFETCH(bool, canSave);
    QFETCH(bool, unsteady);
    QFETCH(bool, stored);
    QFETCH(QString, enabled);
    QCOMPARE(enabledNames(measurementCommands({running, hasData, complete, canSave, unsteady, stored})),
             enabled);
}

QTEST_GUILESS_MAIN(TestMeasurementCommands)
#include "test_measurementcommands.moc"
