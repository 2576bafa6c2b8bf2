#include "widgets/valuegrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
constexpr int HeaderColumnWidth = 58;
constexpr int ValueColumnWidth = 60;
constexpr int RowHeight = 24;
constexpr int TableRows = ValueGrid::FirstDataRow + 2;
constexpr int TableColumns = MeridianCount + 1;

QTableWidgetItem *headerItem(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    item->setBackground(QColor(212, 208, 200));
    return item;
}
// Draws a cell as usual, then its mark as a small triangle in the top right corner.
class MarkDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QColor mark = index.data(ValueGrid::MarkRole).value<QColor>();
        if (!mark.isValid())
            return;
        constexpr int Size = 9;
        const QRect r = option.rect;
        const QPoint corner = r.topRight();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(mark);
        painter->drawPolygon(QPolygon{corner, corner - QPoint(Size, 0), corner + QPoint(0, Size)});
        painter->restore();
    }
};

} // namespace

ValueGrid::ValueGrid(QWidget *parent)
    : QTableWidget(TableRows, TableColumns, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setColumnWidth(0, HeaderColumnWidth);
    for (int col = 1; col < TableColumns; ++col)
        setColumnWidth(col, ValueColumnWidth);
    for (int row = 0; row < TableRows; ++row)
        setRowHeight(row, RowHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A disabled grid only refuses input; its values must stay as readable as ever.
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::Base,
                                     QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Disabled, role, pal.color(QPalette::Active, role));
    setPalette(pal);
    fillHeaders();
    setItemDelegate(new MarkDelegate(this));
    connect(this, &QTableWidget::cellClicked, this, [this](int tableRow, int column) {
        if (const auto c = channelOfGridCell(tableRow - FirstDataRow + 1, column))
            emit channelClicked(*c);
    });
}

void ValueGrid::fillHeaders() {
    setItem(0, 0, headerItem(QString()));
    setItem(1, 0, headerItem(QString()));
    setSpan(0, 0, 2, 1);
    setItem(0, 1, headerItem(u"手部"_s));
    setSpan(0, 1, 1, 6);
    setItem(0, 7, headerItem(u"足部"_s));
    setSpan(0, 7, 1, 6);
    for (int m = 1; m <= MeridianCount; ++m)
        setItem(1, m, headerItem(meridian(m).gridLabel));
    for (int row = 1; row <= 2; ++row) {
        setItem(FirstDataRow + row - 1, 0, headerItem(gridRowLabel(row)));
        for (int col = 1; col <= MeridianCount; ++col) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(FirstDataRow + row - 1, col, item);
        }
    }
    QFont mono = font();
    mono.setFamily(u"monospace"_s);
    mono.setStyleHint(QFont::Monospace);
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= MeridianCount; ++col)
            cellItem(row, col)->setFont(mono);
}

QTableWidgetItem *ValueGrid::cellItem(int row, int column) const {
    return item(FirstDataRow + row - 1, column);
}

void ValueGrid::setCellText(int row, int column, const QString &text) {
    cellItem(row, column)->setText(text);
}

QString ValueGrid::cellText(int row, int column) const {
    return cellItem(row, column)->text();
}

void ValueGrid::setChannelText(int channel, const QString &text) {
    const GridCell cell = gridCellOfChannel(channel);
    setCellText(cell.row, cell.column, text);
}

QString ValueGrid::channelText(int channel) const {
    const GridCell cell = gridCellOfChannel(channel);
    return cellText(cell.row, cell.column);
}

void ValueGrid::setChannelMark(int channel, const QColor &colour, const QString &toolTip) {
    const GridCell cell = gridCellOfChannel(channel);
    QTableWidgetItem *it = cellItem(cell.row, cell.column);
    it->setData(MarkRole, colour.isValid() ? QVariant(colour) : QVariant());
    it->setToolTip(toolTip);
}

QColor ValueGrid::channelMark(int channel) const {
    const GridCell cell = gridCellOfChannel(channel);
    return cellItem(cell.row, cell.column)->data(MarkRole).value<QColor>();
}

void ValueGrid::clearValues() {
    for (int c = 1; c <= ChannelCount; ++c)
        setChannelText(c, QString());
}

void ValueGrid::setCursorCell(int row, int column) {
    setCurrentCell(FirstDataRow + row - 1, column);
}

void ValueGrid::setCursorChannel(int channel) {
    const GridCell cell = gridCellOfChannel(channel);
    setCursorCell(cell.row, cell.column);
}

GridCell ValueGrid::cursorCell() const {
    return {currentRow() - FirstDataRow + 1, currentColumn()};
}

void ValueGrid::setEditable(bool editable) {
    setEditTriggers(editable ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= MeridianCount; ++col) {
            QTableWidgetItem *it = cellItem(row, col);
            it->setFlags(editable ? it->flags() | Qt::ItemIsEditable : it->flags() & ~Qt::ItemIsEditable);
        }
}

QRect ValueGrid::cellRect(int row, int column) const {
    return visualItemRect(cellItem(row, column));
}

QSize ValueGrid::sizeHint() const {
    return {HeaderColumnWidth + ValueColumnWidth * MeridianCount + 2 * frameWidth(),
            RowHeight * TableRows + 2 * frameWidth()};
}

} // namespace orlu
