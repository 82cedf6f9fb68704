#pragma once
// The module as the host sees it once it is loaded: its resources are in
// the chain (registered when the library loads, removed when it unloads)
// and its version block can be read.
#include "frame/Zvnd06Export.h"

#include <QString>

struct ZvnModuleInfo {
    QString name;
    QString version;
    QString description;
};

// the module's version block (res/version.txt.in)
ZVND06_EXPORT ZvnModuleInfo GetModuleInfo();

// Registering and removing the module's resources. Loading and unloading the
// library call these; a host calls them only to take the module's resources
// out of the chain and back while it stays loaded.
ZVND06_EXPORT void AttachModule();
ZVND06_EXPORT void DetachModule();
ZVND06_EXPORT bool IsModuleAttached();
