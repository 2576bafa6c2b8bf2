#include "dataexport/pseudonymiser.h"

#include <QFile>
#include <QMessageAuthenticationCode>

namespace orlu {

using namespace Qt::StringLiterals;

std::optional<Pseudonymiser> Pseudonymiser::fromKeyFile(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"cannot read the key file %1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray key = file.readAll();
    if (key.size() < MinimumPseudonymKeyBytes) {
        if (error)
            *error = u"the key file %1 holds %2 bytes; a key needs at least %3"_s.arg(path)
                         .arg(key.size())
                         .arg(MinimumPseudonymKeyBytes);
        return std::nullopt;
    }
    return Pseudonymiser(key);
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
