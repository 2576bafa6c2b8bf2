#include "app/launchsystem.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace orlu {

bool SystemLaunchPort::fileExists(const QString &path) const {
    return QFileInfo(QDir::fromNativeSeparators(path)).isFile();
}

bool SystemLaunchPort::startProgram(const QString &program, const QString &parameters) {
    const QString path = unquotedPath(program);
    // A document set up as the program opens in its application, as the shell does.
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (info.isFile() && !info.isExecutable())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    return QProcess::startDetached(path, QProcess::splitCommand(parameters));
}

bool SystemLaunchPort::openDocument(const QString &target) {
    // An existing file (also relative to the current folder) opens as a file;
    // anything else is taken as a web address.
    return QDesktopServices::openUrl(QUrl::fromUserInput(unquotedPath(target), QDir::currentPath()));
}

void SystemLaunchPort::reportFailure(const QString &target) {
    m_prompter.showMessageBox(MessageType::NoteCaution, launchFailureText(target));
}

} // namespace orlu
