#pragma once

#include "core/launch.h"

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
    mutable QStringList asked; // every existence test, in order
    QList<Started> programs;
    QStringList documents;

    bool fileExists(const QString &path) const override {
        asked << path;
        return everyFileExists || files.contains(path);
    }
    void startProgram(const QString &program, const QString &parameters) override {
        programs.append({program, parameters});
    }
    void openDocument(const QString &target) override { documents << target; }

    bool nothingLaunched() const { return programs.isEmpty() && documents.isEmpty(); }
};

} // namespace orlu::test
