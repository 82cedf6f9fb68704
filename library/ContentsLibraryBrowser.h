#pragma once
// The embedded browser of the content library: a web view in a profile of
// its own that keeps nothing on disk, opened with the module's user agent.

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>
#include <functional>


class CContentsLibraryBrowser {
public:
    CContentsLibraryBrowser();
    ~CContentsLibraryBrowser();
    CContentsLibraryBrowser(const CContentsLibraryBrowser&) = delete;
    CContentsLibraryBrowser& operator=(const CContentsLibraryBrowser&) = delete;

    // Makes the view inside `frame` (the template's browser control), filling it.
    void Create(QWidget* frame, const QString& userAgent);
    void Destroy();
    // Opens the URL; `headers` are "Name: value" lines ending in CR LF.
    void Navigate(const QString& url, const QString& headers);
    // 4 once the first page has finished loading, else 1 (loading) or 0 (nothing opened)
    int ReadyState() const { return m_nReadyState; }

    // inline, as the host's tour reaches them and the class is not exported
    QWidget* GetWnd() const { return m_pFrame; }
    QWebEngineView* View() const { return m_pView; }
    QWebEngineProfile* Profile() const { return m_pProfile; }  // the host may watch the page's requests through it

    // A link the host takes over (the site's install link): the handler answers true for
    // it, and the page declines the navigation, so it stays as it was. Kept across Create.
    using LinkHandler = std::function<bool(const QUrl&)>;
    void SetLinkHandler(LinkHandler handler) { m_linkHandler = std::move(handler); }

    // Sets the Chromium flags a browser started as root needs, unless the user set them;
    // the browser calls it itself as the library loads, before any engine starts.
    static void PrepareEnvironment();

private:
    // the dialog's window may take them with it: guarded pointers
    QPointer<QWidget> m_pFrame;
    QPointer<QWebEngineView> m_pView;
    QPointer<QWebEngineProfile> m_pProfile;
    int m_nReadyState = 0;
    LinkHandler m_linkHandler;
};
