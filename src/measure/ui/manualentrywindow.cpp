#include "measure/ui/manualentrywindow.h"

#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "core/prompter.h"
#include "measure/manualentry.h"
#include "measure/ui/windowparts.h"
#include "records/measurementrepository.h"
#include "widgets/statusbars.h"
#include "widgets/valuegrid.h"
#include "widgets/toolbuttons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimeEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr double DatesFrom = 4000.0; // day counts before 1911 mean "no date"

bool isDroppedKey(const QKeyEvent *key) {
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Return ||
        key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab)
        return false;
    return !std::all_of(text.begin(), text.end(), isEntryCharacter);
}

bool isEnter(const QKeyEvent *key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// What the short date and time texts give back when joined and read again:
// the time keeps only what its short form shows.
double joinedDateTime(const QDate &date, const QTime &time) {
    QTime shown = dateTimeLocale().toTime(shortTime(time), QLocale::ShortFormat);
    if (!shown.isValid())
        shown = QTime(time.hour(), time.minute());
    return toDayCount(QDateTime(date, shown));
}

} // namespace

// The cell editor: drops keys a value cannot contain and reports Enter once
// the text is in the cell.
class CellEntryDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_editor = editor;
        return editor;
    }

    // Puts what is being typed into the cell and closes the editor.
    void finishEditing() {
        if (QWidget *editor = m_editor) {
            m_editor = nullptr;
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

signals:
    void enterCommitted();

protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (isDroppedKey(key))
                return true;
            if (isEnter(key)) {
                m_editor = qobject_cast<QWidget *>(object);
                finishEditing();
                emit enterCommitted();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    mutable QPointer<QWidget> m_editor;
};

ManualEntryWindow::ManualEntryWindow(Prompter &prompter, const Clock &clock, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_clock(clock) {
    buildWindow();
}

ManualEntryWindow::ManualEntryWindow(NewEntry mode, Prompter &prompter, const Clock &clock, QWidget *parent)
    : ManualEntryWindow(prompter, clock, parent) {
    m_measurement = &mode.measurement;
}

ManualEntryWindow::ManualEntryWindow(Modify mode, Prompter &prompter, const Clock &clock, QWidget *parent)
    : ManualEntryWindow(prompter, clock, parent) {
    m_modify = true;
    m_measurements = std::move(mode.measurements);
    m_key = mode.key;
}

QString ManualEntryWindow::clearQuestion() {
    return u"确定要清除窗口表格中的经络能量数据吗?"_s;
}

QAction *ManualEntryWindow::action(const QString &objectName) const {
    return findChild<QAction *>(objectName);
}

void ManualEntryWindow::buildWindow() {
    setObjectName(u"manualEntryWindow"_s);
    setWindowTitle(u"经络能量数据输入"_s);

    m_toolBar = makeIconToolBar(this);
    auto add = [this](const QString &name, const QString &caption, const QString &hint,
                      QStyle::StandardPixmap icon) {
        return addIconTool(m_toolBar, name, caption, hint, icon);
    };
    m_saveAction = add(u"save"_s, u"储存数据"_s, u"储存能量数据"_s, QStyle::SP_DialogSaveButton);
    m_clearAction = add(u"clear"_s, u"清  除"_s, u"清除表中数据数据"_s, QStyle::SP_TrashIcon);
    m_toolBar->addSeparator();
    m_leaveAction = add(u"leave"_s, u"离  开"_s, u"离开本系统"_s, QStyle::SP_DialogCloseButton);
    connect(m_saveAction, &QAction::triggered, this, &ManualEntryWindow::saveClicked);
    connect(m_clearAction, &QAction::triggered, this, &ManualEntryWindow::clearClicked);
    connect(m_leaveAction, &QAction::triggered, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(m_toolBar);

    auto *valuePanel = new QGroupBox(this);
    auto *vp = new QVBoxLayout(valuePanel);
    m_heading = windowparts::addValueHeadings(vp, valuePanel, u"经络能量输入值"_s);
    m_grid = new ValueGrid(valuePanel);
    m_grid->setObjectName(u"valueGrid"_s);
    m_grid->setEditable(true);
    m_delegate = new CellEntryDelegate(m_grid);
    m_grid->setItemDelegate(m_delegate);
    connect(m_delegate, &CellEntryDelegate::enterCommitted, this, &ManualEntryWindow::enterPressed);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::currentCellChanged, this,
            [this](int, int, int previousRow, int previousColumn) {
                const int row = previousRow - ValueGrid::FirstDataRow + 1;
                if (m_loaded && row >= 1 && row <= 2 && previousColumn >= 1 &&
                    !normalise(row, previousColumn))
                    m_grid->setCursorCell(row, previousColumn);
            });
    vp->addWidget(m_grid, 0, Qt::AlignHCenter);
    layout->addWidget(valuePanel);

    auto *lower = new QHBoxLayout;
    const windowparts::PotentialChoice potential = windowparts::potentialChoice(this);
    m_highRadio = potential.high;
    m_standardRadio = potential.standard;
    m_standardRadio->setChecked(true);
    lower->addWidget(potential.group);

    auto *when = new QGroupBox(u"测量日期与时间"_s, this);
    auto *wg = new QGridLayout(when);
    m_dateCheck = new QCheckBox(u"设定测量日期与时间"_s, when);
    m_dateCheck->setObjectName(u"dateCheck"_s);
    m_datePicker = new QDateEdit(when);
    m_datePicker->setObjectName(u"datePicker"_s);
    m_datePicker->setCalendarPopup(true);
    m_timePicker = new QTimeEdit(when);
    m_timePicker->setObjectName(u"timePicker"_s);
    m_timePicker->setDisplayFormat(dateTimeLocale().timeFormat(QLocale::ShortFormat));
    wg->addWidget(m_dateCheck, 0, 0, 1, 2);
    wg->addWidget(new QLabel(u"测量日期:"_s, when), 1, 0);
    wg->addWidget(m_datePicker, 1, 1);
    wg->addWidget(new QLabel(u"测量时间:"_s, when), 2, 0);
    wg->addWidget(m_timePicker, 2, 1);
    connect(m_dateCheck, &QCheckBox::toggled, this, &ManualEntryWindow::dateCheckToggled);
    lower->addWidget(when);

    auto *memoGroup = new QGroupBox(u"症状描述与处置"_s, this);
    auto *mv = new QVBoxLayout(memoGroup);
    m_memo = new QPlainTextEdit(memoGroup);
    m_memo->setObjectName(u"memoEdit"_s);
    m_memo->setMinimumHeight(90);
    mv->addWidget(m_memo);
    lower->addWidget(memoGroup, 1);
    layout->addLayout(lower);

    m_statusBar = makeStatusBar(this);
    layout->addWidget(m_statusBar);
}

void ManualEntryWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_loaded)
        loadEntries();
}

void ManualEntryWindow::loadEntries() {
    m_clearAction->setEnabled(false);
    std::array<double, 24> values{};
    double at = 0;
    bool high = false;
    QString memo;
    if (m_modify) {
        const std::optional<MeasurementRecord> record = m_measurements->fetch(m_key);
        if (!record) {
            m_prompter.showMessageBox(MessageType::NoteError,
                                      u"找不到要修改的经络能量数据，它可能已被删除。"_s);
            QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
            return;
        }
        m_record = *record;
        setWindowTitle(u"经络能量数据修改"_s);
        m_heading->setText(u"经络能量修改值"_s);
        m_statusBar->showMessage(
            u"修改原有数据。请输入 0.1 - 200.0 的数值，不在这个范围内将视为无效的输入值。"_s);
        values = record->values;
        at = record->measuredAt;
        high = record->highPotential;
        memo = QString(record->memo).replace(u"\r\n"_s, u"\n"_s);
    } else {
        setWindowTitle(u"经络能量数据新增输入"_s);
        m_heading->setText(u"经络能量新增输入值"_s);
        m_statusBar->showMessage(
            u"新增一笔经络能量数据。请输入 0.1 - 200.0 的数值，不在这个范围内将视为无效的输入值。"_s);
        values = m_measurement->values;
        at = m_measurement->measuredAt;
        high = m_measurement->highPotential;
        memo = m_measurement->memo.join(u'\n');
    }
    fillGrid(values);
    m_memo->setPlainText(memo);
    m_grid->setFocus();
    m_grid->setCursorCell(1, 1);
    (high ? m_highRadio : m_standardRadio)->setChecked(true);
    setPickers(at >= DatesFrom || !m_modify, at);
    if (std::any_of(values.begin(), values.end(), [](double v) { return v != 0.0; }))
        m_clearAction->setEnabled(true);
    m_loaded = true;
}

void ManualEntryWindow::fillGrid(const std::array<double, 24> &values) {
    for (int c = 1; c <= ChannelCount; ++c)
        m_grid->setChannelText(c, initialCellText(values[c - 1]));
}

void ManualEntryWindow::setPickers(bool on, double dayCount) {
    m_dateCheck->setChecked(on);
    dateCheckToggled(on);
    const QDateTime shown = dayCount >= DatesFrom ? fromDayCount(dayCount) : m_clock.now();
    m_datePicker->setDate(shown.date());
    m_timePicker->setTime(shown.time());
}

void ManualEntryWindow::dateCheckToggled(bool on) {
    m_datePicker->setEnabled(on);
    m_timePicker->setEnabled(on);
}

bool ManualEntryWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_grid) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (isDroppedKey(key))
                return true;
            if (isEnter(key)) { // the cell editor has the keys while a cell is typed in
                enterPressed();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && m_loaded) {
            // Leaving the grid (not for its own cell editor) tidies every cell.
            QWidget *to = QApplication::focusWidget();
            if (!to || !m_grid->isAncestorOf(to))
                normaliseAll();
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool ManualEntryWindow::normalise(int row, int column) {
    if (m_normalising)
        return true;
    const QString text = m_grid->cellText(row, column);
    const NormalisedCell cell = normaliseCell(text);
    if (!cell.valid) {
        m_normalising = true;
        m_prompter.showMessageBox(MessageType::NoteCaution,
                                  u"“"_s + text.trimmed() +
                                      u"” 不是有效的数值。请输入 0.1 - 200.0 的数值。"_s);
        m_normalising = false;
        return false;
    }
    m_grid->setCellText(row, column, cell.text);
    if (!cell.text.isEmpty())
        m_clearAction->setEnabled(true);
    return true;
}

bool ManualEntryWindow::normaliseAll() {
    for (int row = 1; row <= 2; ++row)
        for (int column = 1; column <= MeridianCount; ++column)
            if (!normalise(row, column)) {
                m_grid->setCursorCell(row, column);
                return false;
            }
    return true;
}

void ManualEntryWindow::enterPressed() {
    const GridCell cell = m_grid->cursorCell();
    if (cell.row < 1 || cell.column < 1 || !normalise(cell.row, cell.column))
        return;
    if (m_grid->cellText(cell.row, cell.column).isEmpty())
        return;
    const GridCell next = cellAfterEnter(cell);
    m_grid->setCursorCell(next.row, next.column);
}

void ManualEntryWindow::clearClicked() {
    if (!m_prompter.showMessageBox(MessageType::AskQuestion, clearQuestion()))
        return;
    m_grid->clearValues();
    m_grid->setCursorCell(1, 1);
    m_clearAction->setEnabled(false);
    m_grid->setFocus();
    m_standardRadio->setChecked(true);
    setPickers(true, 0);
}

double ManualEntryWindow::pickedDateTime() const {
    if (!m_dateCheck->isChecked())
        return 0;
    return joinedDateTime(m_datePicker->date(), m_timePicker->time());
}

void ManualEntryWindow::saveClicked() {
    if (store())
        accept();
}

bool ManualEntryWindow::store() {
    // A cell still being typed in counts as typed.
    m_delegate->finishEditing();
    if (!normaliseAll())
        return false;
    std::array<double, 24> values{};
    for (int c = 1; c <= ChannelCount; ++c) {
        const std::optional<double> v = storedCellValue(m_grid->channelText(c));
        if (!v)
            return false; // normaliseAll has told the operator
        values[c - 1] = *v;
    }
    const bool high = m_highRadio->isChecked();
    const double at = pickedDateTime();
    if (!m_modify) {
        CurrentMeasurement &m = *m_measurement;
        m.setAllValues(values);
        m.highPotential = high;
        m.measuredAt = at;
        m.readingsUnsaved = true;
        const QString memo = m_memo->toPlainText();
        m.memo = memo.isEmpty() ? QStringList() : memo.split(u'\n');
        return true;
    }
    MeasurementRecord record = m_record;
    record.key = m_key;
    record.values = values;
    record.highPotential = high;
    record.measuredAt = at;
    record.memo = m_memo->toPlainText().replace(u"\n"_s, u"\r\n"_s);
    QString error;
    // Another seat's change since the window read the row is not overwritten.
    if (!m_measurements->update(record, &error, &m_record)) {
        m_prompter.showMessageBox(MessageType::NoteError, u"经络能量数据无法储存！\n"_s + error);
        return false;
    }
    return true;
}

} // namespace orlu

#include "manualentrywindow.moc"
