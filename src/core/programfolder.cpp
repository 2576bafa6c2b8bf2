#include "core/programfolder.h"

#include <QDir>
#include <QStandardPaths>

namespace orlu {

ProgramFolder::ProgramFolder(QString path)
    : m_path(QDir::fromNativeSeparators(std::move(path))) {
    if (!m_path.endsWith(u'/'))
        m_path += u'/';
}

ProgramFolder ProgramFolder::fromEnvironment() {
    const QString env = qEnvironmentVariable("ORLU_HOME");
    if (!env.isEmpty())
        return ProgramFolder(env);
#ifdef Q_OS_WIN
    return ProgramFolder(QStringLiteral("c:\\quorix\\orlu\\"));
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return ProgramFolder(base + QStringLiteral("/quorix/orlu/"));
#endif
}

} // namespace orlu
