#pragma once
// Signing in to ZentoCloud: the account, its tokens, and the one connection
// to the service that the share dialog uses afterwards. The object must
// outlive every use of that connection.
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

class ZVND06_EXPORT CDlgCloudLogin : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudLogin(QWidget* parent = nullptr);
    ~CDlgCloudLogin() override;

    // 1: the stored tokens hold; 2: no connection, or the user gave up; 4: the service refused them
    int CheckValidAccessToken();

    QByteArray GetAccessToken() const { return m_account.accessToken; }
    QByteArray GetAccessTokenSecret() const { return m_account.accessTokenSecret; }
    QString GetDispUserName() const { return m_account.userName; }
    int GetTwitterStatus() const { return m_account.twitter; }
    int GetFacebookStatus() const { return m_account.facebook; }
    platform::CHttpConnection* GetZentoCloudConnection() const { return m_pConnection.get(); }

    int OnInitDialog() override;
    void OnBnClickedOk();
    void OnBnClickedRegisterId();

    // the service's built-in addresses, when the settings name none
    static QString DefaultUrlBase();
    static QString DefaultUrlReg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void AttachControls() override;
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
