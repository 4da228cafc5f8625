#pragma once

#include "common/FileErrors.h"
#include "draw/Commitment.h"

#include <QString>

#include <optional>

namespace kuji {

class RecordStore;

// What the records window needs of the main window beyond MainWindowPort: the commitment of
// the next public draw and its public value, the option to keep records, and the folder of
// records. The main window's side implements it.
class RecordsHost {
public:
    virtual ~RecordsHost() = default;

    // The public value for the next completed draw; empty when none is set. Only a waiting
    // commitment takes one.
    virtual QString publicValue() const = 0;
    virtual void setPublicValue(const QString& value) = 0;

    // Whether every completed draw leaves a record; kept in the settings file. A public draw
    // keeps its record either way.
    virtual bool keepRecords() const = 0;
    virtual void setKeepRecords(bool keep) = 0;

    virtual RecordStore& recordStore() = 0;

    // The commitment waiting for its public draw, kept in the records folder until the draw.
    virtual const std::optional<Commitment>& commitment() const = 0;
    // Replaces the waiting commitment (the public value typed for the old one goes).
    virtual bool setCommitment(const Commitment& commitment, ErrorInfo& err) = 0;
    virtual bool clearCommitment(ErrorInfo& err) = 0;
};

} // namespace kuji
