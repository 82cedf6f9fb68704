#pragma once
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace platform {

// A file read whole into memory of its own. Every 4 KiB page a process touches for
// the first time costs the system a fault, and in a virtual machine a fault can cost
// some 10 µs: a 4 MiB program list read into the ordinary heap spent 15 ms faulting
// and 1 ms reading in the one the benchmarks run in. A large file is therefore read
// into memory the system may back with 2 MiB pages.
class WholeFile {
public:
    enum Result { Read, Missing, Refused };

    // Reads the file at the path: Missing when it is not there, Refused when it
    // cannot be read, is no regular file (a FIFO or a device is never waited on) or
    // holds more than `maxSize` bytes (nothing is kept then).
    Result read(const QString& path, qint64 maxSize);
    QByteArrayView bytes() const { return {m_memory.get(), m_size}; }
    void clear();

private:
    struct Release {
        size_t length;  // of the mapping; 0 for the ordinary heap
        void operator()(char* memory) const;
    };
    using Memory = std::unique_ptr<char, Release>;
    static Memory allocate(size_t size);
    Memory m_memory{nullptr, Release{0}};
    qsizetype m_size = 0;
};

// Whether a file, not a folder, is at the path, asked relative to a folder (AT_FDCWD: the
// working folder). One question to the system.
bool IsFile(int folder, const char* path);

// Whether files are there, for many paths under a few folders. Each path is asked
// relative to the folder two levels above its file, opened once: the system then walks
// two names instead of the whole path (a tenth of each question's time, measured with
// 10,000 program folders).
class FileLookups {
public:
    FileLookups() = default;
    ~FileLookups();
    FileLookups(const FileLookups&) = delete;
    FileLookups& operator=(const FileLookups&) = delete;

    bool isFile(const QString& path);

private:
    std::vector<std::pair<QByteArray, int>> m_folders;  // each folder opened, ending in "/", and its descriptor
};

}  // namespace platform
