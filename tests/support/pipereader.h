#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QThread>

#include <memory>

#include <sys/stat.h>

namespace orlu::test {

// A named pipe at `path` with a reader on a thread of its own, so a command can
// write into it without blocking: the bytes are in received() after finish().
class PipeReader {
public:
    explicit PipeReader(QString path)
        : m_path(std::move(path)) {
        m_made = ::mkfifo(QFile::encodeName(m_path).constData(), 0600) == 0;
        m_reader.reset(QThread::create([this] {
            QFile f(m_path);
            if (f.open(QIODevice::ReadOnly))
                m_received = f.readAll();
        }));
        if (m_made)
            m_reader->start();
    }
    PipeReader(const PipeReader &) = delete;
    PipeReader &operator=(const PipeReader &) = delete;
    ~PipeReader() { m_reader->wait(); }

    bool made() const { return m_made; }
    // Waits for the writer to close the pipe; false when nothing came within 5 s.
    bool finish() { return m_reader->wait(5000); }
    const QByteArray &received() const { return m_received; }

private:
    QString m_path;
    bool m_made = false;
    QByteArray m_received;
    std::unique_ptr<QThread> m_reader;
};

} // namespace orlu::test
