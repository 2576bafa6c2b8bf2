#pragma once

#include "platform/launch.h"
#include "core/prompter.h"

namespace orlu {

// Launches through the desktop: programs as detached processes, documents and
// web addresses with the application the desktop associates with them.
// What cannot be started is told in a notice box.
class SystemLaunchPort final : public LaunchPort {
public:
    explicit SystemLaunchPort(Prompter &prompter)
        : m_prompter(prompter) {}

    bool fileExists(const QString &path) const override;
    bool startProgram(const QString &program, const QString &parameters) override;
    bool openDocument(const QString &target) override;
    void reportFailure(const QString &target) override;

private:
    Prompter &m_prompter;
};

} // namespace orlu
