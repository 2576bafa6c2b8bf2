#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Subject numbers replaced by a keyed hash, so exported measurements of one subject
// stay linked to each other while nobody without the key can tell whose they are.
namespace orlu {

// The shortest key accepted: 16 bytes (128 bits).
inline constexpr int MinimumPseudonymKeyBytes = 16;

class Pseudonymiser {
public:
    // The whole file is the key. Empty with a message when it cannot be read or is too short.
    static std::optional<Pseudonymiser> fromKeyFile(const QString &path, QString *error);
    explicit Pseudonymiser(QByteArray key);

    // HMAC-SHA256 of the number as the register compares it (ASCII letters without
    // regard to case), written as its first 16 bytes in hexadecimal: 32 characters.
    QString pseudonym(const QString &subjectNumber) const;

private:
    QByteArray m_key;
};

} // namespace orlu
