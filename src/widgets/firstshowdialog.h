#pragma once

#include <QDialog>

#include <functional>

namespace orlu {

// A dialog that does its opening work once, when it is first shown: after its
// opener has set it up and as the operator first sees it. Later shows (after a
// hide, or from the window system) leave it as it is.
class FirstShowDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    // `work` runs at the first show.
    void whenFirstShown(std::function<void()> work) { m_work = std::move(work); }
    bool wasShown() const { return m_shown; }
    void showEvent(QShowEvent *event) override;

private:
    std::function<void()> m_work;
    bool m_shown = false;
};

} // namespace orlu
