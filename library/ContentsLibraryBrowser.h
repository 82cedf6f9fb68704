#pragma once
/// \file
/// The embedded browser of the content library: a web view in a profile of
/// its own that keeps nothing on disk, opened with the module's user agent.

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>
#include <functional>


/// The embedded browser of the content library. Certificates are checked as
/// the system checks them, but a site whose chain ends in the authority that
/// "TrustedCA" of `General\Network` names (a PEM file) is accepted too.
class CContentsLibraryBrowser {
public:
    /// No view yet: Create() makes it.
    CContentsLibraryBrowser();
    /// Destroys the view and its profile.
    ~CContentsLibraryBrowser();
    CContentsLibraryBrowser(const CContentsLibraryBrowser&) = delete;
    CContentsLibraryBrowser& operator=(const CContentsLibraryBrowser&) = delete;

    /// Makes the view inside `frame` (the template's browser control), filling it.
    /// A view made before is destroyed first; the profile sends `userAgent`.
    void Create(QWidget* frame, const QString& userAgent);
    /// Destroys the view, its page and its profile; ReadyState() is 0 again.
    void Destroy();
    /// Opens the URL; `headers` are "Name: value" lines ending in CR LF.
    void Navigate(const QString& url, const QString& headers);
    /// 4 once the first page has finished loading, else 1 (loading) or 0 (nothing opened)
    int ReadyState() const { return m_nReadyState; }

    /// inline, as the host's tour reaches them and the class is not exported
    ///
    /// The frame the view fills, null before Create().
    QWidget* GetWnd() const { return m_pFrame; }
    /// The web view, null before Create().
    QWebEngineView* View() const { return m_pView; }
    QWebEngineProfile* Profile() const { return m_pProfile; }  ///< the host may watch the page's requests through it

    /// A link the host takes over (the site's install link): the handler answers true for
    /// it, and the page declines the navigation, so it stays as it was. Kept across Create.
    using LinkHandler = std::function<bool(const QUrl&)>;
    /// Sets the LinkHandler; an empty one lets every navigation go.
    void SetLinkHandler(LinkHandler handler) { m_linkHandler = std::move(handler); }

    /// Sets the Chromium flags: the ones a browser started as root needs, unless the user
    /// set flags, and the engine's language, Japanese, unless the flags name one
    /// (`--lang=`). The browser calls it itself as the library loads, before any engine starts.
    static void PrepareEnvironment();

private:
    // the dialog's window may take them with it: guarded pointers
    QPointer<QWidget> m_pFrame;
    QPointer<QWebEngineView> m_pView;
    QPointer<QWebEngineProfile> m_pProfile;
    int m_nReadyState = 0;
    LinkHandler m_linkHandler;
};
