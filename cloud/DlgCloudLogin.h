#pragma once
/// \file
/// Signing in to ZentoCloud: the account, its tokens, and the one connection
/// to the service that the share dialog uses afterwards. The object must
/// outlive every use of that connection.
#include "cloud/ServiceAnswer.h"
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntEdit.h"
#include "support/zvncst/ZntGroupBox.h"

#include <QByteArray>
#include <QImage>
#include <memory>

namespace platform {
class CHttpConnection;
class CInternetSession;
}  // namespace platform

/// The sign-in dialog (template 16112): the user's name, mail address and
/// password, the sign-in (OK) and the registration page.
///
/// Of window messages, its help button sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to the main window.
/// Settings of `General\Authentication`: it reads
/// "AccessToken", "AccessTokenSecret", "VaroquinId" (the mail address),
/// "UserName", and the service's addresses "CloudUrlBase" (an https address,
/// default DefaultUrlBase()), "CloudUrlReg" (default DefaultUrlReg()),
/// "CloudApiStatus" (default `/api/user_status?access_token=%s&access_token_secret=%s`)
/// and "CloudApiReg" (default `/api/register`) as it is made; a sign-in writes
/// the first four in one change of the file. "Connected" of `General\Network`,
/// when set, decides whether the machine counts as online, and the internet
/// session reads its timeouts there too.
///
/// DoModal() returns 1 after a sign-in the service accepted (the tokens stored)
/// and 2 when the user gave up.
class ZVND06_EXPORT CDlgCloudLogin : public CZntDialog {
    Q_OBJECT
public:
    /// Reads the account and the service's addresses from the settings; opens no connection yet.
    explicit CDlgCloudLogin(QWidget* parent = nullptr);
    /// Closes the connection, then the session it belongs to.
    ~CDlgCloudLogin() override;

    /// 1: the stored tokens hold; 2: no connection, or the user gave up; 4: the service refused them
    ///
    /// Asks the service (a GET of CloudApiStatus with the two tokens) without
    /// showing the dialog. A failed exchange offers to try again; a refusal shows
    /// the service's message; no network or an address that is no https URL
    /// shows its own message and gives 2.
    int CheckValidAccessToken();

    /// The access token: the stored one, or the one a sign-in received.
    QByteArray GetAccessToken() const { return m_account.accessToken; }
    /// The access token's secret, as GetAccessToken().
    QByteArray GetAccessTokenSecret() const { return m_account.accessTokenSecret; }
    /// The name the service shows for the account.
    QString GetDispUserName() const { return m_account.userName; }
    /// 1 when the service said the account is linked to Twitter, else 0.
    int GetTwitterStatus() const { return m_account.twitter; }
    /// 1 when the service said the account is linked to Facebook, else 0.
    int GetFacebookStatus() const { return m_account.facebook; }
    /// The connection to the service a sign-in or CheckValidAccessToken() opened,
    /// null before; it stays this dialog's, for the share dialog to post on.
    platform::CHttpConnection* GetZentoCloudConnection() const { return m_pConnection.get(); }

    /// Fills the fields from the settings, skins the controls and fits the title picture. Returns 1.
    int OnInitDialog() override;
    /// The sign-in: the mail address and the password must be given (each
    /// missing one is said in a box); they go to CloudApiReg as a form with the
    /// name. On the service's acceptance the tokens, the mail address and the
    /// name are stored and the dialog ends with 1; on any failure it says why and
    /// stays open, the settings as they were.
    void OnBnClickedOk();
    /// Opens the registration page CloudUrlReg in the user's browser.
    void OnBnClickedRegisterId();

    /// the service's built-in addresses, when the settings name none
    ///
    /// The local service's sign-in address, `https://127.0.0.1:47443`.
    static QString DefaultUrlBase();
    /// The local service's registration page, `http://127.0.0.1:47080/register`.
    static QString DefaultUrlReg();

protected:
    /// The name (1045), the mail address (1043) and the password (1044).
    void DoDataExchange(CDataExchange* pDX) override;
    /// Skins the register button, the two groups and the three edits.
    void AttachControls() override;
    /// OK (1) and the register button (2045).
    const MessageMap& GetMessageMap() const override;

private:
    static QByteArray generateHttpPostContentUTF8(const QString& name, const QString& value);
    int AnalyzeHttpResponse(QByteArray& response, int& icon);
    int InitZentoCloudConnection();
    int ExecuteHttpRequest(int verb, const QString& object, const QString& headers, const char* body, int bodyLength,
                           QByteArray& response);

    QString m_strAccount;
    QString m_strPassword;
    CloudAccountValues m_account;  // tokens, flags and display name
    QString m_strAuthSection;
    QImage m_bmpTitle;

    QString m_strUrlBase;
    QString m_strUrlReg;
    QString m_strApiStatus;
    QString m_strApiReg;
    // the connection is closed before the session that carries it
    std::unique_ptr<platform::CInternetSession> m_pSession;
    std::unique_ptr<platform::CHttpConnection> m_pConnection;
    int m_bConnected = 0;

    CZntButton m_btnRegister;
    CZntGroupBox m_grpAccount;
    CZntGroupBox m_grpRegister;
    CZntEdit m_edtAccount;
    CZntEdit m_edtPassword;
    CZntEdit m_edtUserName;
};
