#include "test_analysiswindow_fixture.h"

#include "core/daycount.h"
#include "courses/ui/coursepicture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

QCheckBox *option(const AnalysisFixture &fx, int position) {
    return fx.child<QCheckBox>(u"printOptionCheck"_s + QString::number(position));
}

// Clicks a check box or radio button on its indicator, where a click always lands.
void clickIndicator(QAbstractButton *b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// Types line by line; Return starts each further line.
void typeInto(QPlainTextEdit *box, const QString &text) {
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}

} // namespace

class TestAnalysisWindowClose : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_files.build()); }

    void editedRecordIsWrittenToItsRow();
    void unchangedRecordWritesNothing();
    void pastingCountsAsAnEdit();
    void recordOfUnsavedMeasurementStaysInMemory();
    void failedRecordWriteIsReported();
    void selectAllTakesTheFocusedBoxOnly();
    void defaultPrintOptions();
    void printOptionsRoundTrip_data();
    void printOptionsRoundTrip();
    void enablingRulesKeepTheCheck();
    void printWithoutPrinterSaysSo();
    void printHandsOverTheOptions();
    void previewGoesThroughTheHook();
    void savePdfWritesTheChosenFile_data();
    void savePdfWritesTheChosenFile();
    void coursePageShowsTheFirstCourse_data();
    void coursePageShowsTheFirstCourse();
    void launchButtonStartsTheTrimmedProgram();
    void noMatchingCourseLeavesPageEmpty();

private:
    SharedFiles m_files;
};

void TestAnalysisWindowClose::editedRecordIsWrittenToItsRow() {
    AnalysisFixture fx(m_files);
    fx.measurement.memo = {u"旧记录"_s};
    fx.measurement.recordKey = fx.storeMeasurement(u"旧记录"_s);
    fx.open();
    fx.showPage(7);
    auto *record = fx.child<QPlainTextEdit>(u"treatmentRecordEdit"_s);
    QCOMPARE(record->toPlainText(), u"旧记录"_s);
    QVERIFY(!fx.window->isRecordModified());
    typeInto(record, u"\nabc"_s);
    fx.close();
    QCOMPARE(fx.measurement.memo, QStringList({u"旧记录"_s, u"abc"_s}));
    QCOMPARE(fx.storedMemo(fx.measurement.recordKey).toString(), u"旧记录\r\nabc"_s);
}

void TestAnalysisWindowClose::unchangedRecordWritesNothing() {
    AnalysisFixture fx(m_files);
    fx.measurement.memo = {u"记录"_s};
    fx.measurement.recordKey = fx.storeMeasurement(u"记录"_s);
    fx.open();
    // Changed elsewhere meanwhile: a close without an edit must not overwrite it.
    QSqlQuery q(fx.mainDb.handle());
    QVERIFY(q.exec(u"UPDATE KYDATA SET MEMO1 = 'other' WHERE MKEY = "_s +
                   QString::number(fx.measurement.recordKey)));
    fx.close();
    QCOMPARE(fx.storedMemo(fx.measurement.recordKey).toString(), u"other"_s);
    QCOMPARE(fx.measurement.memo, QStringList({u"记录"_s}));
}

void TestAnalysisWindowClose::pastingCountsAsAnEdit() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.measurement.recordKey = fx.storeMeasurement({});
    fx.open();
    fx.showPage(3);
    fx.clickRow(u"differentiationList"_s, 5);
    const QString differentiation = fx.text(u"differentiationText"_s);
    const QString ryodoraku = fx.text(u"ryodorakuText"_s);
    QVERIFY(!ryodoraku.isEmpty());
    auto *paste = fx.child<QPushButton>(u"pasteButton3"_s);
    QVERIFY(!paste->isEnabled());
    fx.click(u"selectAllButton3"_s);
    QVERIFY(paste->isEnabled());
    fx.click(u"pasteButton3"_s);
    QVERIFY(!paste->isEnabled());
    QVERIFY(!fx.child<QPlainTextEdit>(u"differentiationText"_s)->textCursor().hasSelection());
    QVERIFY(fx.window->isRecordModified());
    const QString expected = u"\n"_s + differentiation + u"\n\n"_s + ryodoraku;
    QCOMPARE(fx.text(u"treatmentRecordEdit"_s), expected);
    fx.close();
    QCOMPARE(fx.storedMemo(fx.measurement.recordKey).toString(),
             QString(expected).replace(u"\n"_s, u"\r\n"_s));
}

