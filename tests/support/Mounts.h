#pragma once
// Small file systems for fault tests: a tmpfs of a few pages, so a write runs
// out of space part-way, and a read-only bind mount of a folder, which root
// cannot write either. Each is mounted over a folder of the test's own, in a
// mount namespace private to the test program, and unmounted when it goes
// out of scope, also when the test fails.
#include <QString>
#include <memory>

class QProcess;

class ScopedMount {
public:
    // a tmpfs of `bytes` (rounded to pages) and at most `inodes` entries, over `folder`
    static ScopedMount Tmpfs(const QString& folder, qint64 bytes, int inodes = 0);
    // `folder` over itself, read-only
    static ScopedMount ReadOnly(const QString& folder);
    // `folder` as a file system without POSIX modes shows it (FAT): every entry
    // reads 0755 whatever it was made with, and chmod changes nothing. A FUSE
    // mount (bindfs) of a sibling folder; bindfs ends with the mount, or with us.
    static ScopedMount FixedModes(const QString& folder);

    ScopedMount(ScopedMount&& other) noexcept;
    ScopedMount& operator=(ScopedMount&&) = delete;
    ScopedMount(const ScopedMount&) = delete;
    ~ScopedMount();

    bool Mounted() const { return !m_folder.isEmpty(); }
    const QString& Error() const { return m_error; }  // why it could not be mounted

private:
    ScopedMount() = default;
    QString m_folder;
    QString m_error;
    std::unique_ptr<QProcess> m_server;  // the FUSE file system's own process, if any
};

// Fills the file system that holds `folder` until only `leave` bytes are
// free: the filler file stays until the file system is unmounted.
bool FillDisk(const QString& folder, qint64 leave);
// Takes every free entry (inode) of the file system that holds `folder`.
bool FillInodes(const QString& folder);

// A mount that could not be made (no namespace of our own, no FUSE) skips the
// test, and ctest shows it as skipped; where every test must run (ZVN_NO_SKIP
// set, as CI and the fault runs set it) it fails the test instead.
#define SKIP_UNLESS_MOUNTED(mount)                                                                          \
    if (!(mount).Mounted()) {                                                                               \
        if (qEnvironmentVariableIsSet("ZVN_NO_SKIP"))                                                       \
            FAIL() << "this test needs a mount of its own, and it could not be made: "                      \
                   << (mount).Error().toStdString();                                                        \
        GTEST_SKIP() << "this test needs a mount of its own, which could not be made here: "                \
                     << (mount).Error().toStdString();                                                      \
    }
