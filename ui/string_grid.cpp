#include "string_grid.hpp"

#include "number_format.hpp"

#include <QHeaderView>
#include <QPainter>

namespace {

char separatorOf(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                         : '.';
}

// A column header of fixed height. Qt sizes a header from its texts measured in bold, which
// loads a bold face at start only to learn a height the grid fixes anyway.
class FixedHeightHeader : public QHeaderView {
public:
    FixedHeightHeader(int height, QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setFixedHeight(height);
    }
    QSize sizeHint() const override { return {length(), height()}; }
};

} // namespace

TColumn::TColumn(TStringGrid* grid, int decimals)
    : QStyledItemDelegate(grid), m_grid(grid), m_decimals(decimals) {}

QString TColumn::displayText(const QVariant& value, const QLocale& locale) const {
    const QString text = value.toString();
    if (m_decimals < 0)
        return text;
    const char sep = separatorOf(locale);
    const auto number = veidora::parseNumber(text.toStdString(), sep);
    if (!number)
        return text;
    return QString::fromStdString(veidora::formatDecimals(*number, m_decimals, sep));
}

void TColumn::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_decimals >= 0)
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

void TColumn::paint(QPainter* painter, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const {
    if (!m_grid->OnDrawColumnCell) {
        paintDefault(painter, option, index);
        return;
    }
    m_grid->OnDrawColumnCell(painter, const_cast<TColumn*>(this), option.rect, index.row(),
                             [&] { paintDefault(painter, option, index); });
}

void TColumn::paintDefault(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // The cell's own background is left out so that the handler's fill shows through.
    opt.backgroundBrush = Qt::NoBrush;
    opt.state &= ~QStyle::State_Selected;
    opt.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, opt, index);
}

TStringGrid::TStringGrid(int rows, QWidget* parent) : QTableWidget(parent) {
    // Rows come after the row header is hidden: a shown header would size itself from the
    // contents of every new row, which is most of the grid's cost at start.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(21);
    verticalHeader()->setMinimumSectionSize(10);
    setHorizontalHeader(new FixedHeightHeader(21, this));
    horizontalHeader()->setSectionsClickable(true); // as the header it replaces
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    setRowCount(rows);
}

void TStringGrid::setColumns(std::initializer_list<Column> columns) {
    // The header measures itself on every change while it is shown; hidden, it measures once,
    // when the grid is first laid out.
    const bool shown = !horizontalHeader()->isHidden();
    horizontalHeader()->hide();
    setColumnCount(static_cast<int>(columns.size()));
    int col = 0;
    for (const Column& c : columns) {
        setItemDelegateForColumn(col, c.column);
        setHorizontalHeaderItem(col, new QTableWidgetItem(QString()));
        setColumnWidth(col, c.width);
        ++col;
    }
    horizontalHeader()->setVisible(shown);
}

TColumn* TStringGrid::column(int col) const {
    return qobject_cast<TColumn*>(itemDelegateForColumn(col));
}

QString TStringGrid::cell(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TStringGrid::setCell(int col, int row, const QString& text) {
    if (QTableWidgetItem* it = item(row, col)) {
        it->setText(text);
        return;
    }
    auto* it = new QTableWidgetItem(text);
    it->setFlags(Qt::ItemIsEnabled);
    setItem(row, col, it);
}

QString TStringGrid::header(int col) const {
    const QTableWidgetItem* it = horizontalHeaderItem(col);
    return it ? it->text() : QString();
}

void TStringGrid::setHeader(int col, const QString& text) {
    if (QTableWidgetItem* it = horizontalHeaderItem(col))
        it->setText(text);
    else
        setHorizontalHeaderItem(col, new QTableWidgetItem(text));
}
