#include "host/app/HostWindow.h"
#include "support/zvnreg/Registry.h"

#include "frame/Module.h"
#include "frame/ModuleMessages.h"
#include "host/app/ChartView.h"
#include "host/app/Tour.h"
#include "host/core/AdditionalObjects.h"
#include "host/core/SimulatedCore.h"
#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "cloud/DlgCloudLogin.h"
#include "cloud/DlgCloudUpload.h"
#include "platform/CodePage.h"
#include "platform/TempFolder.h"
#include "program/DlgProgram.h"
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QTextEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// an argument of the core's commands: quoted, a double quote inside written twice
QString quoted(QString text) { return QStringLiteral("\"%1\"").arg(text.replace(u'"', QStringLiteral("\"\""))); }

}  // namespace

CHostWindow::CHostWindow(CSimulatedCore& core, const CDataFolders& folders, QWidget* parent)
    : QMainWindow(parent), m_core(core), m_folders(folders)
{
    setWindowTitle(QStringLiteral("zvnhost — プラネタリウム"));
    setCentralWidget(new CChartView(m_core, this));
    // each feature's entry opens its dialog once the feature is built
    m_features = {
        {QStringLiteral("program"), QStringLiteral("番組(&P)..."), [this] { OpenProgramDialog(); },
         [this](CTour& tour) { tourProgram(tour); }},
        {QStringLiteral("library"), QStringLiteral("コンテンツ・ライブラリ(&L)..."), [this] { OpenLibrary(); },
         [this](CTour& tour) { tourLibrary(tour); }},
        {QStringLiteral("login"), QStringLiteral("ゼントクラウドにログイン(&I)..."), [this] { SignIn(); },
         [this](CTour& tour) { tourSignIn(tour); }},
        {QStringLiteral("share"), QStringLiteral("共有(&S)..."), [this] { Share(); }, [this](CTour& tour) { tourShare(tour); }},
        {QStringLiteral("favorites"), QStringLiteral("お気に入りに追加(&F)..."), [this] { AddFavorite(); },
         [this](CTour& tour) { tourFavorites(tour); }},
    };
    buildMenus();
    m_pProgram = new QLabel(this);
    statusBar()->addPermanentWidget(m_pProgram);
    platform::SetMainWindow(this);
    statusBar()->showMessage(QStringLiteral("%1 %2").arg(GetModuleInfo().name, GetModuleInfo().version));
    m_core.SetAdditionalObjects(additional::LoadRegistered());
}

CHostWindow::~CHostWindow()
{
    if (platform::MainWindow() == this)
        platform::SetMainWindow(nullptr);
}

void CHostWindow::command(const QString& text) { m_core.ExecCommand(text); }

