#include "library/DlgContentsLibrary.h"

#include "frame/ModuleMessages.h"
#include "library/ContentsDownload.h"
#include "library/ContentsInstall.h"
#include "library/ContentsTransfer.h"
#include "platform/Internet.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "program/PrgSection.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvncom/CommonNetwork.h"
#include "support/zvncom/ZntUnZip.h"
#include "support/zvnreg/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimerEvent>

using namespace platform;

namespace {
enum : unsigned short {
    IDD_CONTENTS_LIBRARY = 16104,
    IDS_SECTION = 16201,
    IDS_GENRE_SCENE = 16221,
    IDS_FOLDER_FAVORITES = 16231,
    IDS_FOLDER_PRG = 16232,
    IDS_FOLDER_ADF = 16233,
    IDS_DOWNLOADING = 16251,
    IDS_INSTALLING = 16252,
    IDS_INSTALLED = 16253,
    IDS_ASK_INSTALL = 16261,
    IDS_ASK_OVERWRITE = 16262,
    IDS_REGISTRY = 16282,
    IDS_INFO_NOT_VALID = 16293,
    IDS_NO_FOLDER = 16305,
    IDS_ADF_FULL = 16309,
    IDS_FILES_MISSING = 16312,
};
constexpr int IDC_CL_BROWSER = 1024;
constexpr int IDC_CL_LOADING = 1023;
constexpr int IDC_CLD_MESSAGE = 1021;
constexpr int IDC_CLD_LOCATION = 1027;
constexpr int IDC_CLOSE = 2;
constexpr int IDI_LIBRARY = 201;
constexpr int kTimerPeriodMs = 200;
constexpr int kPumpPeriodMs = 10;

QString format(const QString& text, const QString& title) { return QString(text).replace(QStringLiteral("%s"), title); }
}  // namespace

CDlgContentsLibrary::CDlgContentsLibrary(QWidget* parent)
    : CZntDialog(IDD_CONTENTS_LIBRARY, parent), m_dlgDownload(nullptr)
{
    LoadSettingsSection(IDS_SECTION);
    m_strUserAgent = QStringLiteral("%1 (%2; MSIE compatible; Windows; %3)")
                         .arg(QStringLiteral("ZentorinLite/1.0"), QStringLiteral("1.0"), QStringLiteral("Contents-Library Browser"));
    // the site's page takes the keys while it has the focus: Escape closes the library all the
    // same, as it closes every dialog (a shortcut is asked before the page gets the key)
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    QObject::connect(escape, &QShortcut::activated, this, [this] { DispatchCommand(BN_CLICKED, IDC_CLOSE); });
}

CDlgContentsLibrary::~CDlgContentsLibrary() { OnDestroy(); }

const MessageMap& CDlgContentsLibrary::GetMessageMap() const
{
    static const MessageMap map = {
        MapMessage(WM_CLDOWNLOADCLOSE, &CDlgContentsLibrary::OnDlgCLDownloadClose),
    };
    return map;
}

QString CDlgContentsLibrary::GetString(unsigned short id) { return LoadString(id); }

// ---- the dialog and its browser

