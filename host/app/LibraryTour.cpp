// The content library in the reference host: the menu entry, the pick in the
// site's page (its install link), and the tour's road through it.
#include "host/app/HostWindow.h"
#include "host/app/Tour.h"
#include "host/core/AdditionalObjects.h"
#include "host/core/SimulatedCore.h"
#include "library/DlgContentsLibrary.h"
#include "program/DlgProgram.h"
#include "support/zvnreg/Registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

int downloadsEnded = 0;  // Download calls the install link started that have returned

// The site's install link ("/install/<id>") is the user's pick: the page declines to follow
// it and stays where it is, and the host writes the identifier where the module reads it
// and starts the download once the click has been handled.
bool takeInstallLink(CDlgContentsLibrary& dialog, const QUrl& url)
{
    static const QRegularExpression install(QStringLiteral("^/install/([A-Za-z0-9_-]+)$"));
    const QRegularExpressionMatch match = install.match(url.path());
    if (!match.hasMatch())
        return false;
    CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), match.captured(1));
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.Download();
        ++downloadsEnded;
    });
    return true;
}

}  // namespace

int CHostWindow::OpenLibrary(const std::function<void(CDlgContentsLibrary&)>& whileOpen)
{
    CDlgContentsLibrary dialog(this);
    dialog.m_strInstallRoot = m_folders.InstallRoot();
    dialog.Browser().SetLinkHandler([&dialog](const QUrl& url) { return takeInstallLink(dialog, url); });
    QTimer::singleShot(0, &dialog, [&] {
        if (whileOpen)
            whileOpen(dialog);
    });
    const int result = dialog.DoModal();
    // an additional object installed meanwhile appears in the sky at once
    m_core.SetAdditionalObjects(additional::LoadRegistered());
    return result;
}

namespace {

// The browser's pictures arrive a moment after its page has loaded: wait until the view
// shows more than a plain fill, and no longer the page it showed before.
void waitForPaint(QWidget* view, const QImage& before = {})
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const QImage shot = view->grab().toImage();
        if (shot == before)
            continue;
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 16)
            for (int x = 0; x < shot.width(); x += 16)
                colours.insert(shot.pixel(x, y));
        if (colours.size() > 8)
            return;
    }
}

