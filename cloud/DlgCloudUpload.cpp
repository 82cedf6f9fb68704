#include "cloud/DlgCloudUpload.h"

#include "cloud/CloudRequest.h"
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudError.h"
#include "cloud/DlgCloudResult.h"
#include "cloud/ShareOutcome.h"
#include "cloud/ShareRequest.h"
#include "frame/CorZnt.h"
#include "platform/Internet.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Shell.h"
#include "platform/TempFolder.h"
#include "platform/WaitCursor.h"
#include "support/zvncom/CommonCorzntCmd.h"
#include "support/zvnreg/Registry.h"

#include <QFile>
#include <QLabel>

using namespace platform;

namespace {

constexpr int IDD_CLOUD_UPLOAD = 16108;
constexpr int IDS_SECTION = 16057;
constexpr int IDS_AUTH_SECTION = 16021;
constexpr int IDS_ACCESS_TOKEN = 16318;
constexpr int IDS_ACCESS_TOKEN_SECRET = 16319;
constexpr int IDC_COMMENT = 2040;
constexpr int IDC_CHART = 1064;
constexpr int IDC_THUMBNAIL = 1042;
constexpr int IDC_INCLUDE_LOCATION = 2042;
constexpr int IDC_INCLUDE_IMAGE = 2044;
constexpr int IDC_BTN_SETTINGS = 3;
constexpr int IDC_BTN_LOGOUT = 4;

const QString kSaveChart = QStringLiteral("Show Sky; Save Zentar,\"%1\"");
const QString kRestoreView = QStringLiteral("FreeStyleControl.Visible = TRUE; Show Sky");

QString setting(const QString& section, const QString& name, const QString& fallback)
{
    QString value;
    CRegistry::Read(section, name, fallback, value);
    return value;
}

// an empty file, made anew: the host writes into it later
bool createEmpty(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

}  // namespace

CDlgCloudUpload::CDlgCloudUpload(QWidget* parent) : CZntDialog(IDD_CLOUD_UPLOAD, parent) { LoadSettingsSection(IDS_SECTION); }

CDlgCloudUpload::CDlgCloudUpload(CCorZnt* host, CHttpConnection* connection, const QString&, int, int,
                                 const QByteArray& accessToken, const QByteArray& accessTokenSecret, const QString& zsfPath,
                                 QWidget* parent)
    : CZntDialog(IDD_CLOUD_UPLOAD, parent)
{
    m_strZsfPath = zsfPath;
    m_pHost = host;
    LoadSettingsSection(IDS_SECTION);
    m_strAccessToken = accessToken;
    m_strAccessTokenSecret = accessTokenSecret;
    m_bDeepSkyVisible = command(QStringLiteral("? deepskyimage.visible")) == u"TRUE" ? 1 : 0;
    m_bIncludeLocation = setting(m_strSection, QStringLiteral("Location"), QStringLiteral("0")) != u"0" ? 1 : 0;
    m_bIncludeImage = setting(m_strSection, QStringLiteral("Image"), QStringLiteral("0")) != u"0" ? 1 : 0;
    m_pConnection = connection;
    const QString auth = LoadString(IDS_AUTH_SECTION);
    // the service's own pages, on the host of the module's default address
    m_strUrlHome = setting(auth, QStringLiteral("CloudUrlHome"), CDlgCloudLogin::DefaultUrlBase() + QStringLiteral("/home"));
    m_strUrlConfig = setting(auth, QStringLiteral("CloudUrlConfig"), CDlgCloudLogin::DefaultUrlBase() + QStringLiteral("/config"));
    m_strApiPost = setting(auth, QStringLiteral("CloudApiPost"), QStringLiteral("/api/charts"));
}

CDlgCloudUpload::~CDlgCloudUpload()
{
    if (!m_strNakedPath.isEmpty())
        QFile::remove(m_strNakedPath);
    if (!m_strOverlaidPath.isEmpty())
        QFile::remove(m_strOverlaidPath);
    command(QStringLiteral("deepskyimage.visible = %1; Show Sky").arg(m_bDeepSkyVisible ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    CRegistry::Write(m_strSection, QStringLiteral("Location"), QString::number(m_bIncludeLocation));
    CRegistry::Write(m_strSection, QStringLiteral("Image"), QString::number(m_bIncludeImage));
}

QString CDlgCloudUpload::command(const QString& text) { return m_pHost ? m_pHost->ExecCommand(text) : QString(); }

const MessageMap& CDlgCloudUpload::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(BN_CLICKED, 1, &CDlgCloudUpload::OnBnClickedOk),
        MapCommand(EN_SETFOCUS, IDC_COMMENT, &CDlgCloudUpload::OnEnSetfocusComment),
        MapCommand(EN_KILLFOCUS, IDC_COMMENT, &CDlgCloudUpload::OnEnKillfocusComment),
        MapCommand(BN_CLICKED, IDC_BTN_SETTINGS, &CDlgCloudUpload::OnBnClickedBtnSettings),
        MapCommand(BN_CLICKED, IDC_INCLUDE_LOCATION, &CDlgCloudUpload::OnBnClickedIncludeLocation),
        MapCommand(BN_CLICKED, IDC_INCLUDE_IMAGE, &CDlgCloudUpload::OnBnClickedIncludeImage),
        MapCommand(BN_CLICKED, IDC_BTN_LOGOUT, &CDlgCloudUpload::OnBnClickedBtnLogout),
    };
    return map;
}

void CDlgCloudUpload::DoDataExchange(CDataExchange* pDX)
{
    CZntDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_INCLUDE_LOCATION, m_bIncludeLocation);
    DDX_Check(pDX, IDC_INCLUDE_IMAGE, m_bIncludeImage);
    m_stcThumbnail = qobject_cast<QLabel*>(GetDlgItem(IDC_THUMBNAIL));
}

