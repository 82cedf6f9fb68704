#include "favorites/DlgFavorites.h"

#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Shell.h"
#include "support/zvncst/FolderBrowser.h"
#include "support/zvncst/ZntTheme.h"
#include "support/zvndcm/ZsfFile.h"

#include <QApplication>
#include <QPalette>
#include <QTreeWidget>

using namespace platform;

namespace {

constexpr int IDD_FAVORITES = 16101;
constexpr int IDS_MOVE_PROMPT = 16004;
constexpr int IDS_GUIDANCE = 16009;
constexpr int IDS_SECTION = 16052;
constexpr int IDC_FAV_BTN_NEWFOLDER = 1001;
constexpr int IDC_FAV_BTN_RENAME = 1002;
constexpr int IDC_FAV_BTN_MOVETOFOLDER = 1003;
constexpr int IDC_FAV_BTN_DELETE = 1004;
constexpr int IDC_FAV_EDT_DESCRIPTION = 1005;
constexpr int IDC_FAV_TRE_FOLDER = 1006;
constexpr int IDC_FAV_BTN_EXPLORER = 1023;
constexpr int IDC_FAV_EDT_GUIDANCE = 1041;
constexpr int IDC_FAV_GRP_DESCRIPTION = 1042;
constexpr unsigned BIF_STATUSTEXT = 4;

// GetSysColor(COLOR_BTNFACE) as 0x00BBGGRR
LPARAM buttonFaceColor()
{
    const QColor c = QApplication::palette().color(QPalette::Button);
    return LPARAM(c.red()) | LPARAM(c.green()) << 8 | LPARAM(c.blue()) << 16;
}

}  // namespace

CDlgFavorites::CDlgFavorites(CCorZnt* host, const QString& root, QWidget* parent)
    : CZntDialog(IDD_FAVORITES, parent, host), m_strRoot(root)
{
    LoadSettingsSection(IDS_SECTION);
}

CDlgFavorites::CDlgFavorites(QWidget* parent) : CDlgFavorites(nullptr, QString(), parent) {}

CDlgFavorites::~CDlgFavorites() = default;

const MessageMap& CDlgFavorites::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(BN_CLICKED, IDC_FAV_BTN_NEWFOLDER, &CDlgFavorites::OnBnClickedFavBtnNewfolder),
        MapCommand(BN_CLICKED, IDC_FAV_BTN_RENAME, &CDlgFavorites::OnBnClickedFavBtnRename),
        MapCommand(BN_CLICKED, IDC_FAV_BTN_MOVETOFOLDER, &CDlgFavorites::OnBnClickedFavBtnMovetofolder),
        MapCommand(BN_CLICKED, IDC_FAV_BTN_DELETE, &CDlgFavorites::OnBnClickedFavBtnDelete),
        MapCommand(TVN_SELCHANGED, IDC_FAV_TRE_FOLDER, &CDlgFavorites::OnTvnSelchangedFavTreFolder),
        MapCommand(BN_CLICKED, IDC_FAV_BTN_EXPLORER, &CDlgFavorites::OnBnClickedFavBtnExplorer),
    };
    return map;
}

void CDlgFavorites::DoDataExchange(CDataExchange* pDX) { CZntDialog::DoDataExchange(pDX); }

void CDlgFavorites::AttachControls()
{
    CZntDialog::AttachControls();
    m_edtDescription.Attach(IDC_FAV_EDT_DESCRIPTION, this);
    for (auto [button, id] : {std::pair{&m_btnNewFolder, IDC_FAV_BTN_NEWFOLDER}, {&m_btnRename, IDC_FAV_BTN_RENAME},
                              {&m_btnMoveToFolder, IDC_FAV_BTN_MOVETOFOLDER}, {&m_btnDelete, IDC_FAV_BTN_DELETE},
                              {&m_btnExplorer, IDC_FAV_BTN_EXPLORER}})
        button->Attach(id, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    m_treFolder.Attach(IDC_FAV_TRE_FOLDER, this);
    m_edtGuidance.Attach(IDC_FAV_EDT_GUIDANCE, this);
    m_grpDescription.Attach(IDC_FAV_GRP_DESCRIPTION, this);
    LPARAM background = 0x282828;
    if (m_bPlainStyle) {
        background = buttonFaceColor();
    } else {
        CZntTheme::SetWindowTheme(m_edtDescription.GetWnd(), L"", L"");
        CZntTheme::SetWindowTheme(m_treFolder.GetWnd(), L"", L"");
        CZntTheme::SetWindowTheme(m_edtGuidance.GetWnd(), L"", L"");
    }
    SendMessage(m_edtDescription.GetWnd(), EM_SETBKGNDCOLOR, 0, background);
    SendMessage(m_edtGuidance.GetWnd(), EM_SETBKGNDCOLOR, 0, background);
}

int CDlgFavorites::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    AttachControls();
    m_edtGuidance.SetWindowText(LoadString(IDS_GUIDANCE));
    m_treFolder.Init(QStringLiteral("zsf"));
    // the tree draws its buttons and lines (the platform's tree always has them)
    if (auto* tree = qobject_cast<QTreeWidget*>(m_treFolder.GetWnd()))
        tree->setRootIsDecorated(true);
    SetRoot(m_strRoot);
    m_treFolder.SelectItem(m_treFolder.GetRootItem());
    UpdateStatus();
    return 1;
}

void CDlgFavorites::SetRoot(const QString& root)
{
    m_treFolder.SetDirectory(root);
    m_strRoot = root;
    m_treFolder.SetItemText(m_treFolder.GetRootItem(), QStringLiteral("お気に入り"));
}

void CDlgFavorites::UpdateStatus()
{
    QTreeWidgetItem* selected = m_treFolder.GetSelectedItem();
    const bool notRoot = selected != m_treFolder.GetRootItem();
    m_btnRename.EnableWindow(notRoot);
    m_btnMoveToFolder.EnableWindow(notRoot);
    m_btnDelete.EnableWindow(notRoot);
    const bool scene = m_treFolder.IsThisExtSelected(QStringLiteral(".zsf")) != 0;
    m_btnNewFolder.EnableWindow(!scene);
    QString description;
    if (scene)
        description = CZsfFile(m_treFolder.GetFullPathNameW(selected)).GetDescription();
    // the platform's text box breaks lines with LF where the stored form had CR LF
    description.replace(QStringLiteral("\\r\\n"), QStringLiteral("\n"));
    m_edtDescription.SetWindowText(description);
}

void CDlgFavorites::OnTvnSelchangedFavTreFolder() { UpdateStatus(); }

void CDlgFavorites::OnBnClickedFavBtnNewfolder() { m_treFolder.NewFolder(); }

void CDlgFavorites::OnBnClickedFavBtnRename() { m_treFolder.Rename(); }

void CDlgFavorites::OnBnClickedFavBtnDelete() { m_treFolder.Delete(); }

void CDlgFavorites::OnBnClickedFavBtnMovetofolder()
{
    const QString folder = CFolderBrowser::BrowseForFolder(this, m_strRoot, m_strRoot, LoadString(IDS_MOVE_PROMPT), BIF_STATUSTEXT);
    if (folder.isEmpty())
        return;
    m_treFolder.MoveTo(folder);
}

void CDlgFavorites::OnBnClickedFavBtnExplorer()
{
    if (ShellExecute(this, QStringLiteral("explore"), m_strRoot, QString(), QString(), SW_SHOWNORMAL) <= 32)
        MessageBox(this, QStringLiteral("以下のフォルダを開くことができません。\n") + m_strRoot, MB_OK);
}
