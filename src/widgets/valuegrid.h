#pragma once

#include "core/channels.h"

#include <QTableWidget>

namespace orlu {

// The 2 x 12 grid of channel values: a group row ("手部", "足部"), a row of
// meridian labels, and the rows "左  侧" and "右  侧". Cells are addressed as the
// channel model does: row 1..2, column 1..12.
class ValueGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ValueGrid(QWidget *parent = nullptr);

    static constexpr int FirstDataRow = 2; // table row of grid row 1
    static constexpr int MarkRole = Qt::UserRole + 1;

    void setCellText(int row, int column, const QString &text);
    QString cellText(int row, int column) const;
    void setChannelText(int channel, const QString &text);
    QString channelText(int channel) const;
    void clearValues();
    // A coloured corner on a channel's cell with its tool tip; an invalid
    // colour takes the mark away.
    void setChannelMark(int channel, const QColor &colour, const QString &toolTip);
    QColor channelMark(int channel) const;

    // The grid cursor.
    void setCursorCell(int row, int column);
    void setCursorChannel(int channel);
    GridCell cursorCell() const;

    // Whether data cells can be typed into.
    void setEditable(bool editable);
    // Where a cell is drawn, in viewport coordinates (for clicks in tests).
    QRect cellRect(int row, int column) const;
    QTableWidgetItem *cellItem(int row, int column) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A data cell was clicked.
    void channelClicked(int channel);

private:
    void fillHeaders();
};

} // namespace orlu
