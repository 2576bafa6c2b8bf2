#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace orlu::test {

TempHome::TempHome()
    : m_previous(qgetenv("ORLU_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("ORLU_HOME")) {
    QVERIFY2(m_dir.isValid(), "cannot create a temporary program folder");
    qputenv("ORLU_HOME", QFile::encodeName(path()));
}

TempHome::~TempHome() {
    if (m_hadPrevious)
        qputenv("ORLU_HOME", m_previous);
    else
        qunsetenv("ORLU_HOME");
}

QString TempHome::path() const {
    return QDir(m_dir.path()).absolutePath() + u'/';
}

void TempHome::writeFile(const QString &name, const QByteArray &bytes) const {
    QFile f(file(name));
    QDir().mkpath(QFileInfo(f).absolutePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TempHome::readFile(const QString &name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace orlu::test
