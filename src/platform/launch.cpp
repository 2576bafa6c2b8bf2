#include "platform/launch.h"

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

// Index of the ":" that follows a drive letter, or -1.
qsizetype driveColon(const QString &text) {
    for (qsizetype i : {1, 2})
        if (text.size() > i && text.at(i) == u':')
            return i;
    return -1;
}

} // namespace

QString unquotedPath(const QString &text) {
    if (!text.startsWith(u'"'))
        return text;
    QString inner = text.mid(1);
    if (inner.endsWith(u'"'))
        inner.chop(1);
    return inner;
}

QString launchDriveLetters() {
    return u"CDEFGHIJKLMNOPQ"_s;
}

QString findOnDrives(const LaunchPort &port, const QString &text) {
    const qsizetype colon = driveColon(text);
    if (colon < 0 || port.fileExists(unquotedPath(text)))
        return text;
    QString candidate = text;
    for (QChar letter : launchDriveLetters()) {
        candidate[colon - 1] = letter;
        if (port.fileExists(unquotedPath(candidate)))
            return candidate;
    }
    return {};
}

void launch(LaunchPort &port, const QString &program, const QString &parameter) {
    QString prog = program;
    if (driveColon(prog) >= 0) {
        prog = findOnDrives(port, prog);
        if (prog.isEmpty()) {
            port.reportFailure(program.trimmed());
            return;
        }
    }
    QString param = findOnDrives(port, parameter);
    if (param.isEmpty())
        param = parameter;

    prog = prog.trimmed();
    param = param.trimmed();
    if (!prog.isEmpty()) {
        if (!port.startProgram(prog, param))
            port.reportFailure(prog);
    } else if (!param.isEmpty() && !port.openDocument(param)) {
        port.reportFailure(param);
    }
}

QString launchFailureText(const QString &target) {
    return u"无法启动 “"_s + target + u"”。\n请检查这个功能所设定的程序与参数。"_s;
}

} // namespace orlu
