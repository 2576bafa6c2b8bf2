#include "generator/registergenerator.h"

#include "core/daycount.h"
#include "storage/database.h"
#include "storage/listindexes.h"
#include "records/measurementrepository.h"
#include "records/subjectrepository.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Surnames =
    u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"_s;
const QString Given =
    u"伟芳娜秀敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂英华玉萍红建文辉力志宏云峰鹏飞海波晨欣怡佳婷雪梅琳颖慧俊浩宇轩子涵"_s;
const QString Cities = u"北京上海广州深圳杭州南京成都武汉西安重庆天津苏州长沙郑州青岛厦门福州合肥济南昆明"_s;
const QString Streets = u"中山人民解放建设和平胜利新华光明文化长江黄河东风"_s;

QString pick(const QString &pool, QRandomGenerator &rng, int length) {
    QString s;
    for (int i = 0; i < length; ++i)
        s += pool.at(rng.bounded(pool.size()));
    return s;
}

QString city(QRandomGenerator &rng) {
    const int i = rng.bounded(Cities.size() / 2);
    return Cities.mid(i * 2, 2);
}

bool fail(const QSqlQuery &q, QString *error) {
    if (error)
        *error = q.lastError().text();
    return false;
}

QString numberOf(const RegisterSize &size, int i) {
    return size.prefix + u"%1"_s.arg(i, 7, 10, QChar(u'0'));
}

SubjectRecord madeUpSubject(QRandomGenerator &rng, const QString &number, int i) {
    static const double firstBirth = toDayCount(QDate(1930, 1, 1));
    static const double lastBirth = toDayCount(QDate(2015, 12, 31));
    SubjectRecord r;
    Subject &s = r.subject;
    s.male = rng.bounded(2) == 0;
    const QString tel = u"0%1-%2"_s.arg(10 + rng.bounded(890)).arg(10000000 + rng.bounded(89999999));
    s.number = number;
    s.name = pick(Surnames, rng, 1) + pick(Given, rng, 1 + rng.bounded(2));
    // About one subject in ten has no birth date.
    s.birthDate = rng.bounded(10) == 0 ? 0.0 : std::floor(firstBirth + rng.bounded(lastBirth - firstBirth));
    s.address = city(rng) + u"市"_s + Streets.mid(rng.bounded(Streets.size() / 2) * 2, 2) +
                u"路%1号"_s.arg(1 + rng.bounded(300));
    s.telephone = tel;
    s.telephone2 = u"1%1"_s.arg(3000000000LL + rng.bounded(999999999));
    s.telephone3 = rng.bounded(4) == 0 ? tel : QString(u""_s);
    s.email = u"user%1@example.com"_s.arg(i);
    r.memo = rng.bounded(5) == 0 ? u"定期复查"_s : QString(u""_s);
    return r;
}

MeasurementRecord madeUpMeasurement(QRandomGenerator &rng, const QString &number) {
    static const double firstDay = toDayCount(QDate(2015, 1, 1));
    static const double lastDay = toDayCount(QDate(2026, 12, 1));
    MeasurementRecord m;
    m.subjectNumber = number;
    m.measuredAt = firstDay + rng.bounded(lastDay - firstDay);
    m.highPotential = rng.bounded(8) == 0;
    // A subject's readings scatter around a level of their own.
    const double level = 20.0 + rng.bounded(80.0);
    for (double &v : m.values)
        v = std::round(std::max(1.0, level + rng.bounded(40.0) - 20.0) * 100) / 100;
    return m;
}

// Each subject in a transaction of its own, checked for its number, then its measurements.
bool generateOneByOne(QSqlDatabase db, const RegisterSize &size, QRandomGenerator &rng, QString *error) {
    SubjectRepository subjects(db);
    MeasurementRepository measurements(db);
    for (int i = 1; i <= size.subjects; ++i) {
        const QString number = numberOf(size, i);
        const SubjectRecord subject = madeUpSubject(rng, number, i);
        SubjectRepository::AddResult added;
        retryWhileLocked(
            [&](QString *why) {
                added = subjects.appendNew(subject, why);
                return added.key != 0 || added.existing;
            },
            error);
        if (added.existing) {
            if (error)
                *error = u"subject number %1 exists already"_s.arg(number);
            return false;
        }
        if (added.key == 0)
            return false;
        const int share =
            size.measurements / size.subjects + (i <= size.measurements % size.subjects ? 1 : 0);
        for (int k = 0; k < share; ++k) {
            const MeasurementRecord measurement = madeUpMeasurement(rng, number);
            if (!retryWhileLocked([&](QString *why) { return measurements.append(measurement, why) != 0; },
                                  error))
                return false;
        }
    }
    return true;
}

bool generateInOneTransaction(QSqlDatabase db, const RegisterSize &size, quint32 seed, QString *error) {
    QRandomGenerator rng(seed);
    // The right to write is taken (waiting for another writer) before the first row.
    Transaction tx(db, Transaction::Writer);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    QSqlQuery subject(db);
    subject.prepare(u"INSERT INTO KYCUST (CUSTNO, NAME, SEX, DBIRTH, ADDR, TEL, TEL2, TEL3, EMAIL, MEMO) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    for (int i = 1; i <= size.subjects; ++i) {
        const SubjectRecord r = madeUpSubject(rng, numberOf(size, i), i);
        const Subject &s = r.subject;
        for (const QVariant &v :
             {QVariant(s.number), QVariant(s.name), QVariant(s.male), QVariant(s.birthDate),
              QVariant(s.address), QVariant(s.telephone), QVariant(s.telephone2), QVariant(s.telephone3),
              QVariant(s.email), QVariant(r.memo)})
            subject.addBindValue(v);
        if (!subject.exec())
            return fail(subject, error);
    }
    if (size.subjects > 0) {
        QStringList marks;
        for (int i = 0; i < 27; ++i)
            marks << u"?"_s;
        QStringList channels;
        for (int c = 1; c <= 24; ++c)
            channels << u"KY%1"_s.arg(c);
        QSqlQuery measurement(db);
        measurement.prepare(u"INSERT INTO KYDATA (CUSTNO, KYDATE, KYVOTA, "_s + channels.join(u", "_s) +
                            u") VALUES ("_s + marks.join(u", "_s) + u")"_s);
        for (int i = 0; i < size.measurements; ++i) {
            const int owner = 1 + int(rng.bounded(size.subjects));
            const MeasurementRecord m = madeUpMeasurement(rng, numberOf(size, owner));
            measurement.addBindValue(m.subjectNumber);
            measurement.addBindValue(m.measuredAt);
            measurement.addBindValue(m.highPotential);
            for (double v : m.values)
                measurement.addBindValue(v);
            if (!measurement.exec())
                return fail(measurement, error);
        }
    }
    if (!ensureListIndexes(db, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

} // namespace

bool generateRegister(QSqlDatabase db, RegisterSize size, quint32 seed, QString *error) {
    if (size.oneByOne) {
        QRandomGenerator rng(seed);
        return size.subjects < 1 || generateOneByOne(db, size, rng, error);
    }
    // Another program writing the register meanwhile is waited for, the whole transaction again.
    return retryWhileLocked([&](QString *why) { return generateInOneTransaction(db, size, seed, why); },
                            error);
}

} // namespace orlu
