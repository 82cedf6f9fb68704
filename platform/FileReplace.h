#pragma once
#include <QByteArray>
#include <QString>

namespace platform {

// Who may read the file once it is replaced.
enum class FileAccess {
    AsBefore,   // an existing file's permissions, else the process's default (umask)
    OwnerOnly,  // mode 0600, from the first byte on: a file that holds secrets (tokens)
};

// Writes the bytes to a temporary file beside the path, flushes it to disk,
// then renames it over the path: a crash leaves the old file or the new one
// whole, never a mix. Returns false (and leaves the old file) on any failure.
bool ReplaceFile(const QString& path, const QByteArray& bytes, FileAccess access = FileAccess::AsBefore);

}  // namespace platform
