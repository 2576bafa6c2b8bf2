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
    // Shows "储存", "不储存" and "取消" instead of the type's buttons.
    void offerSaving() { m_offersSaving = true; }
    SaveChoice saveChoice() const { return m_saveChoice; }

    static QString captionOf(MessageType type);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void yesClicked();
    void noClicked();
    void saveChosen(SaveChoice choice);

    MessageType m_type;
    QString m_text;
    bool m_result = false;
    bool m_offersSaving = false;
    SaveChoice m_saveChoice = SaveChoice::Stay;
    QLabel *m_picture[4] = {};
    QLabel *m_logo = nullptr;
    QTextEdit *m_textArea = nullptr;
    QPushButton *m_yesButton = nullptr;
    QPushButton *m_noButton = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_discardButton = nullptr;
    QPushButton *m_stayButton = nullptr;
};

// Shows the message box and returns true for "是"/"确定", false for "否" or a closed box.
// The one way the program asks and informs.
bool showMessageBox(MessageType type, const QString &text);

// Asks whether to save before work is lost: "储存", "不储存" or "取消" (also a closed box).
SaveChoice showSaveQuestion(const QString &text);

// Tests answer message boxes through this hook instead of a window. An empty
// function restores the window. A save question goes to it as a caution: yes is "不储存".
using MessageBoxHook = std::function<bool(MessageType type, const QString &text)>;
void setMessageBoxHook(MessageBoxHook hook);

// The Prompter the program hands to procedures and windows.
class MessageBoxPrompter final : public Prompter {
public:
    bool showMessageBox(MessageType type, const QString &text) override {
        return orlu::showMessageBox(type, text);
    }
    SaveChoice askToSave(const QString &text) override { return showSaveQuestion(text); }
};

} // namespace orlu
