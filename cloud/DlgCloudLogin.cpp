#include "cloud/DlgCloudLogin.h"

#include "cloud/CloudRequest.h"
#include "platform/CodePage.h"
#include "platform/Internet.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Shell.h"
#include "support/zvncom/CommonNetwork.h"
#include "support/zvnreg/Registry.h"

#include <QLabel>

using namespace platform;

namespace {

constexpr int IDD_CLOUD_LOGIN = 16112;
constexpr int IDS_SECTION = 16018;
constexpr int IDS_AUTH_SECTION = 16021;
constexpr int IDS_NO_NETWORK = 16023;
constexpr int IDS_VAROQUIN_ID = 16024;
constexpr int IDS_USER_NAME = 16025;
constexpr int IDS_ACCESS_TOKEN = 16318;
constexpr int IDS_ACCESS_TOKEN_SECRET = 16319;
constexpr int IDB_TITLE = 1081;
constexpr int IDC_ACCOUNT = 1043;
constexpr int IDC_PASSWORD = 1044;
constexpr int IDC_USER_NAME = 1045;
constexpr int IDC_TITLE = 1046;
constexpr int IDC_REGISTER = 2045;
const char* const kAgent = "ZentorinLite/1.0";

// the local service's default ports (services/, which scripts/demo starts); the settings may name another
const QString kDefaultBase = QStringLiteral("https://127.0.0.1:47443");
const QString kDefaultReg = QStringLiteral("http://127.0.0.1:47080/register");

// "%s" takes the next text, "%%" stands for "%", as a C format does; nothing else is touched
QString formatTexts(const QString& format, const QStringList& texts)
{
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && (format[i + 1] == u's' || format[i + 1] == u'%')) {
            out += format[++i] == u's' ? texts.value(next++) : QStringLiteral("%");
            continue;
        }
        out += format[i];
    }
    return out;
}

QString setting(const QString& section, const QString& name, const QString& fallback)
{
    QString value;
    CRegistry::Read(section, name, fallback, value);
    return value;
}

}  // namespace

QString CDlgCloudLogin::DefaultUrlBase() { return kDefaultBase; }

QString CDlgCloudLogin::DefaultUrlReg() { return kDefaultReg; }

CDlgCloudLogin::CDlgCloudLogin(QWidget* parent) : CZntDialog(IDD_CLOUD_LOGIN, parent)
{
    LoadSettingsSection(IDS_SECTION);
    m_strAuthSection = LoadString(IDS_AUTH_SECTION);
    m_account.accessToken = ToCodePage(setting(m_strAuthSection, LoadString(IDS_ACCESS_TOKEN), {}));
    m_account.accessTokenSecret = ToCodePage(setting(m_strAuthSection, LoadString(IDS_ACCESS_TOKEN_SECRET), {}));
    m_strAccount = setting(m_strAuthSection, LoadString(IDS_VAROQUIN_ID), {});
    m_account.userName = setting(m_strAuthSection, LoadString(IDS_USER_NAME), {});
    m_strUrlBase = setting(m_strAuthSection, QStringLiteral("CloudUrlBase"), kDefaultBase);
    m_strUrlReg = setting(m_strAuthSection, QStringLiteral("CloudUrlReg"), kDefaultReg);
    m_strApiStatus = setting(m_strAuthSection, QStringLiteral("CloudApiStatus"),
                             QStringLiteral("/api/user_status?access_token=%s&access_token_secret=%s"));
    m_strApiReg = setting(m_strAuthSection, QStringLiteral("CloudApiReg"), QStringLiteral("/api/register"));
}

CDlgCloudLogin::~CDlgCloudLogin()
{
    // the connection first, then the session it belongs to
    if (m_pConnection)
        m_pConnection->Close();
    m_pConnection.reset();
    if (m_pSession)
        m_pSession->Close();
    m_pSession.reset();
}

