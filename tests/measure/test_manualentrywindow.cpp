#include "measure/ui/manualentrywindow.h"

#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "storage/database.h"
#include "records/measurementrepository.h"
#include "storage/schema.h"
#include "support/controls.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"
#include "widgets/valuegrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QToolButton>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(10, 0));

struct EntryRig {
    VirtualTime time{Now};
    ScriptedPrompter prompter;
    CurrentMeasurement measurement;
    std::unique_ptr<ManualEntryWindow> window;

    ManualEntryWindow &openNew() {
        window =
            std::make_unique<ManualEntryWindow>(ManualEntryWindow::NewEntry{measurement}, prompter, time);
        return show();
    }
    ManualEntryWindow &openModify(QSqlDatabase db, qint64 key, bool activate = true) {
        window = std::make_unique<ManualEntryWindow>(
            ManualEntryWindow::Modify{MeasurementRepository(db), key}, prompter, time);
        return show(activate);
    }
    ManualEntryWindow &show(bool activate = true) {
        window->show();
        if (!activate)
            return *window;
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the entry window did not become active");
        return *window;
    }
    template <typename T> T *child(const QString &name) const { return control<T>(window.get(), name); }
    ValueGrid *grid() const { return window->grid(); }
    void type(const QString &text) {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    void click(const QString &button) {
        QTest::mouseClick(child<QToolButton>(button + u"Button"_s), Qt::LeftButton);
    }
    bool clearEnabled() const { return window->action(u"clearAction"_s)->isEnabled(); }
};

struct TempDatabase {
    QTemporaryDir dir;
    Database db;
    TempDatabase() {
        const QString path = dir.path() + u"/orlu4.mdb"_s;
        QString error;
        if (!createDatabaseFile(path, SchemaKind::Main, &error) ||
            !db.open(path, Database::Access::Shared, &error))
            qWarning("cannot create the test database: %s", qPrintable(error));
    }
    qint64 add(double measuredAt, double value) {
        MeasurementRecord r;
        r.subjectNumber = u"S1"_s;
        r.measuredAt = measuredAt;
        r.highPotential = true;
        r.values.fill(value);
        r.memo = u"头痛\r\n失眠"_s;
        return MeasurementRepository(db.handle()).append(r);
    }
};

} // namespace

class TestManualEntryWindow : public QObject {
    Q_OBJECT
private slots:
    void enterRules_data();
    void enterRules();
    void unconvertibleCellIsKeptAndReported();
    void newEntryShowsTheCurrentMeasurement();
    void newEntryStores_data();
    void newEntryStores();
    void leavingDoesNotStore();
    void clearButton_data();
    void clearButton();
    void modifyModeShowsAndPostsTheRecord_data();
    void modifyModeShowsAndPostsTheRecord();
    void modifyModeWithAMissingRecord();
};

void TestManualEntryWindow::enterRules_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("nextRow");
    QTest::addColumn<int>("nextColumn");
    QTest::newRow("0.05 empties and stays") << 1 << 1 << u"0.05"_s << QString() << 1 << 1;
    QTest::newRow("250 caps and moves on") << 1 << 3 << u"250"_s << u"200.0"_s << 1 << 4;
    QTest::newRow("row 1 column 12 to row 2 column 1") << 1 << 12 << u"12"_s << u" 12.0"_s << 2 << 1;
    QTest::newRow("row 2 column 12 stays") << 2 << 12 << u"7"_s << u"  7.0"_s << 2 << 12;
    QTest::newRow("letters are dropped") << 1 << 2 << u"4a5"_s << u" 45.0"_s << 1 << 3;
}

void TestManualEntryWindow::enterRules() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, nextRow);
    QFETCH(int, nextColumn);
    EntryRig rig;
    rig.openNew();
    rig.grid()->setCursorCell(row, column);
    rig.type(typed);
    rig.enter();
    QCOMPARE(rig.grid()->cellText(row, column), shown);
    QCOMPARE(rig.grid()->cursorCell().row, nextRow);
    QCOMPARE(rig.grid()->cursorCell().column, nextColumn);
    QCOMPARE(rig.clearEnabled(), !shown.isEmpty());
    QVERIFY(rig.prompter.asked().isEmpty());
}

