#pragma once

#include "records/VerificationReport.h"

#include <QString>

#include <functional>

namespace kuji {

class RecordStore;

// What the records window needs of the main window beyond MainWindowPort: the public value
// waiting for the next draw, the option to keep records, the folder of records, and
// re-running a record (the draw engine belongs to the main window). The main window's side
// implements it.
class RecordsHost {
public:
    virtual ~RecordsHost() = default;

    // The public value for the next completed draw; empty when none is set.
    virtual QString publicValue() const = 0;
    virtual void setPublicValue(const QString& value) = 0;

    // Whether every completed draw leaves a record; kept in the settings file.
    virtual bool keepRecords() const = 0;
    virtual void setKeepRecords(bool keep) = 0;

    virtual RecordStore& recordStore() = 0;

    // Re-runs a record as long work of the main window (its progress frame and Stop) and hands
    // the finding to done. When the record's entries cannot be found, the user is asked for
    // the entry file first; cancelling ends it without a call. False when other work runs.
    virtual bool verifyRecord(const QString& recordPath, std::function<void(const VerificationReport&)> done) = 0;
};

} // namespace kuji