void TestAnalysisWindowClose::recordOfUnsavedMeasurementStaysInMemory() {
    AnalysisFixture fx(m_files);
    const qint64 other = fx.storeMeasurement(u"别人的记录"_s);
    fx.open();
    typeInto(fx.child<QPlainTextEdit>(u"treatmentRecordEdit"_s), u"x"_s);
    fx.close();
    QCOMPARE(fx.measurement.memo, QStringList({u"x"_s}));
    QCOMPARE(fx.storedMemo(other).toString(), u"别人的记录"_s);
    QVERIFY(fx.prompter.asked().isEmpty());
}

void TestAnalysisWindowClose::failedRecordWriteIsReported() {
    AnalysisFixture fx(m_files);
    fx.measurement.memo = {u"旧"_s};
    fx.measurement.recordKey = fx.storeMeasurement(u"旧"_s);
    fx.open();
    typeInto(fx.child<QPlainTextEdit>(u"treatmentRecordEdit"_s), u"new"_s);
    // The database is gone by the time the window closes: the edit must not vanish silently.
    fx.mainDb.close();
    fx.close();
    QCOMPARE(fx.prompter.asked().size(), 1);
    QCOMPARE(fx.prompter.asked().first().type, MessageType::NoteError);
    QCOMPARE(fx.measurement.memo, QStringList({u"旧new"_s}));
}

void TestAnalysisWindowClose::selectAllTakesTheFocusedBoxOnly() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.open();
    QVERIFY(QTest::qWaitForWindowActive(fx.window.get()));
    fx.showPage(3);
    fx.clickRow(u"differentiationList"_s, 5);
    auto *ryodoraku = fx.child<QPlainTextEdit>(u"ryodorakuText"_s);
    ryodoraku->setFocus();
    QVERIFY(ryodoraku->hasFocus());
    fx.click(u"selectAllButton3"_s);
    QVERIFY(ryodoraku->textCursor().hasSelection());
    QVERIFY(!fx.child<QPlainTextEdit>(u"differentiationText"_s)->textCursor().hasSelection());
    fx.click(u"pasteButton3"_s);
    QCOMPARE(fx.text(u"treatmentRecordEdit"_s), u"\n"_s + ryodoraku->toPlainText());
}

void TestAnalysisWindowClose::defaultPrintOptions() {
    AnalysisFixture fx(m_files);
    QCOMPARE(fx.settings.printOptions.size(), 19);
    fx.open();
    QVERIFY(fx.child<QRadioButton>(u"briefRadio"_s)->isChecked());
    QVERIFY(fx.child<QRadioButton>(u"monoRadio"_s)->isChecked());
    QVERIFY(fx.child<QRadioButton>(u"normalFontRadio"_s)->isChecked());
    QList<int> checked;
    for (int p = 1; p <= PrintOptionCount; ++p) {
        // Not every position has a box on the page.
        if (QCheckBox *box = fx.window->findChild<QCheckBox *>(u"printOptionCheck"_s + QString::number(p));
            box && box->isChecked())
            checked << p;
    }
    QCOMPARE(checked, QList<int>({2, 3, 4}));
    QCOMPARE(option(fx, 2)->text(), u"经络测量数据数据"_s);
    QCOMPARE(option(fx, 3)->text(), u"经络虚实分析图-长条"_s);
    QCOMPARE(option(fx, 4)->text(), u"身体能量状态分析"_s);
    fx.close();
    QCOMPARE(fx.settings.printOptions, u"01110000000000000000"_s);
    QCOMPARE(fx.settingsSaves, 1);
}

void TestAnalysisWindowClose::printOptionsRoundTrip_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::newRow("all on") << u"11111111111111111111"_s << u"11111111111111111111"_s;
    QTest::newRow("short string") << u"1"_s << u"10000000000000000000"_s;
    QTest::newRow("empty") << QString() << u"00000000000000000000"_s;
    QTest::newRow("not a digit") << u"x1y1"_s << u"01010000000000000000"_s;
    QTest::newRow("longer string") << u"0000000000000000000011"_s << u"00000000000000000000"_s;
    // Dependent boxes keep their marks while the box that enables them is off.
    QTest::newRow("dependent without master") << u"00000000000000110"_s << u"00000000000000110000"_s;
}

void TestAnalysisWindowClose::printOptionsRoundTrip() {
    QFETCH(QString, stored);
    QFETCH(QString, written);
    AnalysisFixture fx(m_files);
    fx.settings.printOptions = stored;
    fx.open();
    fx.close();
    QCOMPARE(fx.settings.printOptions, written);
}

