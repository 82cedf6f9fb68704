#include "favorites/DlgAddFavorites.h"

#include "frame/CorZnt.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "support/zvncst/FolderTreeFiles.h"
#include "support/zvncst/ZntTheme.h"
#include "support/zvnreg/Registry.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>

using namespace platform;

namespace {

constexpr int IDD_ADD_FAVORITES = 16102;
constexpr int IDS_FOLDER_SHOWN = 16002;
constexpr int IDS_FOLDER_HIDDEN = 16003;
constexpr int IDS_SECTION = 16050;
constexpr int IDS_IS_EXPANDED = 16054;
constexpr int IDC_FAD_EDT_NAME = 1008;
constexpr int IDC_FAD_EDT_DESCRIPTION = 1009;
constexpr int IDC_FAD_TRE_FOLDER = 1010;
constexpr int IDC_FAD_BTN_FOLDER = 1011;
constexpr int IDC_FAD_BTN_NEWFOLDER = 1012;

}  // namespace

CDlgAddFavorites::CDlgAddFavorites(CCorZnt* host, const QString& root, QWidget* parent)
    : CZntDialog(IDD_ADD_FAVORITES, parent, host), m_strRoot(root)
{
    LoadSettingsSection(IDS_SECTION);
}

CDlgAddFavorites::CDlgAddFavorites(QWidget* parent) : CDlgAddFavorites(nullptr, QString(), parent) {}

CDlgAddFavorites::~CDlgAddFavorites() = default;

const MessageMap& CDlgAddFavorites::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(BN_CLICKED, IDC_FAD_BTN_FOLDER, &CDlgAddFavorites::OnBnClickedFadBtnFolder),
        MapCommand(BN_CLICKED, IDC_FAD_BTN_NEWFOLDER, &CDlgAddFavorites::OnBnClickedFadBtnNewfolder),
    };
    return map;
}

void CDlgAddFavorites::DoDataExchange(CDataExchange* pDX)
{
    CZntDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FAD_EDT_NAME, m_strName);
}

void CDlgAddFavorites::SetRoot(const QString& root)
{
    m_treFolder.SetDirectory(root);
    m_strRoot = root;
    m_treFolder.SetItemText(m_treFolder.GetRootItem(), QStringLiteral("お気に入り"));
}

void CDlgAddFavorites::SetFavoritesIndex(int index) { m_nFavoritesIndex = index; }

const QString& CDlgAddFavorites::GetName() const { return m_strName; }

const QString& CDlgAddFavorites::GetPath() const { return m_strPath; }

QString CDlgAddFavorites::GetDescription() const { return m_strDescription; }

void CDlgAddFavorites::AttachControls()
{
    CZntDialog::AttachControls();
    m_edtName.Attach(IDC_FAD_EDT_NAME, this);
    m_edtDescription.Attach(IDC_FAD_EDT_DESCRIPTION, this);
    m_btnFolder.Attach(IDC_FAD_BTN_FOLDER, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    m_btnNewFolder.Attach(IDC_FAD_BTN_NEWFOLDER, this, 0, 0xC4C4C4, 0x6B6B6B, 0xC4C4C4, 1);
    m_treFolder.Attach(IDC_FAD_TRE_FOLDER, this);
    if (!m_bPlainStyle) {
        CZntTheme::SetWindowTheme(m_edtDescription.GetWnd(), L"", L"");
        CZntTheme::SetWindowTheme(m_treFolder.GetWnd(), L"", L"");
    }
    m_edtName.SetLimitText(128);
    m_edtDescription.SetLimitText(1024);
}

int CDlgAddFavorites::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    if (!m_pCorZnt)
        return 0;
    AttachControls();
    CRegistry::Read(m_strSection, LoadString(IDS_IS_EXPANDED), 0, &m_bExpanded, 0);

    m_treFolder.Init(QStringLiteral("zsf"));
    SetRoot(m_strRoot);
    m_treFolder.SelectItem(m_treFolder.GetRootItem());

    // wide enough for 1 − year when the answer was clamped to INT_MIN
    const qint64 year = _wtoi(m_pCorZnt->ExecCommand(QStringLiteral("? time.year")));
    const int month = _wtoi(m_pCorZnt->ExecCommand(QStringLiteral("? time.month")));
    const int day = _wtoi(m_pCorZnt->ExecCommand(QStringLiteral("? time.day")));
    // the core counts years astronomically: year 0 is 1 BC
    const bool bc = year <= 0;
    m_strName = QStringLiteral("%1%2-%3-%4 星図%5")
                    .arg(bc ? QStringLiteral("BC") : QString())
                    .arg(bc ? 1 - year : year)
                    .arg(month, 2, 10, QLatin1Char('0'))
                    .arg(day, 2, 10, QLatin1Char('0'))
                    .arg(m_nFavoritesIndex);

    const QWidget* tree = m_treFolder.GetWnd();
    m_nFoldHeight = (tree ? tree->frameGeometry().height() : 0) + Units().Y(7) + 2;
    if (m_bExpanded)
        m_btnFolder.SetWindowText(LoadString(IDS_FOLDER_SHOWN));
    else
        ResizeDlg();
    UpdateStatus();
    UpdateData(false);
    return 1;
}

