#include "announce/ui/WinnerGrid.h"

#include "announce/ui/FittedText.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include <cmath>

namespace kuji {

WinnerGrid::WinnerGrid(QWidget* parent, const QColor& background)
    : QWidget(parent)
    , m_background(background)
{
    setObjectName(QStringLiteral("fraGrid"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lblGridTitle = new FittedText("lblGridTitle", this);
    lblGridTitle->setBackground(m_background);
    lblGridTitle->setColor(QColor(0xFF, 0xD7, 0x40));
    lblGridTitle->setBold(true);
    layout->addWidget(lblGridTitle, 1);
}

// Cells about twice as wide as high fill a wide screen best: the columns grow with the
// square root of the count.
void WinnerGrid::showCells(const QString& title, const QStringList& cells)
{
    lblGridTitle->setText(title);
    if (cells.size() != m_cells.size()) {
        qDeleteAll(m_cells);
        m_cells.clear();
        // A fresh grid, so no row or column of an earlier, larger round keeps its room.
        delete m_grid;
        m_grid = new QGridLayout;
        m_grid->setSpacing(8);
        static_cast<QVBoxLayout*>(layout())->addLayout(m_grid, 6);
        const int columns = std::max(1, static_cast<int>(std::lround(std::sqrt(2.0 * cells.size()))));
        for (qsizetype i = 0; i < cells.size(); ++i) {
            auto* cell = new FittedText("lblCell", this);
            cell->setBackground(m_background);
            cell->setContentsMargins(4, 4, 4, 4);
            m_grid->addWidget(cell, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
            m_cells << cell;
        }
        for (int row = 0; row < m_grid->rowCount(); ++row)
            m_grid->setRowStretch(row, 1);
        for (int column = 0; column < m_grid->columnCount(); ++column)
            m_grid->setColumnStretch(column, 1);
    }
    for (qsizetype i = 0; i < cells.size(); ++i)
        m_cells[i]->setText(cells[i]);
}

} // namespace kuji
