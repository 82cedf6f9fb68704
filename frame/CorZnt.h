#pragma once
// The host's core control: the one way the module reads and drives the
// planetarium view. Every command and query is text, and so is the answer
// (see docs/host-commands.md). The host owns it; dialogs keep a pointer.
#include <QString>

class __attribute__((visibility("default"))) CCorZnt {
public:
    virtual ~CCorZnt() = default;

    // Runs one command text ("? view.angle", "Show Sky", several joined by
    // "; ") and returns its result text.
    virtual QString ExecCommand(const QString& command) = 0;
};
