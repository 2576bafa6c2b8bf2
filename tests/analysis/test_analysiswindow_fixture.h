#pragma once

#include "analysis/referencetextbuilder.h"
#include "analysis/textstore.h"
#include "analysis/ui/analysiswindow.h"
#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "core/settings.h"
#include "courses/coursestore.h"
#include "courses/suppliedcourses.h"
#include "storage/database.h"
#include "records/measurementrepository.h"
#include "storage/schema.h"
#include "support/controls.h"
#include "support/recordinglaunchport.h"
#include "support/scriptedprompter.h"
#include "support/temphome.h"
#include "support/virtualtime.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QtTest>

#include <memory>

// One analysis window over a temporary installation: a fresh main database,
// the shipped reference texts, a small supplied course set and a measurement.
namespace orlu::test {

using namespace Qt::StringLiterals;

inline const QDate Today(2026, 12, 9);

// Corrected values of 50 everywhere, except the listed channels.
inline std::array<double, 24> readingsFor(std::initializer_list<std::pair<int, double>> corrected) {
    std::array<double, 24> w;
    w.fill(50.0);
    for (const auto &[c, v] : corrected)
        w[static_cast<std::size_t>(c - 1)] = v;
    std::array<double, 24> readings{};
    for (int c = 1; c <= ChannelCount; ++c)
        readings[static_cast<std::size_t>(c - 1)] = w[static_cast<std::size_t>(c - 1)] / correctionFactor(c);
    return readings;
}

// Lung both excess (in all three lists), liver one excess one deficient (not a
// prescription row), stomach both deficient; the body energy stays 50.
inline std::array<double, 24> threeAbnormalMeridians() {
    return readingsFor({{1, 80}, {7, 80}, {14, 80}, {20, 20}, {18, 20}, {24, 20}});
}

// Two supplied courses: one for an excess lung, one for a normal body energy.
inline QByteArray suppliedCourseSourceForTests() {
    return R"({"courses": [
      {"ProNo": "T01", "ProName": "肺经实证调理", "ProData": ["肺经说明第一行", "第二行"],
       "ProMed1": "针灸一", "ProMed2": "汉方二", "ProMed3": "按摩三",
       "ProHel1": "营养素一", "ProHel2": "禁忌二", "ProHel3": "药膳三", "ProHel4": "花草茶四", "ProHel5": "按摩五",
       "conditions": [{"ProSubN": "肺经实证", "ProNote": "", "codes": {"6": 2}}]},
      {"ProNo": "T02", "ProName": "体能保养", "ProData": "体能保养说明",
       "ProMed1": "保养针灸", "ProMed2": "保养汉方", "ProMed3": "保养按摩", "ProHel1": "保养营养",
       "ProHel2": "保养禁忌", "ProHel3": "保养药膳", "ProHel4": "保养花草茶", "ProHel5": "保养按摩",
       "conditions": [{"ProSubN": "体能正常", "ProNote": "", "codes": {}, "must": [1]}]}
    ]})";
}

// Files every test of one executable shares; built once, opened read-only.
struct SharedFiles {
    QTemporaryDir dir;
    QString texts = dir.filePath(u"orluCn.mdb"_s);
    QString courses = dir.filePath(u"orluMCn.mdb"_s);

    bool build() {
        QString error;
        if (!buildReferenceTextDatabase(texts, shippedReferenceTextSource(), &error)) {
            qWarning("reference texts: %s", qPrintable(error));
            return false;
        }
        if (!buildSuppliedCoursesFrom(courses, suppliedCourseSourceForTests(), &error)) {
            qWarning("supplied courses: %s", qPrintable(error));
            return false;
        }
        return true;
    }
};

struct AnalysisFixture {
    TempHome home;
    Database mainDb;
    Database textDb;
    Database suppliedDb;
    // Built on the first opening, over the databases above.
    std::optional<MeasurementRepository> measurements;
    std::optional<CourseStore> courses;
    std::optional<CourseStore> suppliedCourses;
    std::optional<ReferenceTextStore> texts;
    CurrentMeasurement measurement;
    AnalysisViewState view;
    Settings settings = defaultSettings(Today);
    int settingsSaves = 0;
    ScriptedPrompter prompter;
    RecordingLaunchPort launcher;
    VirtualTime time{QDateTime(Today, QTime(10, 0))};
    AnalysisPrinting printing;
    std::unique_ptr<AnalysisWindow> window;

