#include "library/ContentsLibraryBrowser.h"

#include "support/zvnreg/Registry.h"

#include <QFile>
#include <QSslCertificate>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <unistd.h>

namespace {

// The certificate of the local authority that the setting "TrustedCA" of "General\Network"
// names: the browser accepts a site whose chain ends in it, and no other fault.
bool trusted(const QWebEngineCertificateError& error)
{
    QString file;
    CRegistry::Read(QStringLiteral("General\\Network"), QStringLiteral("TrustedCA"), QString(), file);
    if (file.isEmpty())
        return false;
    const QList<QSslCertificate> authorities = QSslCertificate::fromPath(file);
    const QList<QSslCertificate> chain = error.certificateChain();
    return !chain.isEmpty() && authorities.contains(chain.last());
}

// A page that declines the navigations its browser's host takes over: a declined navigation
// leaves the page as it was, where a blocked request would leave the engine's error page.
class CLibraryPage : public QWebEnginePage {
public:
    CLibraryPage(QWebEngineProfile* profile, QObject* parent, const CContentsLibraryBrowser::LinkHandler& handler)
        : QWebEnginePage(profile, parent), m_handler(handler)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (m_handler && m_handler(url))
            return false;
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    const CContentsLibraryBrowser::LinkHandler& m_handler;  // the browser's, which outlives its page
};

// The engine reads its flags once, when the host makes its application: they are set as the
// library loads, before a host can do that, by the browser itself.
const struct EnvironmentAtLoad {
    EnvironmentAtLoad() { CContentsLibraryBrowser::PrepareEnvironment(); }
} environmentAtLoad;

}  // namespace

CContentsLibraryBrowser::CContentsLibraryBrowser() = default;

CContentsLibraryBrowser::~CContentsLibraryBrowser() { Destroy(); }


void CContentsLibraryBrowser::PrepareEnvironment()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const QByteArray before = flags;
    const auto add = [&flags](const QByteArray& flag) { flags += (flags.isEmpty() ? "" : " ") + flag; };
    if (geteuid() == 0 && before.isEmpty())
        add("--no-sandbox");
    // the engine's own pages (a site that cannot be reached) in the module's language, not
    // the environment's; a host that names a language of its own keeps it
    if (!before.contains("--lang="))
        add("--lang=ja");
    if (flags != before)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

void CContentsLibraryBrowser::Create(QWidget* frame, const QString& userAgent)
{
    Destroy();
    m_pFrame = frame;
    m_nReadyState = 0;
    // children go in the order they were made: the view (with its page) before the profile
    m_pView = new QWebEngineView(frame);
    // an off-the-record profile: the library leaves no cookies or cache in the user's folders
    m_pProfile = new QWebEngineProfile(frame);
    m_pProfile->setHttpUserAgent(userAgent);
    // the module speaks Japanese whatever the environment's language, and so do the pages it asks for
    m_pProfile->setHttpAcceptLanguage(QStringLiteral("ja-JP,ja"));
    auto* page = new CLibraryPage(m_pProfile, m_pView, m_linkHandler);
    QObject::connect(page, &QWebEnginePage::certificateError, page, [](const QWebEngineCertificateError& error) {
        auto e = error;
        if (trusted(e))
            e.acceptCertificate();
        else
            e.rejectCertificate();
    });
    m_pView->setPage(page);
    QObject::connect(page, &QWebEnginePage::loadFinished, page, [this](bool) { m_nReadyState = 4; });
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pView);
}

void CContentsLibraryBrowser::Destroy()
{
    // the page (a child of the view) goes before its profile, as the engine asks
    delete m_pView;
    delete m_pProfile;
    m_pView = nullptr;
    m_pProfile = nullptr;
    m_pFrame = nullptr;
    m_nReadyState = 0;
}

void CContentsLibraryBrowser::Navigate(const QString& url, const QString& headers)
{
    if (!m_pView)
        return;
    QWebEngineHttpRequest request{QUrl(url)};
    for (const QString& line : headers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const int colon = line.indexOf(u':');
        if (colon > 0)
            request.setHeader(line.left(colon).trimmed().toLatin1(), line.mid(colon + 1).trimmed().toUtf8());
    }
    if (m_nReadyState != 4)
        m_nReadyState = 1;
    m_pView->load(request);
}
