// The content library in the reference host: the menu entry, the pick in the
// site's page (its install link), and the tour's road through it.
#include "host/app/HostWindow.h"
#include "host/app/Tour.h"
#include "library/DlgContentsLibrary.h"
#include "program/DlgProgram.h"
#include "support/zvnreg/Registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

namespace {

// The site's install link ("/install/<id>") is the user's pick: the host keeps the page
// where it is, writes the identifier where the module reads it and starts the download.
class CInstallLinkInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    explicit CInstallLinkInterceptor(CDlgContentsLibrary& dialog) : QWebEngineUrlRequestInterceptor(&dialog), m_dialog(dialog) {}
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        static const QRegularExpression install(QStringLiteral("^/install/([A-Za-z0-9_-]+)$"));
        const QRegularExpressionMatch match = install.match(info.requestUrl().path());
        if (!match.hasMatch())
            return;
        info.block(true);
        CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), match.captured(1));
        QTimer::singleShot(0, &m_dialog, [this] { m_dialog.Download(); });
    }

private:
    CDlgContentsLibrary& m_dialog;
};

}  // namespace

int CHostWindow::OpenLibrary(const std::function<void(CDlgContentsLibrary&)>& whileOpen)
{
    CDlgContentsLibrary dialog(this);
    dialog.m_strInstallRoot = m_folders.InstallRoot();
    QTimer::singleShot(0, &dialog, [&] {
        if (QWebEngineProfile* profile = dialog.Browser().Profile())
            profile->setUrlRequestInterceptor(new CInstallLinkInterceptor(dialog));
        if (whileOpen)
            whileOpen(dialog);
    });
    return dialog.DoModal();
}

void CHostWindow::tourLibrary(CTour& tour)
{
    OpenLibrary([&](CDlgContentsLibrary& dialog) {
        QElapsedTimer clock;
        clock.start();
        while (!dialog.IsBrowserReady() && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        tour.Step(QStringLiteral("library: the site shown after %1 ms -> %2")
                      .arg(clock.elapsed())
                      .arg(tour.Screenshot(&dialog, QStringLiteral("library"))));
        CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), QStringLiteral("orion-story"));
        tour.Step(QStringLiteral("library: picked \"orion-story\"; Download answers %1").arg(dialog.Download()));
        tour.Step(QStringLiteral("library: progress -> %1").arg(tour.Screenshot(&dialog.ProgressDialog(), QStringLiteral("library-progress"))));
        dialog.ProgressDialog().Close();
        dialog.EndDialog(2);
    });
    OpenProgramDialog([&](CDlgProgram& dialog) {
        tour.Step(QStringLiteral("library: the program dialog lists %1 programs -> %2")
                      .arg(dialog.Programs().size())
                      .arg(tour.Screenshot(&dialog, QStringLiteral("library-program"))));
        dialog.EndDialog(2);
    });
}
