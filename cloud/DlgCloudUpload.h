#pragma once
// Sharing the current star chart to ZentoCloud: the chart rendered at
// opening, a comment and two options, posted on the sign-in dialog's
// connection; the answer leads to the result or error dialog.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntCheckBox.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntGroupBox.h"
#include "support/zvncst/ZntRichEditCtrl.h"

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <memory>

class QLabel;

namespace platform {
class CHttpConnection;
}
namespace sharerequest {
struct FreeBody;
}

class ZVND06_EXPORT CDlgCloudUpload : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudUpload(QWidget* parent = nullptr);
    // baseUrl and the two numbers are accepted and not used
    CDlgCloudUpload(CCorZnt* host, platform::CHttpConnection* connection, const QString& baseUrl, int, int,
                    const QByteArray& accessToken, const QByteArray& accessTokenSecret, const QString& zsfPath,
                    QWidget* parent);
    ~CDlgCloudUpload() override;

    void SetAccessToken(const QByteArray& token) { m_strAccessToken = token; }
    void SetAccessTokenSecret(const QByteArray& secret) { m_strAccessTokenSecret = secret; }

    int OnInitDialog() override;
    void OnBnClickedOk();
    void OnEnSetfocusComment();
    void OnEnKillfocusComment();
    void OnBnClickedBtnSettings();
    void OnBnClickedIncludeLocation();
    void OnBnClickedIncludeImage();
    void OnBnClickedBtnLogout();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void AttachControls() override;
    const MessageMap& GetMessageMap() const override;

private:
    int GenerateZentoImage();
    int UpdateThumbnailImage();
    int DrawThumbnailImage();
    int Generate_HttpRequestBody(std::unique_ptr<char[], sharerequest::FreeBody>& body, int& length, QString& error);
    int ExecuteHttpRequest(int verb, const QString& object, const QString& headers, const char* body, int bodyLength,
                           QByteArray& response);
    void ClearAuthToken();

    QString command(const QString& text);  // through the host control; nothing without one
    int failImage(const QString& message);
    void setThumbnail(const QImage* image);

    CZntRichEditCtrl m_edtComment;
    CZntButton m_btnSettings;
    CZntButton m_btnLogout;
    CZntCheckBox m_chkIncludeLocation;
    CZntCheckBox m_chkIncludeImage;
    CZntGroupBox m_grpChart;
    QString m_strComment;
    int m_bIncludeLocation = 0;
    int m_bIncludeImage = 0;
    CCorZnt* m_pHost = nullptr;
    QPointer<QLabel> m_stcThumbnail;
    QString m_strNakedPath;
    QString m_strOverlaidPath;
    QImage m_imgNaked;
    QImage m_imgOverlaid;
    QString m_strZsfPath;
    QByteArray m_strAccessToken;
    QByteArray m_strAccessTokenSecret;
    QString m_strLink;
    QString m_strUrlHome;
    QString m_strApiPost;
    QString m_strUrlConfig;
    platform::CHttpConnection* m_pConnection = nullptr;  // the sign-in dialog's
    int m_bDeepSkyVisible = 0;
};
