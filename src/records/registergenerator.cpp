#include "records/registergenerator.h"

#include "core/daycount.h"
#include "records/database.h"
#include "records/listqueries.h"

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

} // namespace

bool generateRegister(QSqlDatabase db, RegisterSize size, quint32 seed, QString *error) {
    QRandomGenerator rng(seed);
    Transaction tx(db);
    QSqlQuery subject(db);
    subject.prepare(u"INSERT INTO KYCUST (CUSTNO, NAME, SEX, DBIRTH, ADDR, TEL, TEL2, TEL3, EMAIL, MEMO) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    const double firstBirth = toDayCount(QDate(1930, 1, 1));
    const double lastBirth = toDayCount(QDate(2015, 12, 31));
    for (int i = 1; i <= size.subjects; ++i) {
        const bool male = rng.bounded(2) == 0;
        const QString tel = u"0%1-%2"_s.arg(10 + rng.bounded(890)).arg(10000000 + rng.bounded(89999999));
        subject.addBindValue(u"T%1"_s.arg(i, 7, 10, QChar(u'0')));
        subject.addBindValue(QString(pick(Surnames, rng, 1) + pick(Given, rng, 1 + rng.bounded(2))));
        subject.addBindValue(male);
        // About one subject in ten has no birth date.
        subject.addBindValue(
            rng.bounded(10) == 0 ? 0.0 : std::floor(firstBirth + rng.bounded(lastBirth - firstBirth)));
        subject.addBindValue(QString(city(rng) + u"市"_s +
                                     Streets.mid(rng.bounded(Streets.size() / 2) * 2, 2) +
                                     u"路%1号"_s.arg(1 + rng.bounded(300))));
        subject.addBindValue(tel);
        subject.addBindValue(u"1%1"_s.arg(3000000000LL + rng.bounded(999999999)));
        subject.addBindValue(rng.bounded(4) == 0 ? tel : QString(u""_s));
        subject.addBindValue(u"user%1@example.com"_s.arg(i));
        subject.addBindValue(rng.bounded(5) == 0 ? u"定期复查"_s : QString(u""_s));
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
        const double firstDay = toDayCount(QDate(2015, 1, 1));
        const double lastDay = toDayCount(QDate(2026, 12, 1));
        for (int i = 0; i < size.measurements; ++i) {
            const int owner = 1 + int(rng.bounded(size.subjects));
            measurement.addBindValue(u"T%1"_s.arg(owner, 7, 10, QChar(u'0')));
            measurement.addBindValue(firstDay + rng.bounded(lastDay - firstDay));
            measurement.addBindValue(rng.bounded(8) == 0);
            // A subject's readings scatter around a level of their own.
            const double level = 20.0 + rng.bounded(80.0);
            for (int c = 0; c < 24; ++c)
                measurement.addBindValue(std::round(std::max(1.0, level + rng.bounded(40.0) - 20.0) * 100) /
                                         100);
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

} // namespace orlu