void TestAnalysisWindowClose::enablingRulesKeepTheCheck() {
    AnalysisFixture fx(m_files);
    fx.settings.printOptions = u"00001000000001111000"_s;
    fx.open();
    fx.showPage(8);
    QVERIFY(option(fx, 15)->isEnabled());
    QVERIFY(option(fx, 16)->isEnabled());
    clickIndicator(option(fx, 5));
    QVERIFY(!option(fx, 5)->isChecked());
    QVERIFY(!option(fx, 15)->isEnabled());
    QVERIFY(option(fx, 15)->isChecked());
    QVERIFY(option(fx, 16)->isEnabled());
    clickIndicator(option(fx, 14));
    QVERIFY(!option(fx, 16)->isEnabled());
    QVERIFY(option(fx, 16)->isChecked());
    fx.close();
    QCOMPARE(fx.settings.printOptions, u"00000000000000111000"_s);
}

void TestAnalysisWindowClose::printWithoutPrinterSaysSo() {
    AnalysisFixture fx(m_files);
    fx.open();
    fx.showPage(8);
    fx.click(u"printButton"_s);
    QCOMPARE(fx.prompter.asked().size(), 1);
    QCOMPARE(fx.prompter.asked().first().type, MessageType::NoteError);
    QVERIFY(fx.prompter.asked().first().text.contains(u"没有可用的打印机"_s));
}

void TestAnalysisWindowClose::printHandsOverTheOptions() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    std::optional<AnalysisPrintRequest> seen;
    int setups = 0;
    fx.printing.printReport = [&](const AnalysisPrintRequest &r, QWidget *) {
        seen = r;
        return QString();
    };
    fx.printing.printerSetup = [&](QWidget *) { ++setups; };
    fx.open();
    fx.showPage(8);
    clickIndicator(fx.child<QRadioButton>(u"detailedRadio"_s));
    fx.click(u"printerSetupButton"_s);
    QCOMPARE(setups, 1);
    fx.click(u"printButton"_s);
    QVERIFY(seen.has_value());
    QCOMPARE(printOptionString(seen->options), u"11110000000000000000"_s);
    QCOMPARE(seen->result, &fx.window->result());
    QCOMPARE(seen->multiCourseNames, QStringList({u"肺经实证调理"_s, u"体能保养"_s}));
    QVERIFY(fx.prompter.asked().isEmpty());
    // The report gets everything it prints from the window.
    const AnalysisReportInput &report = seen->report;
    QCOMPARE(printOptionString(report.options), u"11110000000000000000"_s);
    QCOMPARE(report.result, &fx.window->result());
    QCOMPARE(report.measurement, &fx.measurement);
    QVERIFY(report.texts);
    QCOMPARE(report.reportTitle, fx.settings.reportTitle);
    QCOMPARE(report.organisation, fx.settings.userData1);
    QCOMPARE(report.courses.size(), seen->courseNames.size());
}

void TestAnalysisWindowClose::previewGoesThroughTheHook() {
    AnalysisFixture fx(m_files);
    std::optional<AnalysisPrintRequest> seen;
    fx.printing.previewReport = [&](const AnalysisPrintRequest &r, QWidget *) { seen = r; };
    fx.open();
    fx.showPage(8);
    fx.click(u"printPreviewButton"_s);
    QVERIFY(seen.has_value());
    QCOMPARE(seen->report.result, &fx.window->result());
}

void TestAnalysisWindowClose::savePdfWritesTheChosenFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written");
    QTest::newRow("new file") << u"report.pdf"_s << true;
    QTest::newRow("missing folder") << u"gone/report.pdf"_s << false;
    QTest::newRow("cancelled") << QString() << false;
}

