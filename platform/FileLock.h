#pragma once
#include <QString>
#include <string>

namespace platform {

// An advisory lock on a file that several processes change (the settings, a program
// list), held for the life of the object. It locks a sibling file, the path + ".lock",
// that is never replaced, so the file itself can still be replaced by a rename while it
// is held. The kernel lets go of it when its process ends in any way, so a writer that
// was killed never blocks the next one. Taken again on the same thread while it is
// held, it only counts, so a change may call another that locks the same file.
//
// A read-modify-write reads the file again after the lock is taken: what was read
// before may already be out of date.
class FileLock {
public:
    // Waits up to `waitMs` for a process that holds the lock; IsHeld() says whether it came.
    explicit FileLock(const QString& path, int waitMs = kDefaultWaitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsHeld() const { return m_held; }
    static QString LockPath(const QString& path) { return path + QStringLiteral(".lock"); }

    // far longer than any change of a file takes; only a writer that hangs is waited out
    static constexpr int kDefaultWaitMs = 10000;

private:
    std::string m_key;  // the lock file's path as the system names it
    bool m_held = false;
};

}  // namespace platform
