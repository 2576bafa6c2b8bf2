#include "measure/ui/probetoolwindow.h"

#include "measure/ui/windowparts.h"
#include "widgets/toolbuttons.h"

#include <QToolBar>
#include <QVBoxLayout>

namespace orlu {

ProbeToolWindow::ProbeToolWindow(ProbeWindowContext context, const QString &objectName, const QString &title,
                                 QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context)) {
    setObjectName(objectName);
    setWindowTitle(title);
    m_toolBar = makeIconToolBar(this);
    m_panels = new QVBoxLayout(this);
    m_panels->setMenuBar(m_toolBar);
}

QAction *ProbeToolWindow::addTool(const QString &name, const QString &caption, const QString &hint,
                                  QStyle::StandardPixmap icon) {
    return addIconTool(m_toolBar, name, caption, hint, icon);
}

} // namespace orlu
