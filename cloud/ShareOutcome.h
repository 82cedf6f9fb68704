#pragma once
// What a share comes to, without its dialogs: the failure before an answer, or
// the service's answer, decides which dialog or box the share dialog shows and
// with which text, whether the stored tokens go, and what the result dialog's
// buttons open.

#include <QByteArray>
#include <QString>

class CShareOutcome {
public:
    enum Road {
        Shared,   // the result dialog; the share dialog then ends with OK
        Refused,  // the error dialog; the share dialog stays open for another try
        Ended,    // a message box; the share dialog then ends with Cancel
    };

    // `link`: the page an earlier answer named, kept by an answer that is no JSON object
    explicit CShareOutcome(const QString& link = QString()) : m_strLink(link) {}

    void BodyFailed(const QString& error);          // the body could not be made
    void SendFailed(const QByteArray& response);    // an answer other than 200, its status text
    void ExchangeFailed(const QString& errorText);  // the exchange broke off (the internet error's text)
    void Answered(QByteArray response);             // the service's answer to the share

    Road GetRoad() const { return m_road; }
    const QString& GetMessage() const { return m_strMessage; }
    const QString& GetLink() const { return m_strLink; }
    bool ErasesTokens() const { return m_bEraseTokens; }
    // the error dialog's settings button opens the link: without one it is hidden
    bool ShowsSettings() const { return !m_strLink.isEmpty(); }
    // what the result dialog's choice opens: the page (1064; the home page when the
    // service named none) or a mail with the link (1060); empty for anything else
    QString PageFor(int choice, const QString& home) const;

private:
    void end(const QString& message);

    Road m_road = Shared;
    QString m_strMessage;
    QString m_strLink;
    bool m_bEraseTokens = false;
};
