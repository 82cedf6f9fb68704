#pragma once
// What a download needs beyond its read loop, without a window: the record
// kept beside a partly written install file (the proof that the part is ours,
// for this item and size), the decision to go on from it or start again, and
// the package's SHA-256 computed as the bytes are written.
#include <QByteArray>
#include <QString>
#include <memory>

namespace contents {

// The record's name ends so; no download or package entry may take such a name.
inline constexpr char kRecordSuffix[] = ".zvnpart";
QString RecordPath(const QString& installFile);
inline bool IsRecordName(const QString& name) { return name.endsWith(QLatin1String(kRecordSuffix), Qt::CaseInsensitive); }
void RemoveRecord(const QString& installFile);

// What the site's answer said of the file, for a later Range request.
struct Validator {
    QByteArray etag;          // a strong ETag ("..."), preferred
    QByteArray lastModified;  // else the Last-Modified date
    bool IsEmpty() const { return etag.isEmpty() && lastModified.isEmpty(); }
    QByteArray IfRange() const { return etag.isEmpty() ? lastModified : etag; }
};

// The road of one download, decided before its request and again at its answer.
class CResumePlan {
public:
    // Goes on from the install file only when a record beside it names the same URL and
    // size, its length, and a validator, and the file is that long and shorter
    // than the size (above 0); anything else starts from nothing.
    static CResumePlan Make(const QString& installFile, const QString& url, qint64 size);

    qint64 Offset() const { return m_nOffset; }  // 0: from nothing
    QString RequestHeaders() const;               // the Range and If-Range lines, or nothing
    const Validator& Kept() const { return m_validator; }

    enum Road { FromNothing, Append, Restart, Failure };
    // 200 starts again from nothing, and 206 with the asked start and the kept validator
    // appends. A part the site will not continue (416, a 206 that starts elsewhere or
    // without a Content-Range, or that names another validator: the file changed) is to be
    // dropped and fetched whole again in the same try (Restart); anything else fails.
    Road Answer(quint32 status, const QString& contentRange, const Validator& answered) const;

    // Written when a download breaks off with `length` bytes on disk; false when it could not be.
    static bool Keep(const QString& installFile, const QString& url, qint64 size, qint64 length, const Validator& validator);

private:
    qint64 m_nOffset = 0;
    Validator m_validator;
};

// SHA-256 of what is written, block by block.
class CRunningHash {
public:
    CRunningHash();
    ~CRunningHash();
    CRunningHash(const CRunningHash&) = delete;
    CRunningHash& operator=(const CRunningHash&) = delete;
    void Add(const char* data, qint64 length);
    // the first `length` bytes of a file already open (a download that goes on); false when unreadable
    bool AddFile(int fd, qint64 length);
    QByteArray Hex();  // lower-case; ends the hash

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The document's hash: empty, or 64 hexadecimal digits (lower-cased); anything else is not one.
bool IsSha256Text(const QString& text);

}  // namespace contents
