#pragma once

#include <QStyledItemDelegate>
#include <QTableWidget>

#include <functional>
#include <initializer_list>

class TStringGrid;

// A column of the grid: how its cells are shown. Number columns show text that reads as a
// number in the current locale with a fixed count of decimals; other text as it stands.
class TColumn : public QStyledItemDelegate {
    Q_OBJECT
public:
    TColumn(TStringGrid* grid, int decimals); // decimals < 0: a text column
    int decimals() const { return m_decimals; }
    QString displayText(const QVariant& value, const QLocale& locale) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The cell's default content over whatever the grid's drawing handler filled.
    void paintDefault(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TStringGrid* m_grid;
    int m_decimals;
};

// Text cells by column and row, read-only, with a per-cell drawing handler.
class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    TStringGrid(int rows, QWidget* parent = nullptr);

    struct Column {
        TColumn* column;
        int width;
    };
    void setColumns(std::initializer_list<Column> columns); // all of them, once

    TColumn* column(int col) const;

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    QString header(int col) const;
    void setHeader(int col, const QString& text);

    // (painter, column, cell bounds, row, default drawing) — the handler draws the cell and
    // calls the default drawing when it wants the cell's content.
    using DrawColumnCell = std::function<void(QPainter*, TColumn*, const QRect&, int row,
                                              const std::function<void()>& drawDefault)>;
    DrawColumnCell OnDrawColumnCell;
};
