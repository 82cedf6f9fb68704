#pragma once
#include <QByteArray>
#include <QString>

namespace platform {

// Writes the bytes to a temporary file beside the path, flushes it to disk,
// then renames it over the path: a crash leaves the old file or the new one
// whole, never a mix. Returns false (and leaves the old file) on any failure.
bool ReplaceFile(const QString& path, const QByteArray& bytes);

}  // namespace platform
