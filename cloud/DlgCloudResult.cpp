#include "cloud/DlgCloudResult.h"

#include "cloud/DlgCloudError.h"
#include "platform/ResourceChain.h"
#include "platform/WindowMessage.h"

using namespace platform;

namespace {

constexpr int IDD_CLOUD_RESULT = 16115;
constexpr int IDD_CLOUD_ERROR = 16114;
constexpr int IDS_ACTION_SECTION = 16058;
constexpr int IDC_BROWSER = 1064;
constexpr int IDC_MAIL = 1060;
constexpr int IDC_MESSAGE = 1053;

// the system's information icon on the template's icon control (the first with id -1)
void showInformationIcon(CZntDialog& dialog)
{
    static const QImage icon = LoadIcon(IDI_INFORMATION);
    SendMessage(dialog.GetDlgItem(-1), STM_SETICON, reinterpret_cast<WPARAM>(&icon));
}

}  // namespace

CDlgCloudResult::CDlgCloudResult(QWidget* parent) : CZntDialog(IDD_CLOUD_RESULT, parent) {}

CDlgCloudResult::~CDlgCloudResult() = default;

const MessageMap& CDlgCloudResult::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(BN_CLICKED, IDC_BROWSER, &CDlgCloudResult::OnBnClickedBrowser),
        MapCommand(BN_CLICKED, IDC_MAIL, &CDlgCloudResult::OnBnClickedMail),
    };
    return map;
}

void CDlgCloudResult::DoDataExchange(CDataExchange* pDX) { CZntDialog::DoDataExchange(pDX); }

int CDlgCloudResult::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    AttachControls();
    m_btnBrowser.Attach(IDC_BROWSER, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    m_btnMail.Attach(IDC_MAIL, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    showInformationIcon(*this);
    SendMessage(this, WM_ZNTDIALOG, 0, 0);
    return 1;
}

void CDlgCloudResult::OnBnClickedBrowser() { EndDialog(IDC_BROWSER); }

void CDlgCloudResult::OnBnClickedMail() { EndDialog(IDC_MAIL); }

CDlgCloudError::CDlgCloudError(QWidget* parent) : CZntDialog(IDD_CLOUD_ERROR, parent) { LoadSettingsSection(IDS_ACTION_SECTION); }

CDlgCloudError::~CDlgCloudError() = default;

int CDlgCloudError::SetTitle(const QString& title)
{
    m_strTitle = title;
    return 0;
}

int CDlgCloudError::SetMessage(const QString& message)
{
    m_strMessage = message;
    return 0;
}

void CDlgCloudError::ShowSettingsButton(int show) { m_bShowSettings = show; }

const MessageMap& CDlgCloudError::GetMessageMap() const
{
    static const MessageMap map;  // the settings button is OK (1), Close is Cancel (2)
    return map;
}

void CDlgCloudError::DoDataExchange(CDataExchange* pDX)
{
    CZntDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MESSAGE, m_strMessageText);
}

int CDlgCloudError::OnInitDialog()
{
    m_strMessageText = m_strMessage;
    CZntDialog::OnInitDialog();
    AttachControls();
    setWindowTitle(m_strTitle);
    showInformationIcon(*this);
    if (QWidget* settings = GetDlgItem(1))
        settings->setVisible(m_bShowSettings != 0);
    SendMessage(this, WM_ZNTDIALOG, 0, 0);
    return 1;
}
