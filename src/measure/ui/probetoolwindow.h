#pragma once

#include "measure/ui/probewindowcontext.h"

#include <QDialog>
#include <QStyle>

class QAction;
class QToolBar;
class QVBoxLayout;

namespace orlu {

// The frame the calibration and locating windows share: a tool bar of captioned
// buttons over a column the window fills with its panels.
class ProbeToolWindow : public QDialog {
    Q_OBJECT
protected:
    ProbeToolWindow(ProbeWindowContext context, const QString &objectName, const QString &title,
                    QWidget *parent);

    // A button "<name>Button" for the action "<name>Action", after those added before it.
    QAction *addTool(const QString &name, const QString &caption, const QString &hint,
                     QStyle::StandardPixmap icon);
    QVBoxLayout *panels() const { return m_panels; }

    ProbeWindowContext m_context;

private:
    QToolBar *m_toolBar = nullptr;
    QVBoxLayout *m_panels = nullptr;
};

} // namespace orlu