// opens the item's page in the library, then follows its install link as the user's click would
bool clickInstall(CDlgContentsLibrary& dialog, CTour& tour, const QString& id)
{
    QWebEngineView* view = dialog.Browser().View();
    const QUrl page = view->url().resolved(QUrl(QStringLiteral("/page/") + id));
    QEventLoop loaded;
    bool pageShown = false;
    int tries = 0;
    // The wait follows this page's own load, by its address: the failed load that an install
    // link declined before may end at any moment, and a load that something else stopped
    // before it ended is asked for again.
    QObject::connect(view->page(), &QWebEnginePage::loadingChanged, &loaded, [&](const QWebEngineLoadingInfo& info) {
        if (info.url() != page || info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        pageShown = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
        if (pageShown || ++tries >= 3)
            loaded.quit();
        else
            QTimer::singleShot(100, view, [view, page] { view->load(page); });
    });
    QTimer::singleShot(30000, &loaded, &QEventLoop::quit);
    const QImage before = view->grab().toImage();
    view->load(page);
    loaded.exec();
    if (!pageShown) {
        tour.Step(QStringLiteral("library: the page of \"%1\" could not be opened").arg(id));
        return false;
    }
    waitForPaint(view, before);
    tour.Step(QStringLiteral("library: the page of \"%1\" -> %2").arg(id, tour.Screenshot(&dialog, QStringLiteral("library-") + id)));
    const int ended = downloadsEnded;
    view->page()->runJavaScript(QStringLiteral("document.getElementById('install').click()"));
    // the host's link handler starts the download; it is over once Download has returned
    QElapsedTimer clock;
    clock.start();
    while (downloadsEnded == ended && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const auto finished = [&dialog] {
        return dialog.ProgressDialog().isVisible() && dialog.ProgressDialog().GetDlgItemText(2) == QStringLiteral("閉じる(&C)");
    };
    // the page stays the item's own behind the progress window
    tour.Step(QStringLiteral("library: the page of \"%1\" after its install link -> %2")
                  .arg(id, tour.Screenshot(&dialog, QStringLiteral("library-") + id + QStringLiteral("-installed"))));
    return finished();
}

}  // namespace

void CHostWindow::tourLibrary(CTour& tour)
{
    OpenLibrary([&](CDlgContentsLibrary& dialog) {
        QElapsedTimer clock;
        clock.start();
        while (!dialog.IsBrowserReady() && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const qint64 shown = clock.elapsed();
        if (!dialog.IsBrowserReady()) {
            tour.Step(QStringLiteral("library: the site was not shown within %1 ms; nothing installed -> %2")
                          .arg(shown)
                          .arg(tour.Screenshot(&dialog, QStringLiteral("library"))));
            dialog.EndDialog(2);
            return;
        }
        waitForPaint(dialog.Browser().View());
        tour.Step(QStringLiteral("library: the site shown after %1 ms -> %2").arg(shown).arg(tour.Screenshot(&dialog, QStringLiteral("library"))));
        tour.Step(QStringLiteral("library: \"orion-story\" installed by its link: %1").arg(clickInstall(dialog, tour, QStringLiteral("orion-story"))));
        tour.Step(QStringLiteral("library: progress -> %1").arg(tour.Screenshot(&dialog.ProgressDialog(), QStringLiteral("library-progress"))));
        dialog.ProgressDialog().Close();
        tour.Step(QStringLiteral("library: \"comet-2026\" installed by its link: %1").arg(clickInstall(dialog, tour, QStringLiteral("comet-2026"))));
        dialog.ProgressDialog().Close();
        // the BGV's first download is cut by the site (scripts/demo starts it so); the part stays
        // with its record, and the second download asks only for the rest
        const QString bgv = dialog.m_strInstallRoot + QStringLiteral("Prg/milkyway_bgv.zip");
        const bool first = clickInstall(dialog, tour, QStringLiteral("milkyway-bgv"));
        tour.Step(QStringLiteral("library: \"milkyway-bgv\" first download installed: %1; %2 bytes kept, record beside them: %3")
                      .arg(first)
                      .arg(QFileInfo(bgv).size())
                      .arg(QFileInfo::exists(bgv + QStringLiteral(".zvnpart"))));
        dialog.ProgressDialog().Close();
        tour.Step(QStringLiteral("library: \"milkyway-bgv\" installed by its resumed download: %1").arg(clickInstall(dialog, tour, QStringLiteral("milkyway-bgv"))));
        tour.Step(QStringLiteral("library: resumed progress -> %1").arg(tour.Screenshot(&dialog.ProgressDialog(), QStringLiteral("library-resumed"))));
        dialog.ProgressDialog().Close();
        dialog.EndDialog(2);
    });
    OpenProgramDialog([&](CDlgProgram& dialog) {
        tour.Step(QStringLiteral("library: the program dialog lists %1 programs -> %2")
                      .arg(dialog.Programs().size())
                      .arg(tour.Screenshot(&dialog, QStringLiteral("library-program"))));
        dialog.EndDialog(2);
    });
    // the comet, high in the south on a December night
    m_core.ExecCommand(QStringLiteral("time.year = 2026; time.month = 12; time.day = 20; time.hour = 23; time.minute = 0; "
                                      "view.angle = 60; view.center.position.equatorialdatemean.ra = 84; "
                                      "view.center.position.equatorialdatemean.dec = 20; Show Sky"));
    tour.Step(QStringLiteral("library: the sky with %1 additional object(s) -> %2")
                  .arg(m_core.State().additional.size())
                  .arg(tour.Screenshot(this, QStringLiteral("library-comet"))));
    // the features after this one start from the tour's own sky again
    m_core.ExecCommand(QStringLiteral("time.year = 2026; time.month = 1; time.day = 15; time.hour = 20; time.minute = 0; view.angle = 90; "
                                      "view.center.position.horizon.azimuth = 180; view.center.position.horizon.altitude = 30; Show Sky"));
}
