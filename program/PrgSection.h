#pragma once
// The program list editor: creates a list file, appends a program to it and
// removes one, always through a temporary file, so that the list itself is
// replaced only by a whole new one.
#include "frame/Zvnd06Export.h"

#include <QString>

class ZVND06_EXPORT CPrgSection {
public:
    // Writes a new list with its header and no programs (message 16313 on failure).
    static int MakeNew(const QString& listPath);
    // Appends the program whose key=value lines the section file holds as the
    // list's new last section, creating the list when it is missing (message
    // 16315 on failure, the list unchanged).
    static int Add(const QString& listPath, const QString& sectionFile);
    // Removes the program whose Script is baseName + ".zsf" and renumbers the
    // sections after it. Silent; 1 when a section was removed.
    static int Delete(const QString& listPath, const QString& baseName);
};
