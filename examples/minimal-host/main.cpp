// minimal-host: a host of the planetarium's dialog module in one file. A window whose menu
// opens the five features, over a small core that answers the module's questions about the
// view and draws a chart when asked for one.
//
//   minimal-host           the window, for a person
//   minimal-host --check   opens every feature in turn, closes each window as soon as it is
//                          up, prints the module's windows that were shown, and exits 0 when
//                          every feature showed its own
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudUpload.h"
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "frame/CorZnt.h"
#include "frame/Module.h"
#include "frame/ModuleMessages.h"
#include "library/DlgContentsLibrary.h"
#include "platform/HostWindows.h"
#include "platform/WindowMessage.h"
#include "program/DlgProgram.h"
#include "program/PrgSection.h"
#include "support/zvnreg/Registry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStringEncoder>
#include <QTimer>
#include <cstdio>
#include <memory>

// The planetarium core, as small as the module allows: every query has an answer, every
// setting is kept, and "Save Zentar" draws a chart of random stars into a PNG file.
class CSmallCore : public CCorZnt {
public:
    QString ExecCommand(const QString& text) override
    {
        QString answer;
        for (const QString& statement : text.split(QStringLiteral("; "))) {
            if (statement.startsWith(u'?'))
                answer = query(statement.mid(1).trimmed());
            else if (const qsizetype eq = statement.indexOf(QStringLiteral(" = ")); eq > 0)
                m_values.insert(statement.left(eq).toLower(), statement.mid(eq + 3));
            else if (statement.startsWith(QStringLiteral("Save Zentar,")))
                drawChart(statement.section(u',', 1).remove(u'"'));
        }
        return answer;
    }

private:
    QString query(const QString& path) const
    {
        static const QHash<QString, QString> fixed = {
            {QStringLiteral("lst(time)"), QStringLiteral("LST AD2026/1/15 03:42:17")},
            {QStringLiteral("time.year"), QStringLiteral("2026")}, {QStringLiteral("time.month"), QStringLiteral("1")},
            {QStringLiteral("time.day"), QStringLiteral("15")},    {QStringLiteral("time.jd"), QStringLiteral("2461055.958333")},
            {QStringLiteral("view.coordinate"), QStringLiteral("Horizon")}, {QStringLiteral("view.angle"), QStringLiteral("90")},
            {QStringLiteral("location.latitude"), QStringLiteral("35.6895")},
            {QStringLiteral("location.longitude"), QStringLiteral("139.6917")}, {QStringLiteral("location.height"), QStringLiteral("40")},
            {QStringLiteral("system.error"), QString()},
        };
        const QString key = path.toLower();
        if (m_values.contains(key))
            return m_values.value(key);
        if (fixed.contains(key))
            return fixed.value(key);
        return key.endsWith(QStringLiteral(".visible")) ? QStringLiteral("FALSE") : QStringLiteral("0");
    }

    static void drawChart(const QString& path)
    {
        QImage chart(640, 480, QImage::Format_RGB32);
        chart.fill(QColor(8, 16, 40));
        QPainter painter(&chart);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::white);
        for (int i = 0; i < 300; ++i) {
            const double r = 0.4 + QRandomGenerator::global()->bounded(1.6);
            painter.drawEllipse(QPointF(QRandomGenerator::global()->bounded(640), QRandomGenerator::global()->bounded(480)), r, r);
        }
        painter.end();
        chart.save(path, "PNG");
    }

    QHash<QString, QString> m_values;
};

class CMinimalHost : public QMainWindow {
public:
    explicit CMinimalHost(const QString& data) : m_data(data)
    {
        setWindowTitle(QStringLiteral("minimal-host"));
        resize(640, 400);
        QMenu* menu = menuBar()->addMenu(QStringLiteral("機能(&F)"));
        menu->addAction(QStringLiteral("番組(&P)..."), this, &CMinimalHost::Program);
        menu->addAction(QStringLiteral("コンテンツ・ライブラリ(&L)..."), this, &CMinimalHost::Library);
        menu->addAction(QStringLiteral("ログイン(&I)..."), this, &CMinimalHost::SignIn);
        menu->addAction(QStringLiteral("共有(&S)..."), this, &CMinimalHost::Share);
        menu->addAction(QStringLiteral("お気に入りに追加(&F)..."), this, &CMinimalHost::AddFavorite);
        menu->addAction(QStringLiteral("お気に入りの整理(&O)..."), this, &CMinimalHost::OrganizeFavorites);
        QDir().mkpath(m_data + QStringLiteral("/Favorites"));
        makeSystemPrograms();
        // the module's boxes without an owner belong to the main window
        platform::SetMainWindow(this);
    }
    ~CMinimalHost() override { platform::SetMainWindow(nullptr); }