void TestManualEntryWindow::unconvertibleCellIsKeptAndReported() {
    EntryRig rig;
    rig.openNew();
    rig.grid()->setCursorCell(1, 5);
    rig.type(u"1.2.3"_s);
    rig.enter();
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteCaution);
    QVERIFY(rig.prompter.asked().first().text.contains(u"1.2.3"_s));
    QCOMPARE(rig.grid()->cellText(1, 5), u"1.2.3"_s);
    QCOMPARE(rig.grid()->cursorCell().column, 5);
    // Storing refuses too, and keeps the window open.
    rig.click(u"save"_s);
    QVERIFY(rig.window->isVisible());
    QVERIFY(!rig.measurement.hasData());
}

void TestManualEntryWindow::newEntryShowsTheCurrentMeasurement() {
    EntryRig rig;
    rig.measurement.setValue(1, 45.0);
    rig.measurement.setValue(20, 0.5);
    rig.measurement.highPotential = true;
    rig.measurement.memo = QStringList{u"第一行"_s, u"第二行"_s};
    rig.openNew();
    QCOMPARE(rig.window->windowTitle(), u"经络能量数据新增输入"_s);
    QCOMPARE(rig.child<QLabel>(u"headingLabel"_s)->text(), u"经络能量新增输入值"_s);
    QVERIFY(rig.child<QStatusBar>(u"statusBar"_s)->currentMessage().startsWith(u"新增一笔经络能量数据。"_s));
    QCOMPARE(rig.grid()->channelText(1), u"45.0"_s);
    QCOMPARE(rig.grid()->channelText(20), u"0.5"_s);
    QCOMPARE(rig.grid()->channelText(2), QString());
    QVERIFY(rig.child<QRadioButton>(u"highPotentialRadio"_s)->isChecked());
    QCOMPARE(rig.child<QPlainTextEdit>(u"memoEdit"_s)->toPlainText(), u"第一行\n第二行"_s);
    QVERIFY(rig.clearEnabled());
    // No date yet: new entry ticks the box and offers now.
    QVERIFY(rig.child<QCheckBox>(u"dateCheck"_s)->isChecked());
    QVERIFY(rig.child<QDateEdit>(u"datePicker"_s)->isEnabled());
    QCOMPARE(rig.child<QDateEdit>(u"datePicker"_s)->date(), Now.date());
    QCOMPARE(rig.grid()->cursorCell().row, 1);
    QCOMPARE(rig.grid()->cursorCell().column, 1);
    const QString shots = qEnvironmentVariable("ORLU_MEASURE_SHOTS");
    if (!shots.isEmpty())
        QVERIFY(rig.window->grab().save(shots + u"/manual-entry.png"_s));
}

void TestManualEntryWindow::newEntryStores_data() {
    QTest::addColumn<bool>("dated");
    QTest::newRow("dated") << true;
    QTest::newRow("no date") << false;
}

void TestManualEntryWindow::newEntryStores() {
    QFETCH(bool, dated);
    EntryRig rig;
    rig.measurement.recordKey = 31;
    rig.measurement.pointsSinceCounterUpdate = 4;
    rig.measurement.subject.number = u"C9"_s;
    rig.openNew();
    // Row 2, column 8 is channel 20, the right liver meridian.
    rig.grid()->setCursorCell(2, 8);
    rig.type(u"45"_s);
    rig.enter();
    rig.grid()->setCursorCell(1, 1);
    rig.type(u"12.5"_s);
    rig.enter();
    QTest::mouseClick(rig.child<QRadioButton>(u"highPotentialRadio"_s), Qt::LeftButton);
    rig.child<QCheckBox>(u"dateCheck"_s)->setChecked(dated);
    rig.child<QDateEdit>(u"datePicker"_s)->setDate(QDate(2025, 3, 4));
    rig.child<QTimeEdit>(u"timePicker"_s)->setTime(QTime(8, 30));
    rig.child<QPlainTextEdit>(u"memoEdit"_s)->setPlainText(u"眩晕\n乏力"_s);
    rig.click(u"save"_s);
    QVERIFY(!rig.window->isVisible());
    QCOMPARE(rig.window->result(), int(QDialog::Accepted));
    QCOMPARE(rig.measurement.value(20), 45.0);
    QCOMPARE(rig.measurement.correctedValue(20), 45.0 * 1.2424);
    QCOMPARE(rig.measurement.value(1), 12.5);
    QCOMPARE(rig.measurement.value(2), 0.0);
    QVERIFY(rig.measurement.highPotential);
    QCOMPARE(rig.measurement.measuredAt,
             dated ? toDayCount(QDateTime(QDate(2025, 3, 4), QTime(8, 30))) : 0.0);
    QCOMPARE(rig.measurement.memo, (QStringList{u"眩晕"_s, u"乏力"_s}));
    QCOMPARE(rig.measurement.recordKey, 31);
    QCOMPARE(rig.measurement.pointsSinceCounterUpdate, 4);
    QCOMPARE(rig.measurement.subject.number, u"C9"_s);
}

