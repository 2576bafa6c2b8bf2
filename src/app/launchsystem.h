#pragma once

#include "core/launch.h"

namespace orlu {

// Launches through the desktop: programs as detached processes, documents and
// web addresses with the application the desktop associates with them.
class SystemLaunchPort final : public LaunchPort {
public:
    bool fileExists(const QString &path) const override;
    void startProgram(const QString &program, const QString &parameters) override;
    void openDocument(const QString &target) override;
};

} // namespace orlu
