#pragma once
// One download's bytes, from the site's answer into the install file, without a
// window: it goes on from a part an earlier try left, writes in blocks, hashes
// what it writes, checks the size, and keeps or removes the file. The window
// that shows it is told the progress and asked whether the user cancelled.

#include <QByteArray>
#include <QString>

namespace contents {

class CTransfer {
public:
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void Progress(int position) = 0;  // MulDiv(total, 100, size): -1 for a size of 0
        virtual bool IsCancelled() = 0;           // asked at the top of every round
    };

    // How it ended: Done, or the text id of what the user is to be told.
    enum Result {
        Done = 0,
        CannotGet = 16301,
        NotFound = 16302,
        SizeDownload = 16303,  // the bytes are not the site's file: no file stays
        CannotInstall = 16304,
        SizeFile = 16306,      // the file could not be written whole: no file stays
        CannotDownload = 16307,  // the connection failed: what arrived stays, with its record
        Cancelled = 16308,
    };

    // `sha256`: lower-case hexadecimal, or empty when the document gave none
    CTransfer(QString agent, QString url, QString installFile, int size, QByteArray sha256);
    Result Run(Observer& observer);

private:
    QString m_strAgent;
    QString m_strURL;
    QString m_strInstallFile;
    int m_nSize;
    QByteArray m_sha256;
};

}  // namespace contents
