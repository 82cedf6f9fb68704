#include "cloud/DlgCloudError.h"

#include "cloud/InformationIcon.h"
#include "platform/WindowMessage.h"

using namespace platform;

namespace {

constexpr int IDD_CLOUD_ERROR = 16114;
constexpr int IDS_ACTION_SECTION = 16058;
constexpr int IDC_MESSAGE = 1053;

}  // namespace

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
    ShowInformationIcon(*this);
    if (QWidget* settings = GetDlgItem(1))
        settings->setVisible(m_bShowSettings != 0);
    SendMessage(this, WM_ZNTDIALOG, 0, 0);
    return 1;
}