void TestAnalysisWindowClose::savePdfWritesTheChosenFile() {
    QFETCH(QString, name);
    QFETCH(bool, written);
    QTemporaryDir out;
    const QString path = name.isEmpty() ? QString() : out.filePath(name);
    AnalysisFixture fx(m_files);
    fx.measurement.measuredAt = toDayCount(QDateTime(QDate(2026, 3, 1), QTime(9, 30)));
    QString suggested;
    fx.printing.choosePdfFile = [&](const QString &offered, QWidget *) {
        suggested = offered;
        return path;
    };
    fx.open();
    fx.showPage(8);
    fx.click(u"savePdfButton"_s);
    QVERIFY(suggested.endsWith(u"/orlu-report-A0001-2026-03-01.pdf"_s));
    const QString status = fx.child<QLabel>(u"printStatus"_s)->text();
    QFile pdf(path);
    QCOMPARE(pdf.exists(), written);
    if (written) {
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QCOMPARE(status, u"报表已存为 "_s + QDir::toNativeSeparators(path));
    } else if (!path.isEmpty()) {
        // The cause follows the name.
        QVERIFY(status.startsWith(u"报表未能存为 "_s + QDir::toNativeSeparators(path) + u"："_s));
        QVERIFY(status.size() > status.indexOf(u"："_s) + 1);
    } else {
        QVERIFY(status.isEmpty());
    }
}

void TestAnalysisWindowClose::coursePageShowsTheFirstCourse_data() {
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<QString>("scaleText");
    QTest::newRow("stretched") << false << u"Fit"_s;
    QTest::newRow("own size") << true << u"Scale"_s;
}

void TestAnalysisWindowClose::coursePageShowsTheFirstCourse() {
    QFETCH(bool, scaled);
    QFETCH(QString, scaleText);
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.addUserCourse(u"不适用"_s, false, u"000001"_s); // lung deficiency: does not apply
    fx.addUserCourse(u" 肺经疗程 "_s, scaled, u"000002"_s);
    fx.addUserCourse(u"胃经疗程"_s, false, u"0000000000001"_s);
    fx.open();
    fx.showPage(6);
    QCOMPARE(AnalysisFixture::rows(fx.list(u"courseList"_s)), QStringList({u" 肺经疗程 "_s, u"胃经疗程"_s}));
    QCOMPARE(fx.selectedRow(u"courseList"_s), 0);
    QCOMPARE(fx.text(u"courseText"_s), u"疗程第一行\n疗程第二行"_s);
    QCOMPARE(fx.child<QLabel>(u"scaleLabel"_s)->text(), scaleText);
    auto *picture = fx.child<CoursePicture>(u"coursePicture"_s);
    QVERIFY(picture->isVisible());
    QCOMPARE(picture->imageSize(), QSize(40, 30));
    QCOMPARE(picture->ownSize(), scaled);
    const std::array<bool, 4> enabled{true, false, true, false};
    for (int k = 1; k <= 4; ++k) {
        auto *b = fx.child<QToolButton>(u"launchButton"_s + QString::number(k));
        QCOMPARE(b->isEnabled(), enabled[static_cast<std::size_t>(k - 1)]);
        QVERIFY(b->text().isEmpty());
    }
    QCOMPARE(fx.child<QToolButton>(u"launchButton1"_s)->toolTip(), u"播放影片"_s);
}

void TestAnalysisWindowClose::launchButtonStartsTheTrimmedProgram() {
    AnalysisFixture fx(m_files);
    fx.measurement.setAllValues(threeAbnormalMeridians());
    fx.addUserCourse(u"肺经疗程"_s, false, u"000002"_s);
    fx.launcher.files = {u"player.exe"_s, u"film.avi"_s};
    fx.open();
    fx.showPage(6);
    fx.click(u"launchButton1"_s);
    QCOMPARE(fx.launcher.programs.size(), 1);
    QCOMPARE(fx.launcher.programs.first().program, u"player.exe"_s);
    QCOMPARE(fx.launcher.programs.first().parameters, u"film.avi"_s);
    fx.click(u"launchButton3"_s);
    QCOMPARE(fx.launcher.documents, QStringList({u"https://example.org/"_s}));
}

void TestAnalysisWindowClose::noMatchingCourseLeavesPageEmpty() {
    AnalysisFixture fx(m_files);
    fx.addUserCourse(u"肺经疗程"_s, false, u"000002"_s);
    fx.open();
    fx.showPage(6);
    QCOMPARE(fx.list(u"courseList"_s)->count(), 0);
    QCOMPARE(fx.text(u"courseText"_s), u"没有符合的疗程"_s);
    QVERIFY(fx.child<CoursePicture>(u"coursePicture"_s)->isHidden());
    QCOMPARE(fx.child<QLabel>(u"scaleLabel"_s)->text(), QString());
    for (int k = 1; k <= 4; ++k)
        QVERIFY(!fx.child<QToolButton>(u"launchButton"_s + QString::number(k))->isEnabled());
}

QTEST_MAIN(TestAnalysisWindowClose)
#include "test_analysiswindow_close.moc"
