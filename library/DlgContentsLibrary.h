#pragma once
/// \file
/// The content library: the site in an embedded browser, and the download and
/// installation of the item the user picks (the host calls Download).
#include "frame/Zvnd06Export.h"
#include "library/ContentsInfo.h"
#include "library/ContentsLibraryBrowser.h"
#include "library/DlgContentsLibraryDownload.h"
#include "support/zvncst/ZntDialog.h"

#include <QRect>

/// The content library dialog (template 16104, resizable): the library site
/// in the embedded browser, with close and help buttons that wait until its
/// first page has loaded. The site's install link is the host's to take (see
/// CContentsLibraryBrowser::SetLinkHandler); the host then stores the item's
/// identifier and calls Download().
///
/// It sends WM_PRGLISTCHANGED (2104, wParam 1, lParam 0) to its parent after it
/// installed a program, and answers WM_CLDOWNLOADCLOSE (2036) from its progress
/// window; its help button sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to the main window.
///
/// Settings: the site's address "URL3" of `General\Network` (default
/// `https://127.0.0.1:47081`), and "Connected", "ConnectTimeout", "ReceiveTimeout"
/// and "TrustedCA" there; the window's place "WindowPosSize" of its section
/// `Dialog\ContentsLibrary`, restored with its size at opening and written when
/// the window goes; for a download, the item's identifier "ContentsLibrary" of
/// `Exchange`; for an additional object, the entries "ADF1" to "ADF40" of
/// `General\ADF`, where the object is written as "path,title" under the first
/// free number.
///
/// DoModal() returns 2 (its close button, Esc or the close box).
class ZVND06_EXPORT CDlgContentsLibrary : public CZntDialog {
    Q_OBJECT
public:
    /// The dialog with its user agent; the browser opens the site only when the window is made.
    explicit CDlgContentsLibrary(QWidget* parent);
    /// Saves the window's place when its window was not yet ended.
    ~CDlgContentsLibrary() override;

    /// Downloads and installs the item the site's install link chose, whose
    /// identifier the host stored as "ContentsLibrary" of `Exchange`. Reads the
    /// item's document from the site, asks the user (install; overwrite when it
    /// is there), shows the progress window while the package comes and installs
    /// it by its genre below m_strInstallRoot: a scene or an animation into
    /// "Favorites/", a program or BGV into "Prg/" (unpacked and added to the user program list
    /// "Prg/zvnprg.lst"), an additional object into "Adf/" (and into the
    /// settings). Returns 1 when it was installed or the user declined it, 0
    /// after the message of a failure or when the user declined to overwrite.
    int Download();

    QString m_strInstallRoot;  ///< set by the host before the dialog is shown; ends in "/"

    /// The embedded browser.
    CContentsLibraryBrowser& Browser() { return m_browser; }
    /// The download progress window (modeless, made anew for each download).
    CDlgContentsLibraryDownload& ProgressDialog() { return m_dlgDownload; }
    /// The user agent the browser and the downloads send.
    const QString& UserAgent() const { return m_strUserAgent; }
    /// 1 once the site's first page has loaded and the browser is shown, else 0.
    int IsBrowserReady() const { return m_bBrowserReady; }

    /// Restores the window's place, makes the browser, opens the site with the
    /// user agent and waits for its first page, close and help disabled. Returns 1.
    int OnInitDialog() override;
    /// The modal loop; when it ends the window's place is saved.
    int exec() override;

    // handlers
    /// The progress window closed (WM_CLDOWNLOADCLOSE): the dialog takes input
    /// again, and a download still running stops. Returns 0.
    platform::LRESULT OnDlgCLDownloadClose(platform::WPARAM, platform::LPARAM);
    /// The timer `id` of the page load: once the first page has loaded, shows the
    /// browser, hides the loading note and enables close and help.
    void OnTimer(int id);
    /// Lays the browser and the buttons out for a client area `cx` by `cy`.
    void OnSize(int type, int cx, int cy);
    /// The window cannot be made smaller than it was when it opened.
    void OnGetMinMaxInfo();
    /// Once per window: stops the timer and writes the window's place "WindowPosSize".
    void OnDestroy();

protected:
    /// WM_CLDOWNLOADCLOSE to OnDlgCLDownloadClose().
    const MessageMap& GetMessageMap() const override;
    /// Passes the timer to OnTimer().
    void timerEvent(QTimerEvent* e) override;
    /// Passes the new size to OnSize().
    void resizeEvent(QResizeEvent* e) override;

private:
    void SaveInitialLayout();
    void InitControls();
    int GetContents();
    int MakeInstallFileName();
    void SetContentsInfo();
    int SetGenre(const QString& genreText);
    QString GetString(unsigned short id);
    int AddContentsToMenu();
    int AddPrg();
    int AddAdf();
    int CountAdfInRegistry();
    bool HasSafeNames();
    void SetProgressMessage(unsigned short id, const QString& tail = {});

    QString m_strLibraryURL;
    int m_nInitialWidth = -1;
    int m_nInitialHeight = -1;
    QRect m_rcBrowser;
    int m_bBrowserReady = 0;
    int m_nBrowserLeft = 0, m_nBrowserTop = 0, m_nBrowserBottom = 0, m_nBrowserRight = 0;
    int m_nButtonTop = 0, m_nButtonBottom = 0;
    int m_nCloseLeft = 0, m_nCloseRight = 0, m_nHelpLeft = 0, m_nHelpRight = 0;
    CContentsLibraryBrowser m_browser;
    CContentsInfo m_info;
    CDlgContentsLibraryDownload m_dlgDownload;
    QString m_strUserAgent;
    int m_bInstalled = 0;
    QString m_strInfoURL;
    QString m_strTitle;
    QString m_strFileName;
    QString m_strExtMessage;
    QString m_strSha256;  // the package's hash from its document, lower-case; empty when it has none
    int m_nGenre = 999;
    int m_nSize = 0;
    QString m_strDownloadURL;
    QString m_strInstallFolder;
    QString m_strInstallFile;
    int m_bCancel = 0;
    int m_nTimerId = 0;
    bool m_bWindowAlive = false;  // a window made by DoModal or Create whose place is not yet saved
};
