#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kuji {

struct DataErrorQuestion;

// The data-error dialog "データエラー": shows a record whose comma count is wrong and lets the
// user correct it (修正), drop it (スキップ) or drop it and every later one of the same load
// (全てスキップ). Closing it by its title bar or with Esc drops the record like スキップ.
class FrmPickupRecordError final : public QDialog {
    Q_OBJECT
public:
    enum class Answer { Skip, SkipAll, Fixed };

    // Tries a correction; true when it was taken (the dialog then closes), false to keep the
    // dialog open for another try.
    using Fix = std::function<bool(const QString& text)>;

    FrmPickupRecordError(const DataErrorQuestion& question, Fix fix, QWidget* parent = nullptr);

    Answer answer() const { return m_answer; }

private:
    void tryFix();

    Fix m_fix;
    Answer m_answer = Answer::Skip;
    QLabel* lblErrorFile = nullptr;
    QLabel* lblErrorRow = nullptr;
    QPlainTextEdit* txtData = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdCancelAll = nullptr;
};

} // namespace kuji
