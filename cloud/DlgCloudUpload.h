#pragma once
/// \file
/// Sharing the current star chart to ZentoCloud: the chart rendered at
/// opening, a comment and two options, posted on the sign-in dialog's
/// connection; the answer leads to the result or error dialog.
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

/// The share dialog (template 16108): a thumbnail of the chart, a comment, the
/// options "include the location" and "include the pasted images", share (OK),
/// the service's settings page, and sign-out.
///
/// Of window messages, its help button sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to the main window.
/// It drives the host through its control: at
/// opening `FreeStyleControl.Visible = FALSE`, the logo on, `Save Zentar,"file"`
/// (twice, with and without the pasted images, when they are shown) and
/// `? System.Error`, then the view restored; for the share `? location.latitude`,
/// `? location.longitude` and `? location.height` when the location goes with it.
///
/// Settings: "Location" and "Image" of its section `Dialog\CloudUpload` (the two
/// options, read as it is made and written as it goes); of `General\Authentication`
/// it reads "CloudUrlHome" (default DefaultUrlBase() + "/home"), "CloudUrlConfig"
/// (default + "/config") and "CloudApiPost" (default `/api/charts`), and empties
/// "AccessToken" and "AccessTokenSecret" at sign-out or when the service no
/// longer knows the user.
///
/// DoModal() returns 1 after a share the service accepted or a sign-out, and 2
/// when the user gave up, the chart could not be saved, or the share failed
/// beyond another try.
class ZVND06_EXPORT CDlgCloudUpload : public CZntDialog {
    Q_OBJECT
public:
    /// A dialog with no host control, connection or tokens; both options start off.
    explicit CDlgCloudUpload(QWidget* parent = nullptr);
    /// baseUrl and the two numbers are accepted and not used
    ///
    /// `host` saves the chart and answers the queries; `connection` is the sign-in
    /// dialog's (CDlgCloudLogin::GetZentoCloudConnection()), which must stay open
    /// while this dialog lives; the tokens sign the share; `zsfPath` is the scene
    /// file sent with the chart. Asks the host whether the pasted images are shown.
    CDlgCloudUpload(CCorZnt* host, platform::CHttpConnection* connection, const QString& baseUrl, int, int,
                    const QByteArray& accessToken, const QByteArray& accessTokenSecret, const QString& zsfPath,
                    QWidget* parent);
    /// Removes the chart images it saved, shows the pasted images again as they
    /// were, and writes the two options to the settings.
    ~CDlgCloudUpload() override;

    /// The access token the share is signed with.
    void SetAccessToken(const QByteArray& token) { m_strAccessToken = token; }
    /// The access token's secret the share is signed with.
    void SetAccessTokenSecret(const QByteArray& secret) { m_strAccessTokenSecret = secret; }

    /// Has the host save the chart into the user's temporary folder and shows it;
    /// when it cannot (a temporary file that cannot be made, or the host's
    /// `? System.Error`), says so and ends with 2. Returns 0: the focus is in the comment.
    int OnInitDialog() override;
    /// The share: the comment, the chart image (with the pasted images when that
    /// option is on and they are shown), the scene file and, with that option, the
    /// location, posted to CloudApiPost. Accepted: the result dialog, whose
    /// buttons open the chart's page or a mail with its link, then the dialog ends
    /// with 1. Refused: the error dialog, whose settings button opens the page
    /// the service named, and the dialog stays for another try. A failure before
    /// an answer, an answer other than 200, or a user the service no longer knows:
    /// a message and the end with 2.
    void OnBnClickedOk();
    /// The comment took the focus: Enter stays with it (WM_ZNTDIALOG, wParam 0).
    void OnEnSetfocusComment();
    /// The comment lost the focus: Enter presses the default button again (WM_ZNTDIALOG, wParam 1).
    void OnEnKillfocusComment();
    /// Opens the service's settings page CloudUrlConfig in the user's browser.
    void OnBnClickedBtnSettings();
    /// Takes the location option from its check box.
    void OnBnClickedIncludeLocation();
    /// Takes the pasted images option from its check box; the thumbnail follows when they are shown.
    void OnBnClickedIncludeImage();
    /// Signs out: empties the stored tokens and ends with 1.
    void OnBnClickedBtnLogout();

protected:
    /// The two options' check boxes (2042, 2044).
    void DoDataExchange(CDataExchange* pDX) override;
    /// Skins the comment, the chart's group, the check boxes and the two buttons.
    void AttachControls() override;
    /// Share (1), the comment's focus, settings (3), the options, sign-out (4).
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
