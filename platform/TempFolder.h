#pragma once
#include <QString>

namespace platform {

// The user's temporary folder, ending in "/".
QString GetTempPath();

// Makes GetTempPath() answer the given folder (tests); an empty text restores it.
void SetTempPath(const QString& folder);

}  // namespace platform
