#pragma once

#include <QString>
#include <QTemporaryDir>

namespace orlu::test {

// A fresh program folder for one test; ORLU_HOME points at it while it lives.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    // The folder with a trailing separator, as the program folder is written.
    QString path() const;
    QString file(const QString &name) const { return path() + name; }
    void writeFile(const QString &name, const QByteArray &bytes) const;
    QByteArray readFile(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

} // namespace orlu::test
