#include "library/DlgContentsLibraryDownload.h"

#include "frame/ModuleMessages.h"

using namespace platform;

namespace {
constexpr int IDD_CONTENTS_DOWNLOAD = 16105;
constexpr int IDS_SECTION = 16241;
constexpr int IDC_CLD_PRG_DOWNLOAD = 1022;
constexpr int IDC_CLD_EDT_LOCATION = 1027;
constexpr int IDC_CLOSE = 2;
}  // namespace

CDlgContentsLibraryDownload::CDlgContentsLibraryDownload(QWidget* parent) : CZntDialog(IDD_CONTENTS_DOWNLOAD, parent)
{
    LoadSettingsSection(IDS_SECTION);
}

CDlgContentsLibraryDownload::~CDlgContentsLibraryDownload() = default;

const MessageMap& CDlgContentsLibraryDownload::GetMessageMap() const
{
    static const MessageMap map = {};  // WM_COMMAND 8 goes to the default procedure
    return map;
}

int CDlgContentsLibraryDownload::Create(QWidget* parent)
{
    const int result = CZntDialog::Create(parent);
    if (!result)
        return result;
    m_prgDownload.SetRange(0, 100);
    m_prgDownload.SetPos(0);
    return 1;
}

void CDlgContentsLibraryDownload::Close()
{
    if (isVisible())
        OnCancel();
}

void CDlgContentsLibraryDownload::InitControls()
{
    CZntDialog::AttachControls();
    m_prgDownload.Attach(IDC_CLD_PRG_DOWNLOAD, this);
    m_edtLocation.Attach(IDC_CLD_EDT_LOCATION, this);
}

int CDlgContentsLibraryDownload::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    InitControls();
    SetDlgItemText(IDC_CLOSE, QStringLiteral("キャンセル(&C)"));
    if (QWidget* close = GetDlgItem(IDC_CLOSE)) {
        SendMessage(close, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
        close->setFocus();
    }
    return 0;
}

void CDlgContentsLibraryDownload::OnCancel()
{
    if (QWidget* parent = parentWidget())
        SendMessage(parent, WM_CLDOWNLOADCLOSE, 0, 0);
    CZntDialog::OnCancel();
    DestroyWindow();
}