int CDlgContentsLibrary::OnInitDialog()
{
    m_strLibraryURL = CCommonNetwork::GetURL(CCommonNetwork::kContentsLibrary);
    CZntDialog::OnInitDialog();
    const QImage icon = LoadIcon(IDI_LIBRARY);
    if (!icon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    m_bBrowserReady = 0;
    m_bWindowAlive = true;
    SaveInitialLayout();
    if (QWidget* browser = GetDlgItem(IDC_CL_BROWSER)) {
        m_rcBrowser = browser->geometry();
        browser->setGeometry(-1, -1, 0, 0);
    }
    InitControls();
    OnGetMinMaxInfo();
    int flag = 1;
    CRegistry::Read(m_strSection, QStringLiteral("WindowPosSize"), this, &flag, 0);
    return 1;
}

void CDlgContentsLibrary::SaveInitialLayout()
{
    m_nInitialWidth = width();
    m_nInitialHeight = height();
    const QRect client = rect();
    const QWidget* browser = GetDlgItem(IDC_CL_BROWSER);
    const QWidget* close = GetDlgItem(IDC_CLOSE);
    const QWidget* help = GetDlgItem(IDC_HELP_COMMAND);
    if (!browser || !close || !help)
        return;
    // Qt's right and bottom are one short of Windows' rectangles
    const auto right = [](const QRect& r) { return r.x() + r.width(); };
    const auto bottom = [](const QRect& r) { return r.y() + r.height(); };
    const QRect b = browser->geometry(), c = close->geometry(), h = help->geometry();
    m_nBrowserLeft = b.x() - client.x();
    m_nBrowserTop = b.y() - client.y();
    m_nBrowserBottom = bottom(client) - bottom(b);
    m_nBrowserRight = right(client) - right(b);
    m_nButtonTop = bottom(client) - c.y();
    m_nButtonBottom = bottom(client) - bottom(c);
    m_nCloseLeft = right(client) - c.x();
    m_nCloseRight = right(client) - right(c);
    m_nHelpLeft = right(client) - h.x();
    m_nHelpRight = right(client) - right(h);
}

void CDlgContentsLibrary::InitControls()
{
    CZntDialog::AttachControls();
    if (QWidget* close = GetDlgItem(IDC_CLOSE))
        close->setEnabled(false);
    if (QWidget* help = GetDlgItem(IDC_HELP_COMMAND))
        help->setEnabled(false);
    m_browser.Create(GetDlgItem(IDC_CL_BROWSER), m_strUserAgent);
    const QString headers = QStringLiteral("User-Agent: ") + m_strUserAgent + QStringLiteral("\r\n\r\n");
    m_browser.Navigate(m_strLibraryURL, headers);
    m_nTimerId = startTimer(kTimerPeriodMs);
}

void CDlgContentsLibrary::timerEvent(QTimerEvent* e) { OnTimer(e->timerId()); }

void CDlgContentsLibrary::OnTimer(int id)
{
    if (id != m_nTimerId || m_browser.ReadyState() != 4)
        return;
    killTimer(m_nTimerId);
    m_nTimerId = 0;
    if (QWidget* close = GetDlgItem(IDC_CLOSE))
        close->setEnabled(true);
    if (QWidget* help = GetDlgItem(IDC_HELP_COMMAND))
        help->setEnabled(true);
    if (QWidget* browser = GetDlgItem(IDC_CL_BROWSER))
        browser->setGeometry(m_rcBrowser);
    if (QWidget* loading = GetDlgItem(IDC_CL_LOADING))
        loading->hide();
    m_bBrowserReady = 1;
}

void CDlgContentsLibrary::resizeEvent(QResizeEvent* e)
{
    CZntDialog::resizeEvent(e);
    OnSize(0, e->size().width(), e->size().height());
}

void CDlgContentsLibrary::OnSize(int, int cx, int cy)
{
    QWidget* browser = GetDlgItem(IDC_CL_BROWSER);
    QWidget* close = GetDlgItem(IDC_CLOSE);
    QWidget* help = GetDlgItem(IDC_HELP_COMMAND);
    if (!browser || !close || !help || m_nInitialWidth < 1)
        return;
    if (m_bBrowserReady) {
        browser->setGeometry(m_nBrowserLeft, m_nBrowserTop, cx - m_nBrowserRight - m_nBrowserLeft, cy - m_nBrowserBottom - m_nBrowserTop);
        browser->update();
    } else {
        m_rcBrowser = QRect(QPoint(m_nBrowserLeft, m_nBrowserTop), QPoint(cx - m_nBrowserRight - 1, cy - m_nBrowserBottom - 1));
    }
    const int buttonHeight = m_nButtonTop - m_nButtonBottom;
    close->setGeometry(cx - m_nCloseLeft, cy - m_nButtonTop, m_nCloseLeft - m_nCloseRight, buttonHeight);
    help->setGeometry(cx - m_nHelpLeft, cy - m_nButtonTop, m_nHelpLeft - m_nHelpRight, buttonHeight);
    close->update();
    help->update();
    if (!m_bBrowserReady)
        if (QWidget* loading = GetDlgItem(IDC_CL_LOADING)) {
            loading->setGeometry(0, cy / 2 - loading->height(), cx, loading->height());
            loading->update();
        }
}

void CDlgContentsLibrary::OnGetMinMaxInfo()
{
    // the window cannot be made smaller than it was when it opened
    if (m_nInitialWidth >= 1 && m_nInitialHeight >= 1)
        setMinimumSize(m_nInitialWidth, m_nInitialHeight);
}

int CDlgContentsLibrary::exec()
{
    const int result = CZntDialog::exec();
    OnDestroy();  // the modal window is gone once its loop has ended
    return result;
}

void CDlgContentsLibrary::OnDestroy()
{
    // once per window: a dialog ended twice saves its place once, and one the host
    // deletes without ending it saves it as it goes
    if (!m_bWindowAlive)
        return;
    m_bWindowAlive = false;
    if (m_nTimerId) {
        killTimer(m_nTimerId);
        m_nTimerId = 0;
    }
    CRegistry::Write(m_strSection, QStringLiteral("WindowPosSize"), this);
}

LRESULT CDlgContentsLibrary::OnDlgCLDownloadClose(WPARAM, LPARAM)
{
    setEnabled(true);
    m_bCancel = 1;
    return 0;
}

// ---- the download

int CDlgContentsLibrary::Download()
{
    QString identifier;
    if (!CRegistry::Read(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), QString(), identifier)) {
        MessageBox(this, GetString(IDS_REGISTRY), MB_OK);
        return 0;
    }
    m_strInfoURL = m_strLibraryURL + QStringLiteral("/item/") + identifier + QStringLiteral(".xml");
    if (!m_info.Load(m_strInfoURL, m_strUserAgent, this))
        return 0;
    SetContentsInfo();
    if (!HasSafeNames()) {
        MessageBox(this, GetString(IDS_INFO_NOT_VALID), MB_OK);
        return 0;
    }
    if (MessageBox(this, format(GetString(IDS_ASK_INSTALL), m_strTitle), MB_YESNO) == IDNO)
        return 1;
    if (MakeInstallFileName() && MessageBox(this, format(GetString(IDS_ASK_OVERWRITE), m_strTitle), MB_YESNO) == IDNO)
        return 0;
    m_dlgDownload.Create(this);
    setEnabled(false);
    m_dlgDownload.setEnabled(true);  // a window of its own: it stays usable while its parent is disabled
    m_strDownloadURL = m_strLibraryURL + QStringLiteral("/download/") + identifier;
    if (GetContents() && AddContentsToMenu()) {
        m_dlgDownload.SetDlgItemText(IDC_CLOSE, QStringLiteral("閉じる(&C)"));
        return 1;
    }
    m_dlgDownload.Close();
    return 0;
}