    explicit AnalysisFixture(const SharedFiles &files) {
        QString error;
        const QString mainPath = home.file(u"orlu4.mdb"_s);
        if (!createDatabaseFile(mainPath, SchemaKind::Main, &error) ||
            !mainDb.open(mainPath, Database::Access::Shared, &error) ||
            !textDb.open(files.texts, Database::Access::ReadOnly, &error) ||
            !suppliedDb.open(files.courses, Database::Access::ReadOnly, &error))
            qWarning("fixture: %s", qPrintable(error));
        measurement.setAllValues(readingsFor({}));
        measurement.subject.number = u"A0001"_s;
        measurement.subject.name = u"王小明"_s;
        measurement.subject.male = true;
    }

    AnalysisWindow &open() {
        if (!texts) {
            measurements.emplace(mainDb.handle());
            courses.emplace(mainDb.handle());
            suppliedCourses.emplace(suppliedDb.handle());
            texts.emplace(textDb.handle());
        }
        window = std::make_unique<AnalysisWindow>(AnalysisWindowServices{
            measurement, view, settings, [this] { ++settingsSaves; }, *measurements, *courses, *texts,
            [this]() -> const CourseStore * { return &*suppliedCourses; }, prompter, launcher, time,
            printing});
        window->show();
        return *window;
    }
    void close() {
        QTest::mouseClick(child<QAbstractButton>(u"closeButton"_s), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }
    void reopen() {
        close();
        open();
    }

    template <typename T> T *child(const QString &name) const { return test::control<T>(window.get(), name); }
    QListWidget *list(const QString &name) const { return child<QListWidget>(name); }
    QString text(const QString &box) const { return child<QPlainTextEdit>(box)->toPlainText(); }
    QTabWidget *tabs() const { return child<QTabWidget>(u"pageTabs"_s); }
    void showPage(int page) const { tabs()->setCurrentIndex(page); }
    void click(const QString &button) const {
        QTest::mouseClick(child<QAbstractButton>(button), Qt::LeftButton);
    }
    // Clicks a list row as the operator does.
    void clickRow(const QString &listName, int row) const {
        QListWidget *l = list(listName);
        const QRect r = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    }
    static int selectedRow(const QListWidget *l) {
        const QList<QListWidgetItem *> s = l->selectedItems();
        return s.isEmpty() ? -1 : l->row(s.first());
    }
    int selectedRow(const QString &listName) const { return selectedRow(list(listName)); }
    static QStringList rows(const QListWidget *l) {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }

    // A user course with a picture and two of its four launch buttons in use.
    void addUserCourse(const QString &name, bool scaled, const QString &cond) {
        CourseStore store(mainDb.handle());
        Course c;
        c.proNo = u"U"_s + QString::number(store.courses().size() + 1);
        c.name = name;
        c.description = u"疗程第一行\r\n疗程第二行"_s;
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        c.picture = png;
        c.scaled = scaled;
        c.launchFlags = u"1010"_s;
        c.hints = {u"播放影片"_s, u"二"_s, u"打开文件"_s, u"四"_s};
        c.programs = {u"  player.exe "_s, {}, {}, {}};
        c.parameters = {u" film.avi  "_s, {}, u"https://example.org/"_s, {}};
        QVERIFY(store.addCourse(c));
        Condition condition;
        condition.proNo = c.proNo;
        condition.name = u"条件"_s;
        condition.rule.cond = cond;
        QVERIFY(store.saveCondition(condition, c));
    }

    // A stored measurement row to write the treatment record to.
    qint64 storeMeasurement(const QString &memo) {
        QSqlQuery q(mainDb.handle());
        q.prepare(u"INSERT INTO KYDATA (CUSTNO, KYDATE, KYVOTA, MEMO1) VALUES (?, ?, ?, ?)"_s);
        q.addBindValue(measurement.subject.number);
        q.addBindValue(46000.5);
        q.addBindValue(false);
        q.addBindValue(memo);
        if (!q.exec())
            qWarning("insert: %s", qPrintable(q.lastError().text()));
        return q.lastInsertId().toLongLong();
    }
    QVariant storedMemo(qint64 key) const {
        QSqlQuery q(mainDb.handle());
        q.prepare(u"SELECT MEMO1 FROM KYDATA WHERE MKEY = ?"_s);
        q.addBindValue(key);
        if (!q.exec() || !q.next())
            return {};
        return q.value(0);
    }
};

} // namespace orlu::test
