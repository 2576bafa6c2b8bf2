#pragma once

#include <QDialog>
#include <QStyle>

#include <functional>

class QAction;
class QToolBar;
class QVBoxLayout;

namespace orlu {

class Clock;
class EventPump;
class ProbeOperations;
class Prompter;
struct Settings;

// What the calibration and locating windows work with; all of it outlives the window.
struct ProbeToolContext {
    Settings &settings;
    // Writes the settings file; tells the operator itself when it cannot.
    std::function<bool()> saveSettings;
    ProbeOperations &probe;
    Prompter &prompter;
    const Clock &clock;
    EventPump &pump;
};

// The frame the calibration and locating windows share: a tool bar of captioned
// buttons over a column the window fills with its panels.
class ProbeToolWindow : public QDialog {
    Q_OBJECT
protected:
    ProbeToolWindow(ProbeToolContext context, const QString &objectName, const QString &title, QWidget *parent);

    // A button "<name>Button" for the action "<name>Action", after those added before it.
    QAction *addTool(const QString &name, const QString &caption, const QString &hint, QStyle::StandardPixmap icon);
    QVBoxLayout *panels() const { return m_panels; }

    ProbeToolContext m_context;

private:
    QToolBar *m_toolBar = nullptr;
    QVBoxLayout *m_panels = nullptr;
};

} // namespace orlu
