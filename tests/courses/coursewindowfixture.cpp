#include "coursewindowfixture.h"

#include "storage/schema.h"

#include <QImage>
#include <QSqlQuery>

namespace orlu::test {

using namespace Qt::StringLiterals;

CourseWindowFixture::CourseWindowFixture() {
    launcher.everyFileExists = true;
    const QString path = m_home.file(u"orlu4.mdb"_s);
    QString error;
    if (!createDatabaseFile(path, SchemaKind::Main, &error) ||
        !m_db.open(path, Database::Access::Shared, &error))
        qFatal("cannot create the main database: %s", qPrintable(error));
    m_store = std::make_unique<CourseStore>(m_db.handle());
}

Course CourseWindowFixture::addCourse(const QString &no, const QString &name, int conditions) {
    Course c;
    c.proNo = no;
    c.name = name;
    c.description = name + u"的说明"_s;
    c.launchFlags = u"1010"_s;
    c.hints = {u"播放教学影片"_s, u"第二"_s, u"打开说明文件"_s, u"第四"_s};
    c.programs = {u"  C:\\player\\play.exe "_s, QString(), QString(), QString()};
    c.parameters = {u" lesson1.avi  "_s, QString(), u"guide.pdf"_s, QString()};
    if (!m_store->addCourse(c))
        qFatal("cannot add a course: %s", qPrintable(m_store->lastError()));
    for (int i = 1; i <= conditions; ++i) {
        Condition k;
        k.name = name + u"-"_s + QString::number(i);
        k.note = u"说明 %1"_s.arg(i);
        k.rule.cond = QString(24, u'0');
        k.rule.cond[5] = QChar(u'0' + (i % 3) + 1);
        k.rule.must = QString(24, u'0');
        k.rule.required = i == 1;
        m_store->saveCondition(k, c);
    }
    return c;
}

int CourseWindowFixture::conditionRows() const {
    QSqlQuery q(m_db.handle());
    q.exec(u"SELECT count(*) FROM KYPRDT"_s);
    return q.next() ? q.value(0).toInt() : -1;
}

QString CourseWindowFixture::writePicture(const QString &name, int width, int height) const {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(60, 120, 180));
    const QString path = m_home.file(name);
    image.save(path, "PNG");
    return path;
}

} // namespace orlu::test
