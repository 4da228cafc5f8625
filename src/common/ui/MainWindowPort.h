#pragma once

#include "common/EntryList.h"
#include "common/ui/CommandWork.h"

#include <QString>

#include <memory>

class QWidget;

namespace kuji {

class LongWork;
class ProgressPanel;

// What the main window offers the entry sources and the tool windows, and nothing more:
// they never touch its controls. The main window implements it. As a WorkHost it runs the
// long work of commands that act on it, with its busy state and progress frame.
class MainWindowPort : public WorkHost {
public:
    // The three settings boxes and the no-duplicates option, as the user sees them.
    struct DrawBoxes {
        QString first; // minimum, or the entry file's path in file mode
        QString second; // maximum, or the registered count in file mode
        QString count;
        bool noDuplicates = false;
    };

    ~MainWindowPort() override = default;

    // The main window, as the owner of dialogs.
    virtual QWidget* mainWidget() = 0;

    // The command state: busy (false) or idle (true), and whether the window is busy now.
    virtual void setCommandState(bool idle) = 0;
    virtual bool isBusy() const = 0;
    // Start is offered exactly when the three boxes hold text.
    virtual void refreshStartAvailability() = 0;
    virtual bool isFileMode() const = 0;

    // The progress frame; the runner of long work, which Stop ends, is longWork().
    virtual ProgressPanel& progressPanel() = 0;

    virtual void showMainWindow() = 0;
    virtual void hideMainWindow() = 0;

    // The file the work list was read from, as an absolute path; empty when the list came
    // from anywhere else (a transfer) or nothing is loaded.
    virtual QString currentEntryFile() const = 0;
    // The work list as it stands: the entries a file-mode draw would draw from.
    virtual std::shared_ptr<const EntryList> workList() const = 0;

    // A read is starting: the lists are emptied and hidden, the path shows in the first box
    // and the count box is empty until the read ends.
    virtual void beginWorkListRead(const QString& path) = 0;
    // Replaces the work list, as a completed file read does: the first box and its tooltip
    // show the source (a path, or a label such as 文字列作成), the count box the number of
    // entries, and the results are emptied so the result commands wait for the next draw.
    // fromFile tells whether source names the file the entries were read from. An empty
    // source with no entries leaves the boxes empty (a read that failed or was stopped).
    virtual void replaceWorkList(EntryList entries, const QString& source, bool fromFile) = 0;

    // Selects a mode as the resets do: the mode switch always runs, emptying boxes and lists.
    virtual void selectMode(bool fileMode) = 0;
    virtual DrawBoxes drawBoxes() const = 0;
    // Sets the boxes; in file mode only the count box and the option are taken.
    virtual void setDrawBoxes(const DrawBoxes& boxes) = 0;
};

} // namespace kuji
