#include "widgets/firstshowdialog.h"

namespace orlu {

void FirstShowDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_work)
        m_work();
}

} // namespace orlu
