#pragma once

#include "core/settings.h"
#include "measure/ui/probetoolwindow.h"
#include "scriptedprobe.h"
#include "support/controls.h"
#include "support/scriptedprompter.h"
#include "support/virtualtime.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace orlu::test {

// A calibration or locating window over a scripted probe in virtual time, driven
// through its controls; `saves` counts the settings file writes.
template <typename Window> struct ProbeWindowRig {
    VirtualTime time;
    ScriptedProbe probe{time};
    ScriptedPrompter prompter;
    Settings settings = defaultSettings(QDate(2026, 1, 5));
    int saves = 0;
    QString calibrationLog; // none unless a test names one
    std::unique_ptr<Window> window;

    void makeWindow() {
        window = std::make_unique<Window>(ProbeWindowContext{settings, [this] { return ++saves, true; },
                                                             probe, prompter, time, time, calibrationLog});
    }
    template <typename T> T *child(const QString &name) const { return control<T>(window.get(), name); }
    QString text(const QString &name) const { return child<QLabel>(name)->text(); }
    bool enabled(const QString &action) const {
        return child<QAction>(action + QStringLiteral("Action"))->isEnabled();
    }
    void click(const QString &button) {
        QTest::mouseClick(child<QToolButton>(button + QStringLiteral("Button")), Qt::LeftButton);
    }
};

} // namespace orlu::test
