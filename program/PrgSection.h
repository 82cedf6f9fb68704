#pragma once
// The program list editor: creates a list file, appends a program to it and
// removes one. (Declared; built with the program list.)
#include "frame/Zvnd06Export.h"

#include <QString>

class ZVND06_EXPORT CPrgSection {
public:
    static int MakeNew(const QString& listPath);
    static int Add(const QString& listPath, const QString& sectionFile);
    static int Delete(const QString& listPath, const QString& baseName);
};
