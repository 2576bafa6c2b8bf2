#pragma once

#include "analysis/textstore.h"
#include "widgets/firstshowdialog.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <memory>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;

namespace orlu {

// "经络图示解说": every reference text, the attributes, the key points and the
// diagram of one meridian at a time, independent of any measurement.
class ExplanationWindow : public FirstShowDialog {
    Q_OBJECT
public:
    // `textDb` is the open reference text database.
    explicit ExplanationWindow(ReferenceTextStore texts, QWidget *parent = nullptr);
    ~ExplanationWindow() override;

    // The rows of the meridian list, exactly as shown.
    static const std::array<QString, 12> &meridianRows();
    // The key (1..12) of the record shown.
    int shownKey() const { return m_key; }

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *createLeftColumn();
    QWidget *createDiagramPage();
    // A page of text boxes stacked top to bottom; the boxes go to m_boxes from `first` on.
    QWidget *createTextPage(std::size_t first, const QStringList &names);
    void fillMeridianList();
    void meridianClicked();
    void showMeridian(int key);

    ReferenceTextStore m_store;
    const ReferenceTexts *m_texts = nullptr; // while the window is open
    int m_key = 0;

    QListWidget *m_list = nullptr;
    std::array<QLabel *, 5> m_attributes{};
    std::array<QLabel *, 3> m_points{};
    QTabWidget *m_pages = nullptr;
    QLabel *m_diagram = nullptr;
    QWidget *m_diagramView = nullptr; // the scrolling area's view
    // DtMA1, DtMH1, DtML1 | DtMH5, DtML5 | DtMH3+DtMH2, DtML3+DtML2 | DtMA3+DtMH4, DtML4
    std::array<QPlainTextEdit *, 9> m_boxes{};
};

} // namespace orlu
