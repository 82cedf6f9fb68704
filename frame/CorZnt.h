#pragma once
/// \file
/// The host's core control: the one way the module reads and drives the
/// planetarium view. Every command and query is text, and so is the answer
/// (see docs/host-commands.md). The host owns it; dialogs keep a pointer.
#include <QString>

/// The planetarium core as the dialogs see it. The host implements it and
/// hands it to the dialogs that ask the core something: the program dialog
/// asks `? LST(time)` for the date of today's entry, the share dialog saves
/// the chart, the favourites name a new chart by its date.
class __attribute__((visibility("default"))) CCorZnt {
public:
    /// The host's core goes through this interface as well.
    virtual ~CCorZnt() = default;

    /// Runs one command text ("? view.angle", "Show Sky", several joined by
    /// "; ") and returns its result text.
    virtual QString ExecCommand(const QString& command) = 0;
};
