#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

class QGridLayout;

namespace kuji {

class FittedText;

// 一覧: the winners of a round side by side under its title, for the photograph. Each cell
// fits its text as the big screen does.
class WinnerGrid final : public QWidget {
    Q_OBJECT
public:
    // The cells paint their own background in this colour.
    WinnerGrid(QWidget* parent, const QColor& background);

    void showCells(const QString& title, const QStringList& cells);

    const FittedText* title() const { return lblGridTitle; }
    const QList<FittedText*>& cells() const { return m_cells; }

private:
    FittedText* lblGridTitle = nullptr;
    QGridLayout* m_grid = nullptr;
    QList<FittedText*> m_cells;
    QColor m_background;
};

} // namespace kuji
