#pragma once

#include <QString>

namespace orlu {

// The installation folder that holds the databases, the settings file and the
// picture folder. ORLU_HOME overrides the platform's place.
class ProgramFolder {
public:
    explicit ProgramFolder(QString path);
    static ProgramFolder fromEnvironment();

    // With a trailing separator; a file name is appended directly.
    const QString &path() const { return m_path; }
    QString file(const QString &name) const { return m_path + name; }
    // The picture folder "Data".
    QString dataFolder() const { return m_path + QStringLiteral("Data/"); }
    QString dataFile(const QString &name) const { return dataFolder() + name; }

private:
    QString m_path;
};

} // namespace orlu