const MessageMap& CDlgCloudLogin::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(BN_CLICKED, 1, &CDlgCloudLogin::OnBnClickedOk),
        MapCommand(BN_CLICKED, IDC_REGISTER, &CDlgCloudLogin::OnBnClickedRegisterId),
    };
    return map;
}

void CDlgCloudLogin::DoDataExchange(CDataExchange* pDX)
{
    CZntDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_USER_NAME, m_account.userName);
    DDX_Text(pDX, IDC_ACCOUNT, m_strAccount);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
}

void CDlgCloudLogin::AttachControls()
{
    CZntDialog::AttachControls();
    m_btnRegister.Attach(IDC_REGISTER, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    m_grpAccount.Attach(2046, this);
    m_grpRegister.Attach(2047, this);
    m_edtAccount.Attach(IDC_ACCOUNT, this);
    m_edtPassword.Attach(IDC_PASSWORD, this);
    m_edtUserName.Attach(IDC_USER_NAME, this);
}

int CDlgCloudLogin::OnInitDialog()
{
    CZntDialog::OnInitDialog();  // fills the fields
    AttachControls();
    auto* picture = qobject_cast<QLabel*>(GetDlgItem(IDC_TITLE));
    if (!picture)
        return 1;
    const QRect a = picture->geometry();
    m_bmpTitle = LoadBitmap(IDB_TITLE);
    QSize size = m_bmpTitle.size();  // the picture takes the bitmap's size
    const QSize b = size;
    if (a.width() < b.width()) {
        const double s = double(a.width()) / b.width();
        size = QSize(int(b.width() * s), int(b.height() * s));
    }
    if (a.height() < b.height()) {
        const double s = double(a.height()) / b.height();
        size = QSize(int(b.width() * s), int(b.height() * s));
    }
    const int cx = a.width() / 2, cy = a.height() / 2;
    // left and right as a window rectangle has them: the right edge lies outside
    const int left = cx - size.width() / 2, right = cx + size.width() / 2;
    const int top = cy - size.height() / 2, bottom = cy + size.height() / 2;
    picture->setGeometry(left, top, right - left, bottom - top);
    picture->setScaledContents(true);
    picture->setPixmap(QPixmap::fromImage(m_bmpTitle));
    return 1;
}

QByteArray CDlgCloudLogin::generateHttpPostContentUTF8(const QString& name, const QString& value)
{
    return "Content-Disposition: form-data; name=\"" + name.toUtf8() + "\"\r\n\r\n" + value.toUtf8();
}

void CDlgCloudLogin::OnBnClickedOk()
{
    UpdateData(true);
    if (m_strAccount.isEmpty()) {
        MessageBox(this, QStringLiteral("メールアドレスを入力してください。\n"), MB_OK | MB_ICONASTERISK);
        GetDlgItem(IDC_ACCOUNT)->setFocus();
        return;
    }
    if (m_strPassword.isEmpty()) {
        MessageBox(this, QStringLiteral("パスワードを入力してください。\n"), MB_OK | MB_ICONASTERISK);
        GetDlgItem(IDC_PASSWORD)->setFocus();
        return;
    }
    const QByteArray body = "--zentorlink\r\n" + generateHttpPostContentUTF8(QStringLiteral("name"), m_account.userName)
                            + "\r\n--zentorlink\r\n" + generateHttpPostContentUTF8(QStringLiteral("account"), m_strAccount)
                            + "\r\n--zentorlink\r\n" + generateHttpPostContentUTF8(QStringLiteral("password"), m_strPassword)
                            + "\r\n--zentorlink--\r\n";
    const QString headers = QStringLiteral("Content-Type: multipart/form-data; boundary=zentorlink\r\n");
    if (!InitZentoCloudConnection())
        return;
    QByteArray response;
    if (!ExecuteHttpRequest(HTTP_VERB_POST, m_strApiReg, headers, body.constData(), int(body.size()), response)) {
        MessageBox(this, QStringLiteral("認証に失敗しました。(%1)\n").arg(QString::fromUtf8(response)), MB_OK);
        return;
    }
    int icon = MB_ICONASTERISK;
    if (!AnalyzeHttpResponse(response, icon)) {
        MessageBox(this, QStringLiteral("認証に失敗しました。(%1)\n").arg(QString::fromUtf8(response)), MB_OK | unsigned(icon));
        return;
    }
    // stored only now, in this order and in one write: every failure above, and a full disk here,
    // leaves the settings as they were, never a new token beside the old secret
    CRegistry::Write(m_strAuthSection, {{LoadString(IDS_ACCESS_TOKEN), FromCodePage(m_account.accessToken)},
                                        {LoadString(IDS_ACCESS_TOKEN_SECRET), FromCodePage(m_account.accessTokenSecret)},
                                        {LoadString(IDS_VAROQUIN_ID), m_strAccount},
                                        {LoadString(IDS_USER_NAME), m_account.userName}});
    OnOK();
}

void CDlgCloudLogin::OnBnClickedRegisterId() { ShellExecute(this, QStringLiteral("Open"), m_strUrlReg, {}, {}, SW_SHOWNORMAL); }

int CDlgCloudLogin::AnalyzeHttpResponse(QByteArray& response, int& icon)
{
    return CServiceAnswer::Analyze(response, icon, m_account);
}

int CDlgCloudLogin::InitZentoCloudConnection()
{
    if (!CCommonNetwork::IsConnected()) {
        MessageBox(this, LoadString(IDS_NO_NETWORK), MB_OK);
        return 0;
    }
    if (m_bConnected)
        return 1;
    DWORD service = 0;
    QString server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(m_strUrlBase, service, server, object, port) || service != AFX_INET_SERVICE_HTTPS) {
        MessageBox(this, QStringLiteral("URLが不正です。\n"), MB_OK);
        return 0;
    }
    try {
        m_pConnection.reset();
        m_pSession = std::make_unique<CInternetSession>(QString::fromLatin1(kAgent), 1, INTERNET_OPEN_TYPE_PRECONFIG);
        m_pConnection = m_pSession->GetHttpConnection(server, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE, port);
    } catch (const CInternetException& e) {
        QString text;
        e.GetErrorMessage(text, 1024);
        MessageBox(this, (text + QStringLiteral("\nサーバと接続できません。\n")).left(1023), MB_OK);
        return 0;
    }
    m_bConnected = 1;
    return 1;
}

