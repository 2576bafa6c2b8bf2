#include "dataexport/pseudonymiser.h"

#include <QFile>
#include <QMessageAuthenticationCode>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The longest key file read; a longer one is not a key (a device, a mistaken file).
constexpr qint64 MaximumKeyFileBytes = 4096;

QString keyFileProblem(int fd, QByteArray *key) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return u"it is not a regular file"_s;
    if (st.st_uid != ::geteuid())
        return u"it belongs to another user"_s;
    if (st.st_mode & 077)
        return u"others may read or change it (mode %1)"_s.arg(st.st_mode & 0777, 4, 8, QLatin1Char('0'));
    if (st.st_size > MaximumKeyFileBytes)
        return u"it holds more than %1 bytes"_s.arg(MaximumKeyFileBytes);
    key->resize(qsizetype(st.st_size));
    qint64 done = 0;
    while (done < st.st_size) {
        const ssize_t n = ::read(fd, key->data() + done, size_t(st.st_size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : u"it changed while it was read"_s;
        done += n;
    }
    if (key->size() < MinimumPseudonymKeyBytes)
        return u"it holds %1 bytes; a key needs at least %2"_s.arg(key->size()).arg(MinimumPseudonymKeyBytes);
    if (key->count(key->at(0)) == key->size())
        return u"all its bytes are the same"_s;
    return {};
}

} // namespace

std::optional<Pseudonymiser> Pseudonymiser::fromKeyFile(const QString &path, QString *error) {
    // Non-blocking and never through a link, so a pipe or a planted link cannot stand in for the key.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    QByteArray key;
    const QString problem = fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : keyFileProblem(fd, &key);
    if (fd >= 0)
        ::close(fd);
    if (problem.isEmpty())
        return Pseudonymiser(key);
    if (error)
        *error =
            u"the key file %1 cannot be used: %2. A key is a file of your own that nobody else may read, "
            "of at least %3 random bytes; make one with: head -c 32 /dev/urandom > %1 && chmod 600 %1"_s
                .arg(path, problem)
                .arg(MinimumPseudonymKeyBytes);
    return std::nullopt;
}

Pseudonymiser::Pseudonymiser(QByteArray key)
    : m_key(std::move(key)) {}

QString Pseudonymiser::pseudonym(const QString &subjectNumber) const {
    // The register treats "a001" and "A001" as one subject (SQLite's NOCASE folds ASCII only).
    QString folded = subjectNumber;
    for (QChar &ch : folded) {
        if (ch >= u'A' && ch <= u'Z')
            ch = QChar(ch.unicode() + (u'a' - u'A'));
    }
    const QByteArray mac =
        QMessageAuthenticationCode::hash(folded.toUtf8(), m_key, QCryptographicHash::Sha256);
    return QString::fromLatin1(mac.left(16).toHex());
}

} // namespace orlu