    void Program()
    {
        CDlgProgram dialog(m_data + QStringLiteral("/System/zvnprg.lst"), m_data + QStringLiteral("/Contents/Prg/zvnprg.lst"), &m_core, this);
        if (dialog.DoModal() == 1)
            statusBar()->showMessage(QStringLiteral("番組: %1").arg(dialog.GetProgTitle()));
    }
    void Library()
    {
        CDlgContentsLibrary dialog(this);
        dialog.m_strInstallRoot = m_data + QStringLiteral("/Contents/");
        // the site's install link is the user's pick: the host hands its identifier to the module
        dialog.Browser().SetLinkHandler([&dialog](const QUrl& url) {
            static const QRegularExpression install(QStringLiteral("^/install/([A-Za-z0-9_-]+)$"));
            const QRegularExpressionMatch match = install.match(url.path());
            if (!match.hasMatch())
                return false;
            CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), match.captured(1));
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.Download(); });
            return true;
        });
        dialog.DoModal();
    }
    bool SignIn()
    {
        m_account = std::make_unique<CDlgCloudLogin>(this);
        return m_account->CheckValidAccessToken() == 1 || m_account->DoModal() == 1;
    }
    void Share()
    {
        if (!SignIn())
            return;
        const QString scene = QDir::tempPath() + QStringLiteral("/minimal-host-share.zsf");
        saveScene(scene, QStringLiteral("共有した星図"));
        CDlgCloudUpload dialog(&m_core, m_account->GetZentoCloudConnection(), CDlgCloudLogin::DefaultUrlBase(), 0, 0,
                               m_account->GetAccessToken(), m_account->GetAccessTokenSecret(), scene, this);
        dialog.DoModal();
        QFile::remove(scene);
    }
    void AddFavorite()
    {
        CDlgAddFavorites dialog(&m_core, m_data + QStringLiteral("/Favorites/"), this);
        if (dialog.DoModal() != 1)
            return;
        // the host saves the scene itself, where and as the user chose
        const QString scene = dialog.GetPath() + dialog.GetName() + QStringLiteral(".zsf");
        if (saveScene(scene, dialog.GetDescription()))
            statusBar()->showMessage(QStringLiteral("お気に入りに追加しました: %1").arg(scene));
    }
    void OrganizeFavorites()
    {
        CDlgFavorites dialog(&m_core, m_data + QStringLiteral("/Favorites/"), this);
        dialog.DoModal();
    }

protected:
    // the module's window messages to the host arrive as one event type
    bool event(QEvent* e) override
    {
        if (e->type() != platform::WindowMessageEvent::eventType())
            return QMainWindow::event(e);
        const auto* message = static_cast<platform::WindowMessageEvent*>(e);
        if (message->message() == WM_PRGLISTCHANGED)
            statusBar()->showMessage(QStringLiteral("番組リストが更新されました。"));
        return true;
    }

private:
    // A scene file of the view: the module's files are text in the system's code page, CP932,
    // with CR LF line ends; the description is already one line (its breaks escaped).
    static bool saveScene(const QString& path, const QString& description)
    {
        QStringEncoder cp932("CP932");
        const QByteArray text = cp932(QStringLiteral("[General]\r\nFileOwner=ZentorinLite\r\nFileId=Scene\r\nFileVersion=1.0\r\n"
                                                     "Description=%1\r\n[View]\r\nCoordinate=Horizon\r\nAngle=90\r\n")
                                          .arg(description));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

    // A host ships its system program list, each show's scene in "PRG/<name>/" beside the
    // list's folder; this one makes a list of one show at its first start, with the module's editor.
    void makeSystemPrograms() const
    {
        const QString list = m_data + QStringLiteral("/System/zvnprg.lst"), info = m_data + QStringLiteral("/System/first.txt");
        if (QFileInfo::exists(list) || !QDir().mkpath(m_data + QStringLiteral("/System")) || !QDir().mkpath(m_data + QStringLiteral("/PRG/first")))
            return;
        QFile scene(m_data + QStringLiteral("/PRG/first/first.zsf")), lines(info);
        if (scene.open(QIODevice::WriteOnly))
            scene.write("[General]\r\nFileOwner=ZentorinLite\r\nFileId=Scene\r\nFileVersion=1.0\r\n");
        // the list's text is in the system's code page, CP932: the title is 「はじめての星空」
        if (lines.open(QIODevice::WriteOnly))
            lines.write("Type=Program\r\nTitle=\x82\xcd\x82\xb6\x82\xdf\x82\xc4\x82\xcc\x90\xaf\x8b\xf3\r\nScript=first.zsf\r\nTime=600\r\n");
        scene.close();
        lines.close();
        CPrgSection::Add(list, info);  // makes the list first
    }

    QString m_data;
    CSmallCore m_core;
    std::unique_ptr<CDlgCloudLogin> m_account;  // owns the connection a share goes through
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    CMinimalHost host(data);
    platform::SetApplicationName(QStringLiteral("minimal-host"));
    host.show();
    if (!app.arguments().contains(QStringLiteral("--check")))
        return app.exec();

    // every window that comes up is closed at once, and its class kept
    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (QWidget* front = QApplication::activeModalWidget()) {
            shown.append(QString::fromLatin1(front->metaObject()->className()));
            front->close();
        }
    });
    closer.start(300);
    host.Program();
    host.Library();
    host.Share();  // signs in first when the stored tokens do not hold
    host.AddFavorite();
    host.OrganizeFavorites();
    shown.removeDuplicates();
    std::printf("%s\n", qPrintable(shown.join(u' ')));
    for (const char* dialog : {"CDlgProgram", "CDlgContentsLibrary", "CDlgCloudUpload", "CDlgAddFavorites", "CDlgFavorites"})
        if (!shown.contains(QLatin1String(dialog)))
            return 1;
    return 0;
}