void CDlgCloudUpload::AttachControls()
{
    CZntDialog::AttachControls();
    m_edtComment.Attach(IDC_COMMENT, this);
    m_grpChart.Attach(IDC_CHART, this);
    m_chkIncludeLocation.Attach(IDC_INCLUDE_LOCATION, this);
    m_chkIncludeImage.Attach(IDC_INCLUDE_IMAGE, this);
    m_btnSettings.Attach(IDC_BTN_SETTINGS, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    m_btnLogout.Attach(IDC_BTN_LOGOUT, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
}

int CDlgCloudUpload::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    AttachControls();
    int made = 0;
    {
        CWaitCursor wait;
        made = GenerateZentoImage();
    }
    if (!made) {
        EndDialog(IDCANCEL);
        return 0;
    }
    UpdateData(false);
    m_edtComment.SetFocus();
    return 0;
}

// --- the chart images ---

int CDlgCloudUpload::failImage(const QString& message)
{
    MessageBox(this, message, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

int CDlgCloudUpload::GenerateZentoImage()
{
    const QString folder = GetTempPath();
    if (folder.isEmpty())
        return failImage(QStringLiteral("一時ファイルを作成できません。"));
    m_strNakedPath = folder + QStringLiteral("tmpZentar_naked.png");
    if (!createEmpty(m_strNakedPath))
        return failImage(QStringLiteral("一時ファイル[") + m_strNakedPath + QStringLiteral("]作成できません。"));
    m_strOverlaidPath = folder + QStringLiteral("tmpZentar_overlaid.png");
    if (!createEmpty(m_strOverlaidPath))
        return failImage(QStringLiteral("一時ファイル[") + m_strOverlaidPath + QStringLiteral("]作成できません。"));

    command(QStringLiteral("FreeStyleControl.Visible = FALSE"));
    CCommonCorzntCmd::ShowLogoImage(1, m_pHost);
    const QString failed = QStringLiteral("星図画像取得に失敗しました。[%1]");
    // the logo off and the controller back, on every road out of the capture
    const auto endCapture = [this] {
        CCommonCorzntCmd::ShowLogoImage(0, m_pHost);
        command(kRestoreView);
    };
    // a save the host reports failed: told first, then the view restored
    const auto failSave = [&](const QString& error) {
        failImage(failed.arg(error));
        endCapture();
        return 0;
    };
    if (m_bDeepSkyVisible) {
        command(kSaveChart.arg(m_strOverlaidPath));
        if (const QString error = command(QStringLiteral("? System.Error")); !error.isEmpty())
            return failSave(error);
        command(QStringLiteral("deepskyimage.visible = FALSE"));
        command(kSaveChart.arg(m_strNakedPath));
        const QString error = command(QStringLiteral("? System.Error"));
        // the pasted images come back whatever the second save did
        command(QStringLiteral("deepskyimage.visible = TRUE"));
        endCapture();
        if (!error.isEmpty())
            return failImage(failed.arg(error));
        m_imgNaked = QImage(m_strNakedPath);
        m_imgOverlaid = QImage(m_strOverlaidPath);
        UpdateThumbnailImage();
        DrawThumbnailImage();
        return 1;
    }
    command(kSaveChart.arg(m_strNakedPath));
    if (const QString error = command(QStringLiteral("? System.Error")); !error.isEmpty())
        return failSave(error);
    endCapture();
    m_imgNaked = QImage(m_strNakedPath);
    setThumbnail(&m_imgNaked);
    DrawThumbnailImage();
    return 1;
}

void CDlgCloudUpload::setThumbnail(const QImage* image)
{
    // unscaled, the picture takes the image's size, which DrawThumbnailImage starts from
    if (m_stcThumbnail)
        m_stcThumbnail->setScaledContents(false);
    SendMessage(m_stcThumbnail, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

int CDlgCloudUpload::UpdateThumbnailImage()
{
    setThumbnail(m_bIncludeImage ? &m_imgOverlaid : &m_imgNaked);
    return 1;
}

int CDlgCloudUpload::DrawThumbnailImage()
{
    QWidget* chart = GetDlgItem(IDC_CHART);
    if (!m_stcThumbnail || !chart)
        return 1;
    const QRect picture = m_stcThumbnail->geometry();
    const QRect group = chart->geometry();
    const double rx = double(picture.width()) / (group.width() - 24);
    const double ry = double(picture.height()) / (group.height() - 24);
    const double r = ry > rx ? ry : rx;
    if (!(r > 0))  // an image that did not load leaves the picture blank where it is
        return 1;
    const int width = int(picture.width() / r), height = int(picture.height() / r);
    m_stcThumbnail->setGeometry(group.left() + (group.width() - width) / 2, group.top() + 5 + (group.height() - height) / 2,
                                width, height);
    m_stcThumbnail->setScaledContents(true);
    m_stcThumbnail->update();
    return 1;
}

// --- the handlers ---

void CDlgCloudUpload::OnEnSetfocusComment() { SendMessage(this, WM_ZNTDIALOG, 0, 0); }

void CDlgCloudUpload::OnEnKillfocusComment() { SendMessage(this, WM_ZNTDIALOG, 1, 0); }

void CDlgCloudUpload::OnBnClickedIncludeLocation() { UpdateData(true); }

void CDlgCloudUpload::OnBnClickedIncludeImage()
{
    UpdateData(true);
    if (m_bDeepSkyVisible) {
        UpdateThumbnailImage();
        DrawThumbnailImage();
    }
}

void CDlgCloudUpload::OnBnClickedBtnSettings() { ShellExecute(this, QStringLiteral("Open"), m_strUrlConfig, {}, {}, SW_SHOWNORMAL); }

void CDlgCloudUpload::OnBnClickedBtnLogout()
{
    ClearAuthToken();
    OnOK();
}

void CDlgCloudUpload::OnBnClickedOk()
{
    UpdateData(true);
    m_strComment = GetDlgItemText(IDC_COMMENT);
    CShareOutcome outcome(m_strLink);
    {
        CWaitCursor wait;
        const QString headers = sharerequest::HeaderLine();
        sharerequest::Body body;
        int length = 0;
        QString error;
        QByteArray response;
        if (!Generate_HttpRequestBody(body, length, error)) {
            outcome.BodyFailed(error);
        } else {
            try {
                if (!ExecuteHttpRequest(HTTP_VERB_POST, m_strApiPost, headers, body.get(), length, response))
                    outcome.SendFailed(response);
                else
                    outcome.Answered(response);
            } catch (const CInternetException& e) {
                QString text;
                e.GetErrorMessage(text, 1024);
                outcome.ExchangeFailed(text);
            }
        }
    }  // the body is released here, before any dialog is shown
    m_strLink = outcome.GetLink();
    if (outcome.ErasesTokens())
        ClearAuthToken();
    switch (outcome.GetRoad()) {
    case CShareOutcome::Shared: {
        CDlgCloudResult result(nullptr);
        if (const QString page = outcome.PageFor(result.DoModal(), m_strUrlHome); !page.isEmpty())
            ShellExecute(this, QStringLiteral("Open"), page, {}, {}, SW_SHOWNORMAL);
        OnOK();
        break;
    }
    case CShareOutcome::Refused: {
        CDlgCloudError error(nullptr);
        error.SetTitle(QStringLiteral("共有 - エラー"));
        error.SetMessage(outcome.GetMessage());
        if (!outcome.ShowsSettings())
            error.ShowSettingsButton(0);
        if (error.DoModal() == IDOK)
            ShellExecute(this, QStringLiteral("Open"), m_strLink, {}, {}, SW_SHOWNORMAL);
        else
            UpdateData(false);
        break;
    }
    case CShareOutcome::Ended:
        MessageBox(this, outcome.GetMessage(), MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        break;
    }
}

// --- the request ---

int CDlgCloudUpload::Generate_HttpRequestBody(sharerequest::Body& body, int& length, QString& error)
{
    sharerequest::BodyInputs in;
    in.accessToken = m_strAccessToken;
    in.accessTokenSecret = m_strAccessTokenSecret;
    in.comment = m_strComment;
    in.imagePath = m_bIncludeImage && m_bDeepSkyVisible ? m_strOverlaidPath : m_strNakedPath;
    in.scenePath = m_strZsfPath;
    in.includeLocation = m_bIncludeLocation;
    return sharerequest::BuildBody(in, [this](const QString& query) { return command(query); }, body, length, error);
}

int CDlgCloudUpload::ExecuteHttpRequest(int verb, const QString& object, const QString& headers, const char* body,
                                        int bodyLength, QByteArray& response)
{
    // no catch here: a failed exchange reaches OnBnClickedOk as the internet exception
    return CCloudRequest::Execute(m_pConnection, verb, object, headers, body, bodyLength, response);
}

void CDlgCloudUpload::ClearAuthToken()
{
    const QString auth = LoadString(IDS_AUTH_SECTION);
    CRegistry::Write(auth, LoadString(IDS_ACCESS_TOKEN), QString());
    CRegistry::Write(auth, LoadString(IDS_ACCESS_TOKEN_SECRET), QString());
}
