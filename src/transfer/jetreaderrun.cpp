#include "transfer/jetreaderrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// A reading of the largest register takes a few seconds; a file's time grows with its size.
constexpr quint32 BaseLimitMs = 15000;
constexpr quint32 LimitMsPerMiB = 1000;
constexpr quint32 CpuLimitFactor = 10;
// The answer is read in pieces of this size.
constexpr qsizetype ReceiveSize = 64 * 1024;
// The reader's status when it cannot be confined.
constexpr int ExitUnconfined = 3;

QString &programOverride() {
    static QString path;
    return path;
}

quint32 limitFor(qint64 fileSize) {
    const qint64 mib = std::max<qint64>(fileSize, 0) >> 20;
    return BaseLimitMs + quint32(std::min<qint64>(mib, 1 << 20)) * LimitMsPerMiB;
}

} // namespace

QString jetReaderProgram() {
    if (!programOverride().isEmpty())
        return programOverride();
    return QDir(QCoreApplication::applicationDirPath()).filePath(u"orlu-jet-reader"_s);
}

void setJetReaderProgram(const QString &path) {
    programOverride() = path;
}

JetReaderRun::JetReaderRun(int fileFd, qint64 fileSize, const QStringList &arguments, const Clock &clock)
    : m_clock(clock)
    , m_start(clock.ticks())
    , m_limitMs(limitFor(fileSize)) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        m_unstarted = true;
        m_fault = u"the Access reader cannot start: %1"_s.arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_channel = ends[0];
    const QByteArray program = QFile::encodeName(jetReaderProgram());
    // Its processor time ends a reader that spins before its answer's time is up; it reads
    // many tables in one run, each within that time.
    QList<QByteArray> texts{program, "--seconds",
                            QByteArray::number(CpuLimitFactor * (m_limitMs / 1000 + 1))};
    for (const QString &a : arguments)
        texts << a.toUtf8();
    std::vector<char *> argv;
    for (QByteArray &t : texts)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    char *noEnvironment[] = {nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fileFd, jetwire::FileFd);
    posix_spawn_file_actions_adddup2(&actions, ends[1], jetwire::ChannelFd);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned =
        ::posix_spawn(&m_pid, program.constData(), &actions, nullptr, argv.data(), noEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (spawned != 0) {
        m_pid = -1;
        m_unstarted = true;
        m_fault = u"the Access reader %1 cannot start: %2"_s.arg(
            QString::fromLocal8Bit(program), QString::fromLocal8Bit(std::strerror(spawned)));
    }
}

JetReaderRun::~JetReaderRun() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_channel >= 0)
        ::close(m_channel);
}

bool JetReaderRun::fail(const QString &why) {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_fault.isEmpty())
        m_fault = why;
    return false;
}

bool JetReaderRun::readExactly(char *into, qsizetype size, bool *ended) {
    while (size > 0) {
        if (m_held > m_taken) {
            const qsizetype n = std::min(size, m_held - m_taken);
            std::memcpy(into, m_received.constData() + m_taken, size_t(n));
            m_taken += n;
            into += n;
            size -= n;
            continue;
        }
        const quint32 spent = m_clock.elapsedSince(m_start);
        if (spent >= m_limitMs)
            return fail(u"the Access reader took longer than %1 s"_s.arg(m_limitMs / 1000));
        pollfd ready{m_channel, POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(std::min<quint32>(m_limitMs - spent, 100)));
        if (polled == 0 || (polled < 0 && errno == EINTR))
            continue;
        m_received.resize(ReceiveSize);
        const ssize_t n = polled < 0 ? -1 : ::read(m_channel, m_received.data(), size_t(ReceiveSize));
        if (n < 0 && errno == EINTR)
            continue;
        // A reader that left with a request unread resets the socket.
        if (n == 0 || (n < 0 && errno == ECONNRESET)) {
            *ended = true;
            return false;
        }
        if (n < 0)
            return fail(u"the Access reader's answer cannot be read: %1"_s.arg(
                QString::fromLocal8Bit(std::strerror(errno))));
        m_held = n;
        m_taken = 0;
    }
    return true;
}

QString JetReaderRun::reap() {
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(m_pid, &status, WNOHANG)) == 0) {
        if (m_clock.elapsedSince(m_start) >= m_limitMs) {
            fail({});
            return u"the Access reader took longer than %1 s"_s.arg(m_limitMs / 1000);
        }
        ::poll(nullptr, 0, 10);
    }
    m_pid = -1;
    if (done < 0)
        return u"the Access reader is lost"_s;
    if (WIFSIGNALED(status)) {
        switch (WTERMSIG(status)) {
        case SIGXCPU:
            return u"the Access reader used up its processor time"_s;
        case SIGSYS:
            return u"the Access reader made a system call it is not allowed"_s;
        case SIGXFSZ:
            return u"the Access reader tried to write a file"_s;
        default:
            return u"the Access reader crashed (signal %1, %2)"_s.arg(WTERMSIG(status))
                .arg(QString::fromLocal8Bit(::strsignal(WTERMSIG(status))));
        }
    }
    if (WEXITSTATUS(status) == ExitUnconfined)
        return u"the Access reader cannot be confined"_s;
    if (WEXITSTATUS(status) != 0)
        return u"the Access reader ended with status %1"_s.arg(WEXITSTATUS(status));
    return {};
}

bool JetReaderRun::cutShort(bool ended) {
    if (!ended)
        return false;
    const QString end = reap();
    return fail(end.isEmpty() ? u"the Access reader's answer is cut short"_s : end);
}

bool JetReaderRun::next(JetFrame *frame) {
    if (m_pid <= 0)
        return fail(u"the Access reader is not running"_s);
    char header[jetwire::HeaderSize];
    bool ended = false;
    if (!readExactly(header, sizeof header, &ended))
        return cutShort(ended);
    if (!isFrameKind(quint8(header[0])))
        return fail(u"the Access reader's answer is malformed (frame kind %1)"_s.arg(quint8(header[0])));
    const quint32 length = bodyLength(header);
    if (length > jetwire::MaxBody)
        return fail(u"the Access reader's answer is malformed (a frame of %1 bytes)"_s.arg(length));
    QString fault;
    bool parsed = false;
    if (m_held - m_taken >= qsizetype(length)) {
        // Whole in what was read: parsed where it lies.
        parsed =
            parseFrameBody(QByteArrayView(m_received.constData() + m_taken, length), &frame->values, &fault);
        m_taken += qsizetype(length);
    } else {
        QByteArray body(qsizetype(length), Qt::Uninitialized);
        if (!readExactly(body.data(), body.size(), &ended))
            return cutShort(ended);
        parsed = parseFrameBody(body, &frame->values, &fault);
    }
    if (!parsed)
        return fail(u"the Access reader's answer is malformed (%1)"_s.arg(fault));
    frame->kind = jetwire::Frame(quint8(header[0]));
    return true;
}

bool JetReaderRun::request(const QString &table, const QStringList &columns) {
    if (m_pid <= 0)
        return fail(u"the Access reader is not running"_s);
    QByteArray names;
    for (const QString &name : QStringList{table} + columns)
        names += name.toUtf8().replace('\0', "") + '\0';
    names += '\0';
    m_start = m_clock.ticks();
    for (qsizetype sent = 0; sent < names.size();) {
        const ssize_t n =
            ::send(m_channel, names.constData() + sent, size_t(names.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString end = reap();
            return fail(end.isEmpty() ? u"the Access reader left early"_s : end);
        }
        sent += n;
    }
    return true;
}

} // namespace orlu