void TestManualEntryWindow::leavingDoesNotStore() {
    EntryRig rig;
    rig.openNew();
    rig.type(u"33"_s);
    rig.enter();
    rig.click(u"leave"_s);
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!rig.measurement.hasData());
}

void TestManualEntryWindow::clearButton_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestManualEntryWindow::clearButton() {
    QFETCH(bool, yes);
    EntryRig rig;
    rig.measurement.setValue(5, 20.0);
    rig.measurement.highPotential = true;
    rig.openNew();
    rig.prompter.answer(yes);
    rig.click(u"clear"_s);
    QCOMPARE(rig.prompter.asked().first().text, ManualEntryWindow::clearQuestion());
    QCOMPARE(rig.grid()->channelText(5), yes ? QString() : u"20.0"_s);
    QCOMPARE(rig.clearEnabled(), !yes);
    QCOMPARE(rig.child<QRadioButton>(u"standardPotentialRadio"_s)->isChecked(), yes);
    // Nothing reaches the measurement until it is stored.
    QCOMPARE(rig.measurement.value(5), 20.0);
}

void TestManualEntryWindow::modifyModeShowsAndPostsTheRecord_data() {
    QTest::addColumn<double>("storedDate");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("KYDATE 0") << 0.0 << false;
    QTest::newRow("dated record") << toDayCount(QDateTime(QDate(2024, 6, 1), QTime(9, 15))) << true;
}

void TestManualEntryWindow::modifyModeShowsAndPostsTheRecord() {
    QFETCH(double, storedDate);
    QFETCH(bool, ticked);
    TempDatabase store;
    const qint64 key = store.add(storedDate, 33.0);
    QVERIFY(key > 0);
    EntryRig rig;
    rig.openModify(store.db.handle(), key);
    QCOMPARE(rig.window->windowTitle(), u"经络能量数据修改"_s);
    QCOMPARE(rig.child<QLabel>(u"headingLabel"_s)->text(), u"经络能量修改值"_s);
    QCOMPARE(rig.grid()->channelText(24), u"33.0"_s);
    QVERIFY(rig.child<QRadioButton>(u"highPotentialRadio"_s)->isChecked());
    QCOMPARE(rig.child<QPlainTextEdit>(u"memoEdit"_s)->toPlainText(), u"头痛\n失眠"_s);
    QCOMPARE(rig.child<QCheckBox>(u"dateCheck"_s)->isChecked(), ticked);
    QCOMPARE(rig.child<QDateEdit>(u"datePicker"_s)->isEnabled(), ticked);
    QCOMPARE(rig.child<QTimeEdit>(u"timePicker"_s)->isEnabled(), ticked);
    QCOMPARE(rig.child<QDateEdit>(u"datePicker"_s)->date(), ticked ? QDate(2024, 6, 1) : Now.date());

    rig.grid()->setCursorCell(1, 7); // channel 13
    rig.type(u"88"_s);
    rig.enter();
    rig.click(u"save"_s);
    QVERIFY(!rig.window->isVisible());
    const auto record = MeasurementRepository(store.db.handle()).fetch(key);
    QVERIFY(record);
    QCOMPARE(record->values[12], 88.0);
    QCOMPARE(record->values[0], 33.0);
    QCOMPARE(record->measuredAt, storedDate);
    QCOMPARE(record->memo, u"头痛\r\n失眠"_s);
    QCOMPARE(record->subjectNumber, u"S1"_s);
    QVERIFY(!rig.measurement.hasData()); // the current measurement is not touched
}

void TestManualEntryWindow::modifyModeWithAMissingRecord() {
    TempDatabase store;
    EntryRig rig;
    rig.openModify(store.db.handle(), 4711, false);
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteError);
    QTRY_VERIFY(!rig.window->isVisible());
    QCOMPARE(rig.window->result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestManualEntryWindow)
#include "test_manualentrywindow.moc"
