#pragma once

#include "platform/launch.h"

#include <QList>
#include <QSet>
#include <QString>

namespace orlu::test {

// A launcher that starts nothing: files exist when listed (or all of them, with
// `everyFileExists`), and every start or open is recorded.
class RecordingLaunchPort final : public LaunchPort {
public:
    struct Started {
        QString program;
        QString parameters;
        bool operator==(const Started &) const = default;
    };

    QSet<QString> files;
    bool everyFileExists = false;
    bool systemRefuses = false; // every start and open fails
    QStringList failures;       // what was reported as not started
    mutable QStringList asked;  // every existence test, in order
    QList<Started> programs;
    QStringList documents;

    bool fileExists(const QString &path) const override {
        asked << path;
        return everyFileExists || files.contains(path);
    }
    bool startProgram(const QString &program, const QString &parameters) override {
        programs.append({program, parameters});
        return !systemRefuses;
    }
    bool openDocument(const QString &target) override {
        documents << target;
        return !systemRefuses;
    }
    void reportFailure(const QString &target) override { failures << target; }

    bool nothingLaunched() const { return programs.isEmpty() && documents.isEmpty(); }
};

} // namespace orlu::test
