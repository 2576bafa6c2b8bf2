#include "core/outputfile.h"

#include "core/privatefiles.h"

#include <cstdio>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
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

OutputFile::OutputFile(QString path, bool privateFile)
    : m_path(std::move(path))
    , m_private(privateFile) {}

OutputFile::~OutputFile() {
    cancel();
}

bool OutputFile::open(QString *error) {
    if (!isWritableOutputPath(m_path, error))
        return false;
    const bool toStdout = m_path == u"-"_s;
    const PathKind kind = toStdout ? PathKind::Fifo : pathKind(m_path);
    if (kind == PathKind::Fifo || kind == PathKind::CharDevice) {
        m_direct = std::make_unique<QFile>();
        const bool opened = toStdout
                                ? m_direct->open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)
                                : (m_direct->setFileName(m_path), m_direct->open(QIODevice::WriteOnly));
        if (!opened) {
            setError(error, m_direct->errorString());
            m_direct.reset();
        }
        return m_direct != nullptr;
    }
    m_atomic = std::make_unique<QSaveFile>(m_path);
    if (!m_atomic->open(QIODevice::WriteOnly)) {
        setError(error, m_atomic->errorString());
        m_atomic.reset();
        return false;
    }
    return true;
}

QIODevice &OutputFile::device() {
    Q_ASSERT(m_direct || m_atomic);
    return m_direct ? static_cast<QIODevice &>(*m_direct) : *m_atomic;
}

bool OutputFile::commit(QString *error) {
    if (m_direct) {
        const bool flushed = m_direct->flush();
        if (!flushed)
            setError(error, m_direct->errorString());
        m_direct.reset();
        return flushed;
    }
    if (!m_atomic)
        return false;
    if (m_private)
        m_atomic->setPermissions(m_atomic->permissions() &
                                 (QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const bool committed = m_atomic->commit();
    if (!committed)
        setError(error, m_atomic->errorString());
    m_atomic.reset();
    return committed;
}

void OutputFile::cancel() {
    if (m_atomic)
        m_atomic->cancelWriting();
    m_atomic.reset();
    m_direct.reset();
}

bool writeOutputFile(const QString &path, const QByteArray &data, QString *error, bool privateFile) {
    OutputFile file(path, privateFile);
    if (!file.open(error))
        return false;
    if (file.device().write(data) != data.size()) {
        setError(error, file.device().errorString());
        return false;
    }
    return file.commit(error);
}

} // namespace orlu
