#include "analysis/descramble.h"

#include "fuzz/descrambleharness.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

} // namespace

class TestDescramble : public QObject {
    Q_OBJECT
private slots:
    void pairsDecodeAgainstTheKeyAndThePreviousStoredPair_data();
    void pairsDecodeAgainstTheKeyAndThePreviousStoredPair();
    void invalidValuesReadEmpty_data();
    void invalidValuesReadEmpty();
    void roundTrip_data();
    void roundTrip();
    void zeroByteNeedsSeedFF();
    void gbkRoundTripsAndReportsWhatItCannotHold();
    void fuzzCorpus();
    void fuzzShortRun();
};

void TestDescramble::pairsDecodeAgainstTheKeyAndThePreviousStoredPair_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty") << QString() << QByteArray();
    // Seed 0x41; the pair XOR 'Q' (0x51) gives b.
    QTest::newRow("b equals seed gives 255") << u"4110"_s << bytes({255});
    QTest::newRow("b one above seed gives 1") << u"4113"_s << bytes({1});
    QTest::newRow("b one below seed gives 254") << u"4111"_s << bytes({254});
    QTest::newRow("lower case digits") << u"41ff"_s << bytes({0xAE - 0x41}) /* 0xFF ^ 0x51 = 0xAE */;
    QTest::newRow("odd trailing character ignored") << u"41103"_s << bytes({255});
    // Zero pairs after a zero seed give the key letters, so the 14th reuses letter 1.
    QTest::newRow("key cycles after 13 letters")
        << u"00"_s + u"00"_s.repeated(14) << QByteArray("QuietBlueFernQ");
    // The second byte is judged against the first stored pair (0x51), not the output (255) nor b (0).
    QTest::newRow("seed is the stored pair") << u"005175"_s << bytes({255, 255 - 0x51});
    QTest::newRow("14th pair chains on the 13th stored pair")
        << u"00"_s + u"00"_s.repeated(12) + u"2051"_s
        << QByteArray("QuietBlueFer") + bytes({0x4E, 255 - 0x20});
}

void TestDescramble::pairsDecodeAgainstTheKeyAndThePreviousStoredPair() {
    QFETCH(QString, stored);
    QFETCH(QByteArray, plain);
    QCOMPARE(descramble(stored), plain);
    QCOMPARE(descramble(stored.toUpper()), plain);
}

void TestDescramble::invalidValuesReadEmpty_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("one character") << u"4"_s;
    QTest::newRow("seed only") << u"41"_s;
    QTest::newRow("three characters") << u"411"_s;
    QTest::newRow("letter beyond F") << u"41G0"_s;
    QTest::newRow("blank inside") << u"41 10"_s;
    QTest::newRow("trailing blank") << u"4110 "_s;
    QTest::newRow("full-width digits") << u"４１１０"_s;
    QTest::newRow("bad trailing character") << u"4110z"_s;
}

void TestDescramble::invalidValuesReadEmpty() {
    QFETCH(QString, stored);
    QVERIFY(descramble(stored).isEmpty());
    const QByteArray latin = stored.toUtf8();
    QVERIFY(!descrambleHex(std::string_view(latin.constData(), static_cast<std::size_t>(latin.size()))));
}

void TestDescramble::roundTrip_data() {
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<int>("seed");
    const QByteArray chinese = toGbk(u"【肺经异常辩证】\r\n咳嗽、气喘，宜宣肺。"_s);
    for (int seed : {0, 1, 0x41, 0x80, 0xFE, 0xFF})
        QTest::addRow("chinese, seed %d", seed) << chinese << seed;
    QByteArray all;
    for (int b = 1; b <= 255; ++b)
        all.append(static_cast<char>(b));
    for (int seed : {0, 0x41, 0xFF})
        QTest::addRow("every byte but 0, seed %d", seed) << all << seed;
    QTest::newRow("empty text") << QByteArray() << 7;
}

void TestDescramble::roundTrip() {
    QFETCH(QByteArray, plain);
    QFETCH(int, seed);
    bool ok = false;
    const QString stored = scramble(plain, static_cast<std::uint8_t>(seed), &ok);
    QVERIFY(ok);
    if (plain.isEmpty()) {
        QVERIFY(stored.isEmpty());
    } else {
        QCOMPARE(stored.size(), 2 + 2 * plain.size());
        QCOMPARE(stored.left(2).toInt(nullptr, 16), seed);
    }
    QCOMPARE(descramble(stored), plain);
}

void TestDescramble::zeroByteNeedsSeedFF() {
    bool ok = true;
    scramble(bytes({0}), 0x41, &ok);
    QVERIFY(!ok);
    const QString stored = scramble(bytes({0}), 0xFF, &ok);
    QVERIFY(ok);
    QCOMPARE(descramble(stored), bytes({0}));
}

void TestDescramble::gbkRoundTripsAndReportsWhatItCannotHold() {
    QCOMPARE(toGbk(u"肺经"_s), QByteArray("\xB7\xCE\xBE\xAD"));
    QCOMPARE(fromGbk(QByteArray("\xB7\xCE\xBE\xAD")), u"肺经"_s);
    bool ok = true;
    toGbk(u"心经 😀"_s, &ok);
    QVERIFY(!ok);
    toGbk(u"心经（君火）"_s, &ok);
    QVERIFY(ok);
}

void TestDescramble::fuzzCorpus() {
    QDir dir(qEnvironmentVariable("ORLU_TEST_DATA") + u"/fuzz/descramble_corpus"_s);
    const QStringList files = dir.entryList(QDir::Files);
    QVERIFY(files.size() >= 5);
    for (const QString &name : files) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        fuzz::descrambleOne(reinterpret_cast<const std::uint8_t *>(data.constData()),
                            static_cast<std::size_t>(data.size()));
    }
}

// A short deterministic run over hex-heavy random inputs; the long runs use libFuzzer.
void TestDescramble::fuzzShortRun() {
    QRandomGenerator random(20240611);
    static const char alphabet[] = "0123456789abcdefABCDEF \x01\xff";
    for (int i = 0; i < 3000; ++i) {
        std::string input(random.bounded(0, 64), '0');
        for (char &ch : input)
            ch = random.bounded(100) < 97 ? alphabet[random.bounded(22)] : alphabet[22 + random.bounded(3)];
        fuzz::descrambleOne(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
    }
}

QTEST_GUILESS_MAIN(TestDescramble)
#include "test_descramble.moc"
