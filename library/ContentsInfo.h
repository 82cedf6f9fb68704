#pragma once
/// \file
/// The content information document of a library item, read over HTTP(S)
/// through a read-only device that owns the internet file.
#include "platform/Internet.h"

#include <QDomDocument>
#include <QDomElement>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

/// The internet file as a sequential, read-only device; closing or destroying
/// it closes the file. At most `limit` bytes are handed out: a document larger
/// than any the site sends reads as an error instead of filling memory.
class CSequentialStreamFromFile : public QIODevice {
public:
    /// The device over an internet file whose request was sent; it owns the file. Opened for reading.
    CSequentialStreamFromFile(std::unique_ptr<platform::CHttpFile> file, qint64 limit);
    /// The same stream over a document already in memory (tests and fuzzing): the bytes are
    /// handed out as the internet file hands out its answer, under the same limit.
    CSequentialStreamFromFile(QByteArray bytes, qint64 limit);
    /// Closes the internet file.
    ~CSequentialStreamFromFile() override;
    /// Always true: the answer is read once, from its start.
    bool isSequential() const override { return true; }
    /// Closes the internet file and the device.
    void close() override;
    /// True when the document went past the limit: what was read is not the whole document.
    bool Overflowed() const { return m_bOverflow; }
    /// The internet error that ended a read, if one did: the read that met it ends the
    /// document instead of throwing through the parser that called it.
    const std::optional<platform::CInternetException>& Failure() const { return m_failure; }

protected:
    /// Up to `maxSize` bytes (at most 64 KiB a call); -1 at the end, past the limit or after an internet error.
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }  ///< read-only

private:
    quint32 readSource(char* data, quint32 count);

    std::unique_ptr<platform::CHttpFile> m_pFile;
    QByteArray m_bytes;  // the document in memory, when there is no internet file
    qint64 m_nAt = 0;    // how much of it was handed out
    bool m_bFromBytes = false;
    qint64 m_nLimit;
    qint64 m_nRead = 0;
    bool m_bOverflow = false;
    bool m_bEnded = false;
    std::optional<platform::CInternetException> m_failure;
};

/// The content information document of one library item: an XML document whose
/// elements, at any depth below the root, give the item's title, file name,
/// size, genre and a message shown after the installation.
class CContentsInfo {
public:
    /// the document's fields, by the string table entries that name their elements
    enum Field : unsigned short {
        /// the item's title
        IDS_TITLE = 16214,
        /// the package's file name
        IDS_FILENAME = 16215,
        /// the package's size in bytes
        IDS_SIZE = 16216,
        /// the genre, one of the string table's genre names
        IDS_GENRE = 16217,
        /// the message shown once it is installed
        IDS_EXTMESSAGE = 16218,
    };
    static constexpr qint64 kDocumentLimit = 1 << 20;  ///< no item document comes near 1 MiB

    /// Fetches and parses the document; 1 on success, 0 after its message box (owner `owner`).
    ///
    /// The messages: the site cannot be reached (16281), no document (16292), no
    /// root element (16293), a field missing (16294).
    int Load(const QString& url, const QString& agent, QWidget* owner);
    /// The same parse and checks over a document already in memory, with the same messages.
    int LoadDocument(const QByteArray& bytes, QWidget* owner);
    /// The text of the first element (any depth below the root) named by the string `id`;
    /// throws std::runtime_error when there is none.
    QString GetElementText(unsigned short id) const;
    /// title 16214, file name 16215, size 16216, genre 16217, extra message 16218; else empty
    QString GetField(unsigned short id) const;
    /// the text of the package's "sha256" element, a document's own addition; empty when it has none
    const QString& GetSha256() const { return m_strSha256; }

    /// A name that stays inside its folder: no separator, not "." or "..", no control
    /// character, not longer than a file name may be.
    static bool IsPlainFileName(const QString& name);

private:
    bool readDocument(CSequentialStreamFromFile& stream);  // closes the stream; false for no document
    int takeFields(QWidget* owner);

    QString m_strTitle, m_strFileName, m_strSize, m_strGenre, m_strExtMessage, m_strSha256;
    QDomDocument m_document;
    QDomElement m_root;
};
