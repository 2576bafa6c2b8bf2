// "orlu-cli report": the printed report without a window, as PDF and recorded operations.
#include "cli/generatecommand.h"
#include "cli/reportcommand.h"
#include "core/settings.h"
#include "core/version.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/pipereader.h"
#include "support/temphome.h"
#include "support/commandrun.h"

#include <QFile>
#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

using Run = test::CommandRun;

Run report(const QStringList &args) {
    return test::runCommand(runReportCommand, args);
}

QStringList readings() {
    QStringList v;
    for (int c = 1; c <= 24; ++c)
        v << QString::number(30 + (c * 7) % 40);
    return v;
}

QList<QJsonObject> opsOf(const QString &lines) {
    QList<QJsonObject> ops;
    for (const QString &line : lines.split(u'\n', Qt::SkipEmptyParts))
        ops.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return ops;
}

const QJsonObject *textOp(const QList<QJsonObject> &ops, const QString &text) {
    for (const QJsonObject &op : ops) {
        if (op.value(u"op"_s) == u"text"_s && op.value(u"text"_s) == text)
            return &op;
    }
    return nullptr;
}

} // namespace

class TestReportCommand : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(createDatabaseFile(m_home.file(u"orluCn.mdb"_s), SchemaKind::ReferenceTexts));
        QTextStream out(stdout);
        QString ignored;
        QTextStream err(&ignored);
        QCOMPARE(
            runGenerateRegisterCommand(
                {u"--home"_s, m_home.path(), u"--subjects"_s, u"2"_s, u"--measurements"_s, u"3"_s}, out, err),
            0);
    }

    void opsOfReadingsStartWithPageOne() {
        const Run r = report(QStringList{u"--home"_s, m_home.path(), u"--options"_s,
                                         u"01110000000000000000"_s, u"--readings"_s} +
                             readings());
        QCOMPARE(r.status, 0);
        const QList<QJsonObject> ops = opsOf(r.out);
        QVERIFY(ops.size() > 200);
        QCOMPARE(ops.first(), QJsonObject({{u"op"_s, u"page"_s}, {u"n"_s, 1}}));
        const QJsonObject *measuring = textOp(ops, u"测量方式:"_s);
        QVERIFY(measuring);
        QCOMPARE(measuring->value(u"size"_s).toDouble(), 10.0);
        QVERIFY(textOp(ops, u"经络虚实分析图-长条"_s));
        QVERIFY(!textOp(ops, u"经络虚实分析图-曲线"_s));
        QVERIFY(textOp(ops, u"身体能量:"_s));
    }

    void dpiAndPrintableSetTheRecordedPage() {
        const Run r = report(QStringList{u"--home"_s, m_home.path(), u"--options"_s, u"0"_s, u"--dpi"_s,
                                         u"300"_s, u"--printable"_s, u"2000x3000"_s, u"--readings"_s} +
                             readings());
        QCOMPARE(r.status, 0);
        const QList<QJsonObject> ops = opsOf(r.out);
        const QJsonObject *number = textOp(ops, u"第   1 页"_s);
        QVERIFY(number);
        QCOMPARE(number->value(u"y"_s).toInt(), 20);
        QVERIFY(number->value(u"x"_s).toInt() < 2000 - 20); // the print width is the printable 2000
        QVERIFY(number->value(u"x"_s).toInt() > 1700);
        const QJsonObject *version = textOp(ops, u"Quorix ORLU Version: 5"_s);
        QVERIFY(version);
        QCOMPARE(version->value(u"x"_s).toInt(), 118); // mm(10) at 300 dpi
    }

    void recordComesFromTheMainDatabase() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"report.pdf"_s);
        const QString ops = dir.filePath(u"report.jsonl"_s);
        const Run r = report({u"--home"_s, m_home.path(), u"--record"_s, u"1"_s, u"--options"_s,
                              u"01000000000000000000"_s, u"--pdf"_s, pdf, u"--ops"_s, ops});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(5), QByteArray("%PDF-"));
        QFile lines(ops);
        QVERIFY(lines.open(QIODevice::ReadOnly));
        const QList<QJsonObject> recorded = opsOf(QString::fromUtf8(lines.readAll()));
        QVERIFY(std::any_of(recorded.begin(), recorded.end(), [](const QJsonObject &op) {
            return op.value(u"text"_s).toString().startsWith(u"编号:  "_s) &&
                   op.value(u"text"_s).toString().size() > 5;
        }));
    }

    // A run cut off after 23 points is no whole measurement: the report refuses it rather than
    // analysing its missing point as 0 uA.
    void incompleteRecordIsRefused() {
        {
            Database db;
            QVERIFY(db.open(m_home.file(u"orlu4.mdb"_s), Database::Access::Shared));
            QVERIFY(QSqlQuery(db.handle()).exec(u"UPDATE KYDATA SET KY5 = 0 WHERE MKEY = 2"_s));
        }
        const Run r = report({u"--home"_s, m_home.path(), u"--record"_s, u"2"_s, u"--options"_s, u"0"_s});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"incomplete (1 of 24 points not measured)"_s), qPrintable(r.err));
    }

    // Kept for years: PDF/A-1b, every font inside the file, whom and when it is about, by whom and in
    // which language in its metadata.
    void reportPdfIsArchival() {
        const QString pdf = m_home.file(u"archival.pdf"_s);
        QCOMPARE(report({u"--home"_s, m_home.path(), u"--record"_s, u"1"_s, u"--pdf"_s, pdf}).status, 0);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("pdfaid:part=\"1\" pdfaid:conformance=\"B\""));
        const QByteArray creator = QByteArray("xmp:CreatorTool=\"O.R.L.U. ") + programVersion() + '"';
        QVERIFY(bytes.contains(creator));
        const QRegularExpression title(u"<rdf:li xml:lang=\"x-default\">O.R.L.U. 分析报表 受测者 T\\d+ "
                                       u"测量日期 \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d</rdf:li>"_s);
        QVERIFY(title.match(QString::fromUtf8(bytes)).hasMatch());
        const QString organisation = loadOrCreateSettings(m_home.file(settingsFileName()), QDate()).userData1;
        QVERIFY(!organisation.isEmpty());
        const QByteArray author =
            "<dc:creator>\n        <rdf:Seq>\n          <rdf:li>" + organisation.toUtf8();
        QVERIFY(bytes.contains(author));
        QVERIFY(bytes.contains("/Author <FEFF"));
        QVERIFY(bytes.contains("/Lang (zh-CN)"));
        QVERIFY(bytes.contains("<dc:language>\n        <rdf:Bag>\n          <rdf:li>zh-CN</rdf:li>"));
        // What an archive's validator says (Debian's libpdfbox2-java, scripts/install-deps).
        const QStringList jars{u"preflight"_s,       u"pdfbox2"_s,          u"fontbox2"_s, u"xmpbox"_s,
                               u"commons-logging"_s, u"javax.activation"_s, u"jaxb-api"_s};
        QStringList classPath;
        for (const QString &jar : jars)
            classPath << u"/usr/share/java/%1.jar"_s.arg(jar);
        if (std::all_of(classPath.begin(), classPath.end(),
                        [](const QString &p) { return QFile::exists(p); })) {
            QProcess preflight;
            preflight.start(u"java"_s, {u"-cp"_s, classPath.join(u':'),
                                        u"org.apache.pdfbox.preflight.Validator_A1b"_s, pdf});
            QVERIFY(preflight.waitForFinished(120000));
            const QByteArray verdict = preflight.readAllStandardOutput() + preflight.readAllStandardError();
            QVERIFY2(verdict.contains("is a valid PDF/A-1b file"), verdict.constData());
        }
        QProcess fonts;
        fonts.start(u"pdffonts"_s, {pdf});
        if (!fonts.waitForFinished())
            QSKIP("pdffonts (poppler-utils) is not installed");
        const QStringList rows =
            QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(rows.size() > 2);
        const qsizetype embedded = rows[0].indexOf(u" emb "_s) + 1;
        QVERIFY(embedded > 0);
        QStringList cjk;
        for (const QString &row : rows.mid(2)) { // after the heading and its rule
            // Embedded as subsets, named so with the tag their descriptors carry.
            QVERIFY2(row.mid(embedded, 7) == u"yes yes"_s, qPrintable(row));
            if (row.contains(u"CJK"_s))
                cjk << row.section(u' ', 0, 0).section(u'+', 1);
        }
        // Simplified Chinese glyph forms whatever the locale (the test runs under LANG=C).
        QCOMPARE(cjk, QStringList{u"NotoSansCJKsc-Regular"_s});
    }

    void badArgumentsAndUnknownRecords_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no source") << QStringList{u"--pdf"_s, u"x.pdf"_s} << u"either --record"_s;
        QTest::newRow("both sources")
            << (QStringList{u"--record"_s, u"1"_s, u"--readings"_s} + readings()) << u"either --record"_s;
        QTest::newRow("23 readings") << (QStringList{u"--readings"_s} + readings().mid(1))
                                     << u"expected 24 readings"_s;
        QTest::newRow("bad sex") << (QStringList{u"--readings"_s, u"--sex"_s, u"x"_s} + readings())
                                 << u"--sex must be male or female"_s;
        QTest::newRow("bad record") << QStringList{u"--record"_s, u"abc"_s}
                                    << u"--record needs a record key"_s;
        QTest::newRow("unknown record")
            << QStringList{u"--record"_s, u"999"_s} << u"no measurement record 999"_s;
        QTest::newRow("bad options") << (QStringList{u"--options"_s, u"01x"_s, u"--readings"_s} + readings())
                                     << u"--options needs"_s;
        QTest::newRow("bad dpi") << (QStringList{u"--dpi"_s, u"10"_s, u"--readings"_s} + readings())
                                 << u"--dpi"_s;
        QTest::newRow("bad printable")
            << (QStringList{u"--printable"_s, u"big"_s, u"--readings"_s} + readings()) << u"--printable"_s;
        QTest::newRow("bad birth") << (QStringList{u"--birth"_s, u"1.2.1980"_s, u"--readings"_s} + readings())
                                   << u"YYYY-MM-DD"_s;
        QTest::newRow("unknown option")
            << (QStringList{u"--colour"_s, u"--readings"_s} + readings()) << u"colour"_s;
    }
    void badArgumentsAndUnknownRecords() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = report(QStringList{u"--home"_s, m_home.path()} + args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    void unwritablePdfFails() {
        const Run r = report(QStringList{u"--home"_s, m_home.path(), u"--pdf"_s,
                                         u"/nonexistent-folder/r.pdf"_s, u"--readings"_s} +
                             readings());
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(u"cannot write /nonexistent-folder/r.pdf"_s));
    }

    // A pipe or /dev/null in the way stays what it is, and receives the whole PDF;
    // a new file is private to the operator.
    void pdfOntoSpecialAndNewFiles() {
        const QStringList args = QStringList{u"--home"_s, m_home.path(), u"--readings"_s} + readings();
        QCOMPARE(report(args + QStringList{u"--pdf"_s, u"/dev/null"_s}).status, 0);
        QVERIFY(!QFileInfo(u"/dev/null"_s).isFile());
        const QString pipe = m_home.file(u"report.pipe"_s);
        test::PipeReader reader(pipe);
        QVERIFY(reader.made());
        const Run piped = report(args + QStringList{u"--pdf"_s, pipe});
        QVERIFY2(piped.status == 0, qPrintable(piped.err));
        QVERIFY(reader.finish());
        QVERIFY(reader.received().startsWith("%PDF-"));
        QVERIFY(reader.received().trimmed().endsWith("%%EOF"));
        QVERIFY(!QFileInfo(pipe).isFile());
        const QString file = m_home.file(u"report.pdf"_s);
        QCOMPARE(report(args + QStringList{u"--pdf"_s, file}).status, 0);
        QCOMPARE(QFile::permissions(file) & 0x0077, QFileDevice::Permissions());
    }

private:
    test::TempHome m_home;
};

QTEST_MAIN(TestReportCommand)
#include "test_reportcommand.moc"
