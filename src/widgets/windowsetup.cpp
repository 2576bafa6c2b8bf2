#include "widgets/windowsetup.h"

#include <QDialog>

namespace orlu {

void setUpWindow(QDialog *window, const WindowSetup &setup) {
    window->setObjectName(setup.objectName);
    window->setWindowTitle(setup.title);
    if (setup.fixedSize.isValid()) {
        window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        window->setFixedSize(setup.fixedSize);
    }
    if (setup.modal)
        window->setModal(true);
}

} // namespace orlu
