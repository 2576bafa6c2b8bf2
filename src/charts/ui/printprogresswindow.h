#pragma once

#include <QDialog>

class QPushButton;

namespace orlu {

// "打印": shown while a report is produced, with "中断打印" to abort it. The
// producer asks isAborted() before every section, line and page.
class PrintProgressWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PrintProgressWindow)

public:
    explicit PrintProgressWindow(QWidget *parent = nullptr);

    // Shows the window centred on the screen for a new job.
    void start();
    bool isAborted() const { return m_aborted; }

signals:
    void abortRequested();

private:
    void abortClicked();

    QPushButton *m_abortButton = nullptr;
    bool m_aborted = false;
};

} // namespace orlu
