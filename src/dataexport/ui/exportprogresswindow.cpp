#include "dataexport/ui/exportprogresswindow.h"

#include "widgets/windowsetup.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

ExportProgressWindow::ExportProgressWindow(QWidget *parent)
    : QDialog(parent) {
    setUpWindow(this, {.objectName = u"exportProgressWindow"_s, .title = u"导出数据"_s});
    m_label = new QLabel(u"经络能量数据导出中...."_s, this);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"exportProgress"_s);
    m_cancelButton = new QPushButton(u"取消"_s, this);
    m_cancelButton->setObjectName(u"cancelButton"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancelButton, 0, Qt::AlignRight);
    setFixedWidth(360);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { m_cancelled = true; });
}

bool ExportProgressWindow::exportProgress(qint64 written, qint64 total) {
    if (!isVisible())
        show();
    // The bar counts in thousandths, so a register of any size fits its int range.
    m_bar->setRange(0, 1000);
    m_bar->setValue(total > 0 ? static_cast<int>(written * 1000 / total) : 0);
    m_label->setText(u"经络能量数据导出中.... %1 / %2"_s.arg(written).arg(total));
    // The export runs on this thread: the operator's cancel is seen here.
    QCoreApplication::processEvents();
    return !m_cancelled;
}

} // namespace orlu
