#pragma once

#include "core/prompter.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTextEdit;

namespace orlu {

// The program's own small modal message window, one of seven types.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(MessageType type, const QString &text, QWidget *parent = nullptr);

    bool result() const { return m_result; }

    static QString captionOf(MessageType type);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void yesClicked();
    void noClicked();

    MessageType m_type;
    QString m_text;
    bool m_result = false;
    QLabel *m_picture[4] = {};
    QLabel *m_logo = nullptr;
    QTextEdit *m_textArea = nullptr;
    QPushButton *m_yesButton = nullptr;
    QPushButton *m_noButton = nullptr;
    QPushButton *m_okButton = nullptr;
};

// Shows the message box and returns true for "是"/"确定", false for "否" or a closed box.
// The one way the program asks and informs.
bool showMessageBox(MessageType type, const QString &text);

// Tests answer message boxes through this hook instead of a window. An empty
// function restores the window.
using MessageBoxHook = std::function<bool(MessageType type, const QString &text)>;
void setMessageBoxHook(MessageBoxHook hook);

// The Prompter the program hands to procedures and windows.
class MessageBoxPrompter final : public Prompter {
public:
    bool showMessageBox(MessageType type, const QString &text) override {
        return orlu::showMessageBox(type, text);
    }
};

} // namespace orlu
