#include "platform/FileRead.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr size_t kLargePage = size_t(2) << 20;

}  // namespace

void WholeFile::Release::operator()(char* memory) const
{
    if (length)
        munmap(memory, length);
    else
        std::free(memory);
}

// memory for `size` bytes: a mapping advised for large pages once the file fills one
WholeFile::Memory WholeFile::allocate(size_t size)
{
    if (size < kLargePage)
        return {static_cast<char*>(std::malloc(size)), Release{}};
    // whole large pages, on a large page's boundary: the mapping is made one page longer
    // and starts where the first boundary inside it falls
    const size_t length = (size + kLargePage - 1) / kLargePage * kLargePage;
    void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return {nullptr, Release{}};
    char* start = static_cast<char*>(mapped);
    char* aligned = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(start) + kLargePage - 1) & ~(kLargePage - 1));
    if (aligned > start)
        munmap(start, aligned - start);
    if (aligned + length < start + length + kLargePage)
        munmap(aligned + length, start + length + kLargePage - (aligned + length));
    // only advice: without large pages the memory works as any other
    madvise(aligned, length, MADV_HUGEPAGE);
    return {aligned, Release{length}};
}

WholeFile::Result WholeFile::read(const QString& path, qint64 maxSize)
{
    clear();
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0'))
        return Missing;
    // without waiting: a FIFO or a device at the path would hold the reader for ever at its
    // open; it is no regular file and is refused below (for a regular file nothing changes)
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Missing : Refused;
    struct stat st;
    Result result = Refused;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= maxSize) {
        // one byte more than the size told: a file that grew meanwhile is noticed, not cut
        const size_t room = size_t(st.st_size) + 1;
        Memory memory = allocate(room);
        size_t got = 0;
        ssize_t n = 0;
        while (memory && got < room && (n = ::read(fd, memory.get() + got, room - got)) != 0) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            got += size_t(n);
        }
        if (memory && n >= 0 && got == size_t(st.st_size)) {
            m_memory = std::move(memory);
            m_size = qsizetype(got);
            result = Read;
        }
    }
    ::close(fd);
    return result;
}

void WholeFile::clear()
{
    m_memory.reset();
    m_size = 0;
}

bool IsFile(int folder, const char* path)
{
    struct stat st;
    return fstatat(folder, path, &st, 0) == 0 && !S_ISDIR(st.st_mode);
}

FileLookups::~FileLookups()
{
    for (const auto& [name, fd] : m_folders)
        if (fd >= 0)
            ::close(fd);
}

bool FileLookups::isFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // a NUL would cut the name short
    if (name.isEmpty() || name.contains('\0'))
        return false;
    const qsizetype last = name.lastIndexOf('/');
    const qsizetype above = last > 0 ? name.lastIndexOf('/', last - 1) : -1;
    if (above < 0)
        return IsFile(AT_FDCWD, name.constData());
    const QByteArrayView folder = QByteArrayView(name).first(above + 1);
    auto known = std::find_if(m_folders.begin(), m_folders.end(), [&](const auto& f) { return f.first == folder; });
    if (known == m_folders.end()) {
        QByteArray opened = folder.toByteArray();
        const int fd = ::open(opened.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        m_folders.emplace_back(std::move(opened), fd);
        known = m_folders.end() - 1;
    }
    // a folder that cannot be opened is asked for by the whole path, as it would be alone
    return known->second >= 0 ? IsFile(known->second, name.constData() + above + 1) : IsFile(AT_FDCWD, name.constData());
}

}  // namespace platform