int CDlgCloudLogin::ExecuteHttpRequest(int verb, const QString& object, const QString& headers, const char* body,
                                       int bodyLength, QByteArray& response)
{
    try {
        return CCloudRequest::Execute(m_pConnection.get(), verb, object, headers, body, bodyLength, response);
    } catch (const CInternetException& e) {
        QString text;
        e.GetErrorMessage(text, 1024);
        response = text.toUtf8();
        return 0;
    }
}

int CDlgCloudLogin::CheckValidAccessToken()
{
    for (;;) {
        if (!InitZentoCloudConnection())
            return 2;
        // the token and then the secret, as wide text through the system's code page, unescaped
        const QString object =
            formatTexts(m_strApiStatus, {FromCodePage(m_account.accessToken), FromCodePage(m_account.accessTokenSecret)});
        QByteArray response;
        if (!ExecuteHttpRequest(HTTP_VERB_GET, object, {}, nullptr, 0, response)) {
            if (MessageBox(this, QStringLiteral("ゼントクラウドとのHTTP通信に失敗しました。\n%1").arg(QString::fromUtf8(response)),
                           MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
                continue;
            return 2;
        }
        int icon = MB_ICONEXCLAMATION;
        if (AnalyzeHttpResponse(response, icon))
            return 1;
        MessageBox(this, QStringLiteral("ゼントクラウドへのログインに失敗しました。\n%1").arg(QString::fromUtf8(response)),
                   MB_OK | unsigned(icon));
        return 4;
    }
}
