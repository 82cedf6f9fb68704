#include "cloud/ShareOutcome.h"

#include "cloud/ShareRequest.h"

namespace {

constexpr int IDC_RESULT_BROWSER = 1064;
constexpr int IDC_RESULT_MAIL = 1060;

const QString kNotSent = QStringLiteral("投稿データの送信に失敗しました。\n");

}  // namespace

void CShareOutcome::end(const QString& message)
{
    m_road = Ended;
    m_strMessage = message;
}

void CShareOutcome::BodyFailed(const QString& error) { end(QStringLiteral("投稿データの生成に失敗しました。\n") + error); }

void CShareOutcome::SendFailed(const QByteArray& response) { end(kNotSent + QString::fromUtf8(response)); }

void CShareOutcome::ExchangeFailed(const QString& errorText)
{
    end(QStringLiteral("ゼントクラウドとのHTTP通信に失敗しました。\n%1").arg(errorText));
}

void CShareOutcome::Answered(QByteArray response)
{
    bool userNotFound = false;
    if (sharerequest::ParseAnswer(response, m_strLink, userNotFound)) {
        m_road = Shared;
        return;
    }
    // a user the service no longer knows must sign in again: the tokens go, and so does the share dialog
    m_bEraseTokens = userNotFound;
    m_road = userNotFound ? Ended : Refused;
    m_strMessage = kNotSent + QString::fromUtf8(response);
}

QString CShareOutcome::PageFor(int choice, const QString& home) const
{
    if (choice == IDC_RESULT_BROWSER)
        return m_strLink.isEmpty() ? home : m_strLink;
    if (choice == IDC_RESULT_MAIL)  // the address goes into the mail as it is, unencoded
        return QStringLiteral("mailto:?subject=ZentoCloud:&body=") + m_strLink;
    return QString();
}
