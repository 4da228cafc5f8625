#pragma once

#include <QApplication>

namespace kuji {

// The wait cursor for as long as a command runs to its end inside its handler.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The wait cursor of a window's busy state: on while busy, off when idle, and never left
// behind by a window that goes away busy.
class BusyCursor {
public:
    BusyCursor() = default;
    ~BusyCursor() { set(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void set(bool busy)
    {
        if (busy == m_on)
            return;
        m_on = busy;
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }

private:
    bool m_on = false;
};

} // namespace kuji
