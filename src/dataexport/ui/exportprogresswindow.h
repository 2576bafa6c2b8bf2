#pragma once

#include "dataexport/dataexport.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orlu {

// "导出数据": how far an export has come, with "取消" to stop it. The export asks it
// every few hundred rows, and it lets the operator's clicks through meanwhile.
class ExportProgressWindow : public QDialog, public ExportObserver {
    Q_OBJECT
public:
    explicit ExportProgressWindow(QWidget *parent = nullptr);

    bool exportProgress(qint64 written, qint64 total) override;
    bool cancelled() const { return m_cancelled; }

private:
    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancelButton = nullptr;
    bool m_cancelled = false;
};

} // namespace orlu
