#include "core/outputfile.h"

#include "core/privatefiles.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

bool writeWhole(QIODevice &device, const QByteArray &data) {
    return device.write(data) == data.size();
}

} // namespace

bool isWritableOutputPath(const QString &path, QString *error) {
    if (path == u"-"_s)
        return true;
    switch (pathKind(path)) {
    case PathKind::Absent:
    case PathKind::Regular:
    case PathKind::Fifo:
    case PathKind::CharDevice:
        return true;
    case PathKind::Directory:
        setError(error, path + u" is a folder"_s);
        return false;
    case PathKind::Other:
        break;
    }
    setError(error, path + u" is neither a regular file nor a pipe or character device"_s);
    return false;
}

bool writeOutputFile(const QString &path, const QByteArray &data, QString *error, bool privateFile) {
    if (!isWritableOutputPath(path, error))
        return false;
    const PathKind kind = path == u"-"_s ? PathKind::Fifo : pathKind(path);
    if (path == u"-"_s || kind == PathKind::Fifo || kind == PathKind::CharDevice) {
        QFile out;
        const bool opened = path == u"-"_s
                                ? out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)
                                : (out.setFileName(path), out.open(QIODevice::WriteOnly));
        if (!opened || !writeWhole(out, data) || !out.flush()) {
            setError(error, out.errorString());
            return false;
        }
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeWhole(file, data)) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (privateFile)
        file.setPermissions(file.permissions() & (QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace orlu
