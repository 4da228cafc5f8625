#pragma once

#include <QObject>
#include <QString>

namespace kuji {

// Whether the desktop asks for less motion on screen, which turns 決定まで回す off. Qt 6 gives
// no such hint (QStyleHints has none, and QApplication's UI effects are off on most Linux
// desktops whatever the user chose), so the GNOME setting enable-animations is asked of
// gsettings, in a process of its own that nothing ever waits for: until it answers, and when
// it cannot answer (no gsettings, another desktop), motion counts as allowed.
class MotionPreference final : public QObject {
    Q_OBJECT
public:
    explicit MotionPreference(QObject* parent = nullptr);
    ~MotionPreference() override;

    // Starts asking, once; later calls do nothing.
    void ask();
    bool reduced() const { return m_reduced; }
    // For tests: takes this answer and asks nothing.
    void assume(bool reduced);

    // The program asked and its arguments.
    static QStringList query();

signals:
    void answered(bool reduced);

private:
    bool m_asked = false;
    bool m_reduced = false;
};

} // namespace kuji