void CHostWindow::buildMenus()
{
    QMenu* features = menuBar()->addMenu(QStringLiteral("機能(&F)"));
    for (Feature& f : m_features) {
        f.action = features->addAction(f.title);
        f.action->setEnabled(static_cast<bool>(f.run));
        connect(f.action, &QAction::triggered, this, [this, key = f.key] { RunFeature(key); });
    }
    features->addSeparator();
    features->addAction(QStringLiteral("終了(&X)"), this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    const struct { const char* title; const char* flag; } toggles[] = {
        {"星座線", "constellation.line.visible"},       {"星座名", "constellation.name.visible"},
        {"恒星名", "star.name.visible"},                {"天の川", "milkyway.visible"},
        {"地平座標グリッド", "CoordinatesLine.AltAzmthGrid.visible"},
        {"赤道座標グリッド", "CoordinatesLine.EquatorialGrid.visible"},
        {"黄道", "CoordinatesLine.Ecliptic.visible"},  {"地上風景", "landscape.visible"},
        {"メシエ天体", "deepskyobject.messier.mark.visible"}, {"貼り付け画像", "deepskyimage.visible"},
        {"コントローラ", "FreeStyleControl.Visible"},   {"ロゴ", "Logo.Visible"},
    };
    for (const auto& t : toggles) {
        QAction* a = view->addAction(QString::fromUtf8(t.title));
        a->setCheckable(true);
        const QString flag = QString::fromLatin1(t.flag);
        a->setChecked(m_core.ExecCommand(QStringLiteral("? ") + flag) == u"TRUE");
        connect(a, &QAction::toggled, this, [this, flag](bool on) {
            command(flag + (on ? QStringLiteral(" = TRUE; Show Sky") : QStringLiteral(" = FALSE; Show Sky")));
        });
    }
    m_pFavorites = menuBar()->addMenu(QStringLiteral("お気に入り(&A)"));
    connect(m_pFavorites, &QMenu::aboutToShow, this, [this] {
        m_pFavorites->clear();
        m_pFavorites->addAction(QStringLiteral("お気に入りに追加(&A)..."), this, [this] { AddFavorite(); });
        m_pFavorites->addAction(QStringLiteral("お気に入りの整理(&O)..."), this, [this] { OrganizeFavorites(); });
        m_pFavorites->addSeparator();
        fillFavoritesMenu(m_pFavorites, m_folders.FavoritesRoot());
    });
    QMenu* time = menuBar()->addMenu(QStringLiteral("時刻(&T)"));
    const struct { const char* title; double days; } steps[] = {
        {"1時間戻す", -1.0 / 24}, {"1時間進める", 1.0 / 24}, {"1日進める", 1.0}, {"1か月進める", 30.0}};
    for (const auto& s : steps)
        time->addAction(QString::fromUtf8(s.title), this, [this, days = s.days] {
            const double jd = m_core.ExecCommand(QStringLiteral("? time.jd")).toDouble();
            command(QStringLiteral("time.jd = %1; Show Sky").arg(jd + days, 0, 'f', 6));
        });

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addAction(QStringLiteral("ヘルプ(&H)"), this, [this] {
        platform::SendMessage(this, platform::WM_COMMAND, ID_HELP, 0);
    });
    help->addAction(QStringLiteral("バージョン情報(&A)"), this, [this] {
        const ZvnModuleInfo info = GetModuleInfo();
        platform::MessageBox(this, QStringLiteral("%1 %2\n%3").arg(info.name, info.version, info.description),
                             platform::MB_OK | platform::MB_ICONASTERISK);
    });
}

int CHostWindow::OpenProgramDialog(const std::function<void(CDlgProgram&)>& whileOpen)
{
    CDlgProgram dialog(m_folders.SystemProgramList(), m_folders.UserProgramList(), &m_core, this);
    dialog.SetProgNum(m_nProgNum);
    dialog.SetScrlPos(m_nScrlPos);
    if (whileOpen)
        QTimer::singleShot(0, &dialog, [&] { whileOpen(dialog); });
    const int result = dialog.DoModal();
    m_nProgNum = dialog.GetProgNum();
    m_nScrlPos = dialog.GetScrlPos();
    if (result == 1) {
        const QString scene = QDir::cleanPath(dialog.GetZsfActualPath());
        const int seconds = dialog.GetPlayTime();
        m_pProgram->setText(QStringLiteral("番組: %1（%2、%3分%4秒）  %5")
                                .arg(dialog.GetProgTitle(), dialog.GetProgType())
                                .arg(seconds / 60)
                                .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                                .arg(scene));
        // the show itself is the core's; the simulated one starts it as far as it can: with its scene's sky
        m_core.ExecCommand(QStringLiteral("Load Scene,%1; Show Sky").arg(quoted(scene)));
        const QString error = m_core.ExecCommand(QStringLiteral("? System.Error"));
        if (!error.isEmpty())
            statusBar()->showMessage(error, 5000);
    }
    return result;
}

QString CHostWindow::ChosenProgram() const { return m_pProgram->text(); }

int CHostWindow::SignIn(const std::function<void(CDlgCloudLogin&)>& whileOpen)
{
    // a new account object: the one before it closes its connection with it
    m_account = std::make_unique<CDlgCloudLogin>(this);
    if (m_account->CheckValidAccessToken() == 1) {
        statusBar()->showMessage(QStringLiteral("ゼントクラウドにログインしています: %1").arg(m_account->GetDispUserName()));
        return 1;
    }
    if (whileOpen)
        QTimer::singleShot(0, m_account.get(), [this, whileOpen] { whileOpen(*m_account); });
    const int result = m_account->DoModal();
    if (result == 1)
        statusBar()->showMessage(QStringLiteral("ゼントクラウドにログインしました: %1").arg(m_account->GetDispUserName()));
    return result;
}

void CHostWindow::tourSignIn(CTour& tour)
{
    const int result = SignIn([&](CDlgCloudLogin& dialog) {
        tour.Step(QStringLiteral("login: sign-in dialog -> %1").arg(tour.Screenshot(&dialog, QStringLiteral("login"))));
        qobject_cast<QLineEdit*>(dialog.GetDlgItem(1043))->setText(QStringLiteral("tour@example.org"));
        qobject_cast<QLineEdit*>(dialog.GetDlgItem(1044))->setText(QStringLiteral("hoshizora"));
        qobject_cast<QLineEdit*>(dialog.GetDlgItem(1045))->setText(QStringLiteral("星野 すばる"));
        tour.Step(QStringLiteral("login: filled in -> %1").arg(tour.Screenshot(&dialog, QStringLiteral("login-filled"))));
        dialog.DispatchCommand(0, 1);  // OK
        // a sign-in that failed has said why; the tour goes on without the account
        if (dialog.isVisible()) {
            tour.Step(QStringLiteral("login: the sign-in failed, cancelled"));
            dialog.OnCancel();
        }
    });
    tour.Step(QStringLiteral("login: %1; signed in as %2, token %3")
                  .arg(result == 1 ? QStringLiteral("the stored tokens hold or the sign-in succeeded") : QStringLiteral("not signed in"))
                  .arg(m_account ? m_account->GetDispUserName() : QString())
                  .arg(m_account && !m_account->GetAccessToken().isEmpty() ? QStringLiteral("received") : QStringLiteral("none")));
}

void CHostWindow::tourProgram(CTour& tour)
{
    const int result = OpenProgramDialog([&](CDlgProgram& dialog) {
        tour.Step(QStringLiteral("program: dialog shows %1 programs, the date %2 -> %3")
                      .arg(dialog.Programs().size())
                      .arg(dialog.GetDateText(), tour.Screenshot(&dialog, QStringLiteral("program"))));
        // by the keyboard alone: the list has the focus; two steps down to the third program, Enter opens it
        tour.Press(&dialog, Qt::Key_Down);
        tour.Press(&dialog, Qt::Key_Down);
        tour.Step(QStringLiteral("program: keys Down Down, the focus on \"%1\", selected \"%2\" -> %3")
                      .arg(dialog.focusWidget() ? dialog.focusWidget()->accessibleName() : QString(), dialog.GetProgTitle(),
                           tour.Screenshot(&dialog, QStringLiteral("program-selected"))));
        tour.Press(&dialog, Qt::Key_Return);
    });
    tour.Step(QStringLiteral("program: dialog closed with %1; %2").arg(result).arg(ChosenProgram()));
    tour.Step(QStringLiteral("program: main window -> %1").arg(tour.Screenshot(this, QStringLiteral("program-chosen"))));
}

bool CHostWindow::RunFeature(const QString& key)
{
    for (const Feature& f : m_features)
        if (f.key == key && f.run) {
            f.run();
            return true;
        }
    return false;
}

QString CHostWindow::HelpDocument() const
{
    // the page of the feature whose dialog is in front; the window's own menu asks for the contents
    static const struct { const char* dialog; const char* page; } pages[] = {
        {"CDlgProgram", "program"},         {"CDlgContentsLibrary", "library"},
        {"CDlgContentsLibraryDownload", "library"}, {"CDlgCloudLogin", "login"},
        {"CDlgCloudUpload", "share"},       {"CDlgCloudResult", "share"},
        {"CDlgCloudError", "share"},        {"CDlgAddFavorites", "favorites"},
        {"CDlgFavorites", "favorites"},
    };
    QString page = QStringLiteral("index");
    if (const QWidget* front = QApplication::activeModalWidget())
        for (const auto& p : pages)
            if (front->inherits(p.dialog))
                page = QString::fromLatin1(p.page);
    // installed beside the program as share/zvnhost/help, in the build tree as in a system
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zvnhost/help/%1.html").arg(page));
}

bool CHostWindow::event(QEvent* e)
{
    if (e->type() != platform::WindowMessageEvent::eventType())
        return QMainWindow::event(e);
    auto* message = static_cast<platform::WindowMessageEvent*>(e);
    switch (message->message()) {
    case WM_PRGZSFNOTFOUND: {
        // the kind's name and its short name; the two texts live for the duration of the call only
        const auto* kind = reinterpret_cast<const QString*>(message->wParam());
        const auto* shortKind = reinterpret_cast<const QString*>(message->lParam());
        const QString name = kind ? *kind : QString();
        platform::MessageBox(this,
                             QStringLiteral("「%1」のシーンファイルが見つかりません。\n%2を起動できません。番組を再インストールしてください。")
                                 .arg(name, shortKind && !shortKind->isEmpty() ? *shortKind : name),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return true;
    }
    case WM_PRGCANCELLED:
        statusBar()->showMessage(QStringLiteral("番組の選択を取り消しました。"), 5000);
        return true;
    case WM_PRGLISTCHANGED:
        statusBar()->showMessage(QStringLiteral("番組リストが更新されました。"), 5000);
        emit programListChanged();
        return true;
    case platform::WM_COMMAND:
        if ((message->wParam() & 0xFFFF) == ID_HELP) {
            // a desktop with no browser opens nothing: the user is told so, over the window in front
            const QString page = HelpDocument();
            if (platform::ShellExecute(this, QStringLiteral("Open"), page) <= 32) {
                QWidget* front = QApplication::activeModalWidget();
                platform::MessageBox(front ? front : this,
                                     QStringLiteral("ヘルプを表示できません。\nヘルプのページを開くブラウザが見つかりませんでした。\n%1").arg(page),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
            }
            return true;
        }
        return false;
    default:
        return false;
    }
}

// ---- favourites ------------------------------------------------------------------

void CHostWindow::fillFavoritesMenu(QMenu* menu, const QString& folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                                            QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir())
            fillFavoritesMenu(menu->addMenu(entry.fileName()), entry.filePath());
        else if (entry.suffix().compare(u"zsf", Qt::CaseInsensitive) == 0)
            menu->addAction(entry.completeBaseName(), this, [this, path = entry.filePath()] { OpenFavorite(path); });
    }
}

QString CHostWindow::AddFavorite(const std::function<void(CDlgAddFavorites&)>& whileOpen)
{
    CDlgAddFavorites dialog(&m_core, m_folders.FavoritesRoot(), this);
    // the running number counts the scenes already kept
    int scenes = 0;
    for (QDirIterator it(m_folders.FavoritesRoot(), {QStringLiteral("*.zsf")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++scenes;
    dialog.SetFavoritesIndex(scenes + 1);
    if (whileOpen)
        QTimer::singleShot(0, &dialog, [&] { whileOpen(dialog); });
    if (dialog.DoModal() != 1)
        return {};
    // a folder that went away meanwhile: the scene goes to the root
    const QString folder = dialog.GetPath().isEmpty() ? m_folders.FavoritesRoot() : dialog.GetPath();
    const QString scene = folder + dialog.GetName() + QStringLiteral(".zsf");
    m_core.ExecCommand(QStringLiteral("Save Scene,%1,%2").arg(quoted(scene), quoted(dialog.GetDescription())));
    const QString error = m_core.ExecCommand(QStringLiteral("? System.Error"));
    if (!error.isEmpty()) {
        platform::MessageBox(this, error, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return {};
    }
    statusBar()->showMessage(QStringLiteral("お気に入りに追加しました: %1").arg(scene), 5000);
    return scene;
}

int CHostWindow::OrganizeFavorites(const std::function<void(CDlgFavorites&)>& whileOpen)
{
    CDlgFavorites dialog(&m_core, m_folders.FavoritesRoot(), this);
    if (whileOpen)
        QTimer::singleShot(0, &dialog, [&] { whileOpen(dialog); });
    return dialog.DoModal();
}

bool CHostWindow::OpenFavorite(const QString& scene)
{
    m_core.ExecCommand(QStringLiteral("Load Scene,%1; Show Sky").arg(quoted(scene)));
    const QString error = m_core.ExecCommand(QStringLiteral("? System.Error"));
    if (!error.isEmpty()) {
        platform::MessageBox(this, error, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    statusBar()->showMessage(QStringLiteral("お気に入り: %1").arg(QFileInfo(scene).completeBaseName()));
    return true;
}

QString CHostWindow::saveScene()
{
    // the core writes the current view as a scene file, as it does for a favourite
    const QString path = platform::GetTempPath() + QStringLiteral("zvnhost-share.zsf");
    m_core.ExecCommand(QStringLiteral("Save Scene,%1,\"共有した星図\"").arg(quoted(path)));
    return m_core.ExecCommand(QStringLiteral("? System.Error")).isEmpty() ? path : QString();
}

int CHostWindow::Share(const std::function<void(CDlgCloudUpload&)>& whileOpen,
                       const std::function<void(CDlgCloudLogin&)>& whileSigningIn)
{
    if (SignIn(whileSigningIn) != 1)
        return 0;
    const QString scene = saveScene();
    CDlgCloudUpload dialog(&m_core, m_account->GetZentoCloudConnection(), CDlgCloudLogin::DefaultUrlBase(), 0, 0,
                           m_account->GetAccessToken(), m_account->GetAccessTokenSecret(), scene, this);
    if (whileOpen)
        QTimer::singleShot(0, &dialog, [&] { whileOpen(dialog); });
    const int result = dialog.DoModal();
    QFile::remove(scene);
    // a sign-out ends the dialog with 1 as a share does: the tokens it erased tell the two apart
    QString token;
    CRegistry::Read(QStringLiteral("General\\Authentication"), QStringLiteral("AccessToken"), QString(), token);
    statusBar()->showMessage(result != 1        ? QStringLiteral("共有しませんでした。")
                             : token.isEmpty() ? QStringLiteral("ゼントクラウドからログアウトしました。")
                                               : QStringLiteral("星図を共有しました。"));
    return result;
}

void CHostWindow::tourShare(CTour& tour)
{
    // the tour opens no browser or mail: it says what it would have opened
    const platform::ShellHandler previous = platform::SetShellHandler(
        [&tour](QWidget*, const QString& verb, const QString& file, const QString&, const QString&, int) {
            tour.Step(QStringLiteral("share: the desktop is asked to %1 %2").arg(verb, file));
            return qintptr(42);
        });
    tourSignIn(tour);
    // the tokens the tour's sign-in left hold; should they not, the sign-in is cancelled, not left waiting
    const auto cancelSignIn = [&tour](CDlgCloudLogin& dialog) {
        tour.Step(QStringLiteral("share: not signed in, the sign-in dialog cancelled"));
        dialog.OnCancel();
    };
    const auto shareOnce = [&](const QString& name, bool post) {
        return Share([&, name, post](CDlgCloudUpload& dialog) {
            tour.Step(QStringLiteral("share: dialog with the chart -> %1").arg(tour.Screenshot(&dialog, name)));
            if (!post) {
                dialog.OnCancel();
                return;
            }
            // the pasted images published, whatever the last share stored
            auto* images = qobject_cast<QCheckBox*>(dialog.GetDlgItem(2044));
            if (!images->isChecked())
                images->click();
            tour.Step(QStringLiteral("share: pasted images published -> %1")
                          .arg(tour.Screenshot(&dialog, name + QStringLiteral("-pasted-images"))));
            qobject_cast<QTextEdit*>(dialog.GetDlgItem(2040))->setPlainText(QStringLiteral("冬の大三角とオリオン座。"));
            // the result or error dialog comes up inside OK: the tour looks at it, then chooses the browser or closes it
            QTimer::singleShot(0, this, [&tour] {
                // the two dialogs are the module's own: a host knows them by their class names
                auto* shown = qobject_cast<CZntDialog*>(QApplication::activeModalWidget());
                if (shown && shown->inherits("CDlgCloudResult")) {
                    tour.Step(QStringLiteral("share: result dialog -> %1").arg(tour.Screenshot(shown, QStringLiteral("share-result"))));
                    shown->DispatchCommand(0, 1064);
                } else if (shown && shown->inherits("CDlgCloudError")) {
                    tour.Step(QStringLiteral("share: error dialog -> %1").arg(tour.Screenshot(shown, QStringLiteral("share-error"))));
                    shown->DispatchCommand(0, 2);
                }
            });
            dialog.DispatchCommand(0, 1);  // OK
            if (dialog.isVisible()) {
                tour.Step(QStringLiteral("share: the service refused it, cancelled"));
                dialog.OnCancel();
            }
        }, cancelSignIn);
    };
    const int shared = shareOnce(QStringLiteral("share"), true);
    tour.Step(QStringLiteral("share: %1").arg(shared == 1 ? QStringLiteral("shared") : QStringLiteral("not shared")));
    m_core.ExecCommand(QStringLiteral("deepskyimage.visible = FALSE; Show Sky"));
    shareOnce(QStringLiteral("share-no-pasted-images"), false);
    m_core.ExecCommand(QStringLiteral("deepskyimage.visible = TRUE; Show Sky"));
    platform::SetShellHandler(previous);
}
