#pragma once
#include <QString>

namespace platform {

// A temporary folder of the user's own (mode 0700, made once per process and
// removed at exit), ending in "/"; empty when none can be made. It is made in
// the system's temporary folder, else in $XDG_RUNTIME_DIR, else in the user's
// cache folder.
QString GetTempPath();

// Makes GetTempPath() answer the given folder (tests); an empty text restores it.
void SetTempPath(const QString& folder);

}  // namespace platform
