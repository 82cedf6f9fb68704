#include "support/zvncom/ZntUnZip.h"

#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>
#include <sys/stat.h>
#include <zip.h>

namespace {

// Far beyond any content package: an archive claiming more is a bomb, not a package.
// Pictures and scenes shrink little, so 200 times the packed size is generous; the
// floor keeps small text-only packages, which shrink most, out of the ratio's reach.
constexpr zip_uint64_t kMaxTotalSize = 4ull * 1024 * 1024 * 1024;
constexpr zip_uint64_t kMaxRatio = 200;
constexpr zip_uint64_t kRatioFloor = 1024 * 1024;

zip_uint64_t unpackedSizeLimit(zip_uint64_t packedSize)
{
    return std::min(kMaxTotalSize, std::max(kRatioFloor, packedSize * kMaxRatio));
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct Entry {
    zip_uint64_t index;
    QString relative;  // cleaned, "/"-separated, inside the folder
    bool isFolder;
    zip_uint64_t size;  // as the archive states it
};

// Names are UTF-8 when they read as such; otherwise they were written by a
// Japanese Windows archiver in the system's code page.
QString entryName(const char* raw)
{
    const QByteArray bytes(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? platform::FromCodePage(bytes) : text;
}

// the entry's path inside the folder, or empty when it would leave it
QString cleanRelative(QString name)
{
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/') || (name.size() >= 2 && name[1] == u':') || name.contains(QChar(0)))
        return {};
    QStringList parts;
    for (const QString& part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..")
            return {};
        if (part != u".")
            parts.append(part);
    }
    return parts.join(u'/');
}

bool isLink(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// no folder on the way to the target, nor the target itself, may be a link already on disk
bool pathStaysInside(const QString& folder, const QString& relative)
{
    QString path = folder;
    for (const QString& part : relative.split(u'/')) {
        path += u'/' + part;
        if (isLink(path))
            return false;
    }
    return true;
}

bool readEntries(zip_t* archive, zip_uint64_t packedSize, const QString& folder, QList<Entry>& entries)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    const zip_uint64_t limit = unpackedSizeLimit(packedSize);
    zip_uint64_t total = 0;
    // two entries landing on one path (one name in UTF-8, one in CP932, or in two
    // Unicode forms) would let the later silently replace the earlier
    QSet<QString> seen;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(archive, i, ZIP_FL_ENC_RAW);
        zip_stat_t st;
        if (!raw || zip_stat_index(archive, i, 0, &st) != 0)
            return false;
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive, i, 0, &system, &attributes) != 0)
            return false;
        const QString name = entryName(raw);
        bool isFolder = name.endsWith(u'/') || name.endsWith(u'\\');
        if (system == ZIP_OPSYS_UNIX) {
            // Tools that write only permissions (Python's writestr: 0600) leave the type out; such
            // an entry is a file, or a folder when its name ends in "/", as common unzippers read
            // it. Only links and the other special types are refused: a link could point anywhere.
            const mode_t type = (attributes >> 16) & S_IFMT;
            if (type != 0 && type != S_IFREG && type != S_IFDIR)
                return false;
            isFolder = isFolder || type == S_IFDIR;
        }
        const QString relative = cleanRelative(name);
        if (relative.isEmpty())
            return false;
        if (!pathStaysInside(folder, relative))
            return false;
        const QString key = relative.normalized(QString::NormalizationForm_C);
        if (seen.contains(key) && !isFolder)
            return false;
        seen.insert(key);
        // an entry is never written beyond its stated size (see extract), so the stated sizes bound the total
        const zip_uint64_t size = (st.valid & ZIP_STAT_SIZE) && !isFolder ? st.size : 0;
        total += size;
        if (total > limit)
            return false;
        entries.append(Entry{static_cast<zip_uint64_t>(i), relative, isFolder, size});
    }
    return true;
}

// Everything written so far, so that a failure can take it all back.
class Unpacking {
public:
    explicit Unpacking(QString folder) : m_folder(std::move(folder)) {}

    bool makeFolder(const QString& relative)
    {
        QString path = m_folder;
        for (const QString& part : relative.split(u'/')) {
            path += u'/' + part;
            const QFileInfo info(path);
            if (info.isDir())
                continue;
            if (info.exists() || !QDir().mkdir(path))
                return false;
            m_createdFolders.append(path);
        }
        return true;
    }

    bool extract(zip_t* archive, const Entry& entry)
    {
        const qsizetype slash = entry.relative.lastIndexOf(u'/');
        if (slash > 0 && !makeFolder(entry.relative.left(slash)))
            return false;
        const QString target = m_folder + u'/' + entry.relative;
        if (QFileInfo(target).isDir())
            return false;
        std::unique_ptr<zip_file_t, EntryCloser> in(zip_fopen_index(archive, entry.index, 0));
        if (!in)
            return false;
        auto part = std::make_unique<QTemporaryFile>(QFileInfo(target).absolutePath() + QStringLiteral("/.zvnunzip-XXXXXX"));
        part->setAutoRemove(true);
        if (!part->open())
            return false;
        char buffer[65536];
        zip_int64_t n;
        zip_uint64_t written = 0;
        // libzip checks the CRC only at the end; a stream that inflates beyond its
        // stated size is stopped here, before it fills the disk
        while ((n = zip_fread(in.get(), buffer, sizeof buffer)) > 0) {
            written += zip_uint64_t(n);
            if (written > entry.size || part->write(buffer, n) != n)
                return false;
        }
        if (n < 0 || !part->flush())
            return false;
        m_parts.emplace_back(std::move(part), target);
        return true;
    }

    // files take their places only once every entry is unpacked
    bool commit()
    {
        for (auto& [part, target] : m_parts) {
            part->close();
            // rename() replaces an existing file in one step
            if (::rename(QFile::encodeName(part->fileName()).constData(), QFile::encodeName(target).constData()) != 0)
                return false;
            part->setAutoRemove(false);
        }
        m_parts.clear();
        m_createdFolders.clear();
        return true;
    }

    ~Unpacking()
    {
        m_parts.clear();  // the temporary files remove themselves
        for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it)
            QDir().rmdir(*it);
    }

private:
    QString m_folder;
    QList<QString> m_createdFolders;
    std::vector<std::pair<std::unique_ptr<QTemporaryFile>, QString>> m_parts;
};

}  // namespace

int CZntUnZip::Unzip(const QString& archive, const QString& folder)
{
    int error = 0;
    std::unique_ptr<zip_t, ArchiveCloser> zip(zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error));
    if (!zip || folder.isEmpty())
        return 0;
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QList<Entry> entries;
    if (!readEntries(zip.get(), zip_uint64_t(QFileInfo(archive).size()), root, entries))
        return 0;

    const bool rootExisted = QFileInfo(root).isDir();
    if (!rootExisted && !QDir().mkpath(root))
        return 0;
    bool ok = true;
    {
        Unpacking unpacking(root);
        for (const Entry& entry : entries) {
            ok = entry.isFolder ? unpacking.makeFolder(entry.relative) : unpacking.extract(zip.get(), entry);
            if (!ok)
                break;
        }
        ok = ok && unpacking.commit();
    }
    if (!ok && !rootExisted)
        QDir().rmdir(root);
    return ok ? 1 : 0;
}
