#include "cloud/DlgCloudResult.h"

#include "cloud/InformationIcon.h"
#include "platform/ResourceChain.h"
#include "platform/WindowMessage.h"

using namespace platform;

namespace {

constexpr int IDD_CLOUD_RESULT = 16115;
constexpr int IDC_BROWSER = 1064;
constexpr int IDC_MAIL = 1060;

}  // namespace

void ShowInformationIcon(CZntDialog& dialog)
{
    static const QImage icon = LoadIcon(IDI_INFORMATION);
    SendMessage(dialog.GetDlgItem(-1), STM_SETICON, reinterpret_cast<WPARAM>(&icon));
}

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
    ShowInformationIcon(*this);
    SendMessage(this, WM_ZNTDIALOG, 0, 0);
    return 1;
}

void CDlgCloudResult::OnBnClickedBrowser() { EndDialog(IDC_BROWSER); }

void CDlgCloudResult::OnBnClickedMail() { EndDialog(IDC_MAIL); }
