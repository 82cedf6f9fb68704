#pragma once
/// \file
/// The program list editor: creates a list file, appends a program to it and
/// removes one, always through a temporary file, so that the list itself is
/// replaced only by a whole new one.
#include "frame/Zvnd06Export.h"

#include <QString>

/// The program list editor. Each change holds the list's lock file (the list's
/// path + ".lock") for its whole read and write, so that programs several
/// processes add at once all stay, numbered without a gap; a message box waits
/// until the lock is let go. It touches no settings and sends no window message.
class ZVND06_EXPORT CPrgSection {
public:
    /// Writes a new list with its header and no programs (message 16313 on failure).
    /// Returns 1 when the list was written, else 0.
    static int MakeNew(const QString& listPath);
    /// Appends the program whose key=value lines the section file holds as the
    /// list's new last section, creating the list when it is missing (message
    /// 16315 on failure, the list unchanged).
    /// A section file that is not text, larger than 1 MiB or opening a section of
    /// its own is refused. Returns 1 when the program was added, else 0 (16313 as
    /// well when the list could not be created).
    static int Add(const QString& listPath, const QString& sectionFile);
    /// Removes the program whose Script is baseName + ".zsf" and renumbers the
    /// sections after it. Silent; 1 when a section was removed.
    static int Delete(const QString& listPath, const QString& baseName);
};
