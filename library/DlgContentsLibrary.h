#pragma once
// The content library: the site in an embedded browser, and the download and
// installation of the item the user picks (the host calls Download).
#include "frame/Zvnd06Export.h"
#include "library/ContentsInfo.h"
#include "library/ContentsLibraryBrowser.h"
#include "library/DlgContentsLibraryDownload.h"
#include "support/zvncst/ZntDialog.h"

#include <QRect>

class ZVND06_EXPORT CDlgContentsLibrary : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgContentsLibrary(QWidget* parent);
    ~CDlgContentsLibrary() override;

    int Download();

    QString m_strInstallRoot;  // set by the host before the dialog is shown; ends in "/"

    CContentsLibraryBrowser& Browser() { return m_browser; }
    CDlgContentsLibraryDownload& ProgressDialog() { return m_dlgDownload; }
    const QString& UserAgent() const { return m_strUserAgent; }
    int IsBrowserReady() const { return m_bBrowserReady; }

    int OnInitDialog() override;
    int exec() override;

    // handlers
    platform::LRESULT OnDlgCLDownloadClose(platform::WPARAM, platform::LPARAM);
    void OnTimer(int id);
    void OnSize(int type, int cx, int cy);
    void OnGetMinMaxInfo();
    void OnDestroy();

protected:
    const MessageMap& GetMessageMap() const override;
    void timerEvent(QTimerEvent* e) override;
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