void CDlgContentsLibrary::SetContentsInfo()
{
    m_strTitle = m_info.GetField(CContentsInfo::IDS_TITLE);
    m_strFileName = m_info.GetField(CContentsInfo::IDS_FILENAME);
    m_nGenre = SetGenre(m_info.GetField(CContentsInfo::IDS_GENRE));
    m_nSize = _wtoi(m_info.GetField(CContentsInfo::IDS_SIZE));
    m_strExtMessage = m_info.GetField(CContentsInfo::IDS_EXTMESSAGE);
    m_strSha256 = m_info.GetSha256().toLower();
}

bool CDlgContentsLibrary::HasSafeNames()
{
    // the site is not trusted: its file name must stay inside the install folder and land
    // on nothing the module keeps there; a package hash must be one
    return CContentsInfo::IsPlainFileName(m_strFileName) && contents::IsInstallableName(m_nGenre, m_strFileName)
           && contents::IsSha256Text(m_strSha256);
}

int CDlgContentsLibrary::SetGenre(const QString& genreText)
{
    for (int genre = 1; genre <= 5; ++genre)
        if (genreText == GetString(IDS_GENRE_SCENE + genre - 1))
            return genre;
    return 999;
}

int CDlgContentsLibrary::MakeInstallFileName()
{
    m_strInstallFolder = m_strInstallRoot;
    if (contents::IsSceneGenre(m_nGenre))
        m_strInstallFolder += GetString(IDS_FOLDER_FAVORITES) + u'/';
    else if (contents::IsPackageGenre(m_nGenre))
        m_strInstallFolder += GetString(IDS_FOLDER_PRG) + u'/';
    else if (contents::IsObjectGenre(m_nGenre))
        m_strInstallFolder += GetString(IDS_FOLDER_ADF) + u'/';
    m_strInstallFile = m_strInstallFolder + m_strFileName;
    if (contents::IsPackageGenre(m_nGenre))
        m_bInstalled = CCommonFile::DoesDirectoryExist(m_strInstallFolder + CCommonFile::GetBaseFileName(m_strFileName));
    else
        m_bInstalled = CCommonFile::DoesFileExist(m_strInstallFile);
    return m_bInstalled;
}

