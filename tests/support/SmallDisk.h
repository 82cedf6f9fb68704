#pragma once
// A tiny file system mounted over a test's own folder, so that writes meet a
// full disk (ENOSPC) for real. Mounting needs root, as in CI; elsewhere the
// test that asks for one is skipped with the reason.
#include <QString>

class SmallDisk {
public:
    // mounts a tmpfs of `bytes` over `folder` (created when missing)
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool IsMounted() const { return m_mounted; }
    QString Error() const { return m_error; }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};