void CDlgAddFavorites::UpdateStatus()
{
    m_treFolder.EnableWindow(m_bExpanded != 0);
    m_btnNewFolder.EnableWindow(m_bExpanded != 0);
}

void CDlgAddFavorites::ResizeDlg()
{
    m_btnFolder.SetWindowText(LoadString(m_bExpanded ? IDS_FOLDER_SHOWN : IDS_FOLDER_HIDDEN));
    // a resize keeps the window's left and top; a move before the first show
    // would mark it as placed, and it would no longer open centred on its owner
    const QRect window = geometry();
    SetClientSize(window.width(), window.height() + (m_bExpanded ? m_nFoldHeight : -m_nFoldHeight));
}

void CDlgAddFavorites::OnBnClickedFadBtnFolder()
{
    m_bExpanded = m_bExpanded ? 0 : 1;
    ResizeDlg();
    UpdateStatus();
}

void CDlgAddFavorites::OnBnClickedFadBtnNewfolder() { m_treFolder.NewFolder(); }

void CDlgAddFavorites::OnOK()
{
    UpdateData(true);
    switch (foldertree::CheckName(m_strName, QStringLiteral(".zsf"))) {
    case foldertree::NameCheck::Empty:
        MessageBox(this, foldertree::EmptyNameMessage(), MB_OK);
        return;
    case foldertree::NameCheck::ForbiddenCharacter:
    case foldertree::NameCheck::Unusable:  // control characters, only dots, too long: the nearest message
        MessageBox(this, foldertree::ForbiddenCharactersMessage(), MB_OK);
        return;
    case foldertree::NameCheck::Ok:
        break;
    }
    QTreeWidgetItem* selected = m_treFolder.GetSelectedItem();
    m_strPath = GetDirName(selected ? m_treFolder.GetFullPathNameW(selected) : m_strRoot);
    const QString scene = m_strPath + m_strName + QStringLiteral(".zsf");
    if (QFileInfo::exists(scene)
        && MessageBox(this, QStringLiteral("%1 は既に存在します。\n上書きしますか?").arg(QFileInfo(scene).absoluteFilePath()),
                      MB_YESNO | MB_ICONWARNING) == IDNO)
        return;
    // the platform's text box breaks lines with LF alone; the stored form counts on CR LF
    m_strRawDescription = GetDlgItemText(IDC_FAD_EDT_DESCRIPTION).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                              .replace(u'\n', QStringLiteral("\r\n"));
    QString description = m_strRawDescription;
    ChangeCRLF(&description);
    m_strDescription = description;
    CRegistry::Write(m_strSection, LoadString(IDS_IS_EXPANDED), m_bExpanded, 0);
    EndDialog(IDOK);
}

QString CDlgAddFavorites::GetDirName(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return {};
    if (path.endsWith(u'/'))
        return path;
    if (info.isDir())
        return path + u'/';
    return path.left(path.lastIndexOf(u'/') + 1);
}

void CDlgAddFavorites::ChangeCRLF(QString* text)
{
    for (QChar& c : *text) {
        if (c == u'\r')
            c = u'\\';
        else if (c == u'\n')
            c = u'n';
    }
    text->replace(QStringLiteral("\\n"), QStringLiteral("\\r\\n"));
}