int CDlgContentsLibrary::GetContents()
{
    m_bCancel = 0;
    if (contents::IsObjectGenre(m_nGenre) && CountAdfInRegistry() >= contents::kMaxAdf) {
        MessageBox(this, GetString(IDS_ADF_FULL), MB_OK);
        return 0;
    }
    if (!QDir().mkpath(m_strInstallFolder)) {
        MessageBox(this, GetString(IDS_NO_FOLDER), MB_OK);
        return 0;
    }
    m_dlgDownload.SetDlgItemText(IDC_CLD_MESSAGE, format(GetString(IDS_DOWNLOADING), m_strTitle));
    m_dlgDownload.SetDlgItemText(IDC_CLD_LOCATION, m_strInstallFile);

    // the progress window shows how far it is; its Cancel arrives through the events, pumped
    // at the first round and then every 10 ms: a pump at each 4096 bytes took about a fifth
    // of a fast download, and the window cannot tell the difference
    class ProgressWindow : public contents::CTransfer::Observer {
    public:
        explicit ProgressWindow(CDlgContentsLibrary& dialog) : m_dialog(dialog) {}
        void Progress(int position) override { m_dialog.m_dlgDownload.Progress().SetPos(position); }
        bool IsCancelled() override
        {
            if (!m_sincePump.isValid() || m_sincePump.hasExpired(kPumpPeriodMs)) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                m_sincePump.start();
            }
            return m_dialog.m_bCancel;
        }

    private:
        CDlgContentsLibrary& m_dialog;
        QElapsedTimer m_sincePump;
    } window(*this);
    contents::CTransfer transfer(m_strUserAgent, m_strDownloadURL, m_strInstallFile, m_nSize, m_strSha256.toLatin1());
    const contents::CTransfer::Result result = transfer.Run(window);
    if (result != contents::CTransfer::Done) {
        MessageBox(this, GetString(static_cast<unsigned short>(result)), MB_OK);
        return 0;
    }
    return 1;
}

// ---- the installation

void CDlgContentsLibrary::SetProgressMessage(unsigned short id, const QString& tail)
{
    m_dlgDownload.SetDlgItemText(IDC_CLD_MESSAGE, format(GetString(id), m_strTitle) + tail);
}

int CDlgContentsLibrary::AddContentsToMenu()
{
    SetProgressMessage(IDS_INSTALLING);
    if (contents::IsPackageGenre(m_nGenre) && !AddPrg())
        return 0;
    if (contents::IsObjectGenre(m_nGenre) && !AddAdf())
        return 0;
    SetProgressMessage(IDS_INSTALLED, QStringLiteral("\n\n") + m_strExtMessage);
    return 1;
}

int CDlgContentsLibrary::AddPrg()
{
    const QString base = CCommonFile::GetBaseFileName(m_strFileName);
    const QString package = m_strInstallFolder + base + u'/';
    const QString list = m_strInstallFolder + QStringLiteral("zvnprg.lst");
    if (m_bInstalled) {
        CCommonFile::DeleteDirectory(package, 1);
        if (CCommonFile::DoesFileExist(list))
            CPrgSection::Delete(list, base);
    }
    QStringList added;
    if (!contents::UnpackPackage(m_strInstallFile, m_strInstallFolder, base, added))
        return 0;
    QFile::remove(m_strInstallFile);
    if (CCommonFile::DoesFileExist(package + QStringLiteral("info.txt"))
        && CCommonFile::DoesFileExist(package + base + QStringLiteral(".zsf"))) {
        if (CPrgSection::Add(list, package + QStringLiteral("info.txt"))) {
            if (QWidget* parent = parentWidget())
                SendMessage(parent, WM_PRGLISTCHANGED, 1, 0);
            return 1;
        }
        CCommonFile::DeleteDirectory(package, 1);
        contents::TakeBack(m_strInstallFolder, added);  // nothing of a refused package stays
        return 0;
    }
    MessageBox(this, GetString(IDS_FILES_MISSING), MB_OK);
    CCommonFile::DeleteDirectory(package, 1);
    contents::TakeBack(m_strInstallFolder, added);
    return 0;
}

int CDlgContentsLibrary::CountAdfInRegistry() { return contents::CountAdfInRegistry(); }

int CDlgContentsLibrary::AddAdf()
{
    // Linux has no short names: the full path stands for the short one
    return contents::RegisterAdf(QFileInfo(m_strInstallFile).absoluteFilePath(), m_strTitle);
}
