// The favourites in the tour: two favourites (the second in a new folder),
// then organising them (rename, move, delete to the trash), then reopening
// the one that is left and showing the sky it restored.
#include "favorites/DlgAddFavorites.h"
#include "favorites/DlgFavorites.h"
#include "host/app/HostWindow.h"
#include "host/app/Tour.h"
#include "host/core/SimulatedCore.h"
#include "support/zvncst/FolderBrowser.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

// types a name into the tree's edit in place and presses Enter, as the user would
void typeInPlace(QWidget* tree, const QString& name)
{
    QApplication::processEvents();
    auto* editor = tree->findChild<QLineEdit*>();
    if (!editor)
        return;
    editor->setText(name);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents();  // the edit closes, then the rename runs
    QApplication::processEvents();
}

// While it lives, deletions go to a trash inside the given folder, never the
// user's own: the freedesktop trash is $XDG_DATA_HOME/Trash for what lies on
// the home's file system, so both point into the folder.
class TourTrash {
public:
    explicit TourTrash(const QString& folder)
        : m_folder(folder), m_home(qgetenv("HOME")), m_data(qgetenv("XDG_DATA_HOME")), m_hadData(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        QDir().mkpath(folder);
        qputenv("HOME", QFile::encodeName(folder));
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder));
    }
    ~TourTrash()
    {
        qputenv("HOME", m_home);
        if (m_hadData)
            qputenv("XDG_DATA_HOME", m_data);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    TourTrash(const TourTrash&) = delete;
    TourTrash& operator=(const TourTrash&) = delete;
    QString Files() const { return m_folder + QStringLiteral("/Trash/files"); }

private:
    QString m_folder;
    QByteArray m_home, m_data;
    bool m_hadData;
};

}  // namespace

void CHostWindow::tourFavorites(CTour& tour)
{
    const QString first = AddFavorite([&](CDlgAddFavorites& dialog) {
        tour.Step(QStringLiteral("favorites: add dialog, folded, height %1, name \"%2\" -> %3")
                      .arg(dialog.height())
                      .arg(dialog.GetDlgItemText(1008), tour.Screenshot(&dialog, QStringLiteral("favorites-add"))));
        dialog.SetDlgItemText(1009, QStringLiteral("冬の大三角\nオリオン座が南の空に"));
        dialog.DispatchCommand(0, 1);
    });
    tour.Step(QStringLiteral("favorites: saved %1").arg(first));

    // another sky: a month on, looking east with the grid on
    m_core.ExecCommand(QStringLiteral("time.month = 2; view.center.position.horizon.azimuth = 90; "
                                      "CoordinatesLine.AltAzmthGrid.visible = TRUE; Show Sky"));
    QString folder;
    const QString second = AddFavorite([&](CDlgAddFavorites& dialog) {
        if (dialog.GetDlgItem(1010)->isEnabled() == false)
            dialog.DispatchCommand(0, 1011);  // unfold the folder part
        tour.Step(QStringLiteral("favorites: folder part shown, height %1").arg(dialog.height()));
        dialog.DispatchCommand(0, 1012);      // a new folder, named in place
        folder = QStringLiteral("冬の星座 %1").arg(QDateTime::currentDateTime().toString(QStringLiteral("HHmmss")));
        tour.Step(QStringLiteral("favorites: new folder, its name edited in place -> %1")
                      .arg(tour.Screenshot(&dialog, QStringLiteral("favorites-add-newfolder"))));
        typeInPlace(dialog.GetDlgItem(1010), folder);
        dialog.SetDlgItemText(1009, QStringLiteral("二月の東の空\n地平座標グリッド付き"));
        tour.Step(QStringLiteral("favorites: in folder \"%1\" -> %2")
                      .arg(folder, tour.Screenshot(&dialog, QStringLiteral("favorites-add-unfolded"))));
        dialog.DispatchCommand(0, 1);
    });
    tour.Step(QStringLiteral("favorites: saved %1").arg(second));
    if (first.isEmpty() || second.isEmpty())
        return;

    const QString folderPath = QFileInfo(second).absolutePath();
    const QString renamed = QStringLiteral("オリオンと冬の大三角 %1").arg(QFileInfo(first).completeBaseName());
    const auto previous = CFolderBrowser::SetHandler([&](QWidget* owner, const QString& root, const QString& start,
                                                         const QString& title, unsigned) {
        return CFolderBrowser::ShowWindow(owner, root, start, title, [&](QWidget& window) {
            auto* tree = window.findChild<QTreeWidget*>();
            const auto found = tree->findItems(folder, Qt::MatchExactly | Qt::MatchRecursive);
            if (!found.isEmpty())
                tree->setCurrentItem(found.first());
            tour.Step(QStringLiteral("favorites: folder chooser -> %1").arg(tour.Screenshot(&window, QStringLiteral("favorites-move"))));
            QMetaObject::invokeMethod(&window, "accept");
        });
    });
    OrganizeFavorites([&](CDlgFavorites& dialog) {
        CZntTreeCtrlEx& tree = dialog.Tree();
        tour.Step(QStringLiteral("favorites: organise dialog -> %1").arg(tour.Screenshot(&dialog, QStringLiteral("favorites-organize"))));
        tree.SelectItem(tree.FindItem(second));
        tour.Step(QStringLiteral("favorites: a scene selected, its description \"%1\" -> %2")
                      .arg(dialog.GetDlgItemText(1005).replace(u'\n', QStringLiteral("\\n")),
                           tour.Screenshot(&dialog, QStringLiteral("favorites-organize-scene"))));
        tree.SelectItem(tree.FindItem(first));
        dialog.DispatchCommand(0, 1002);  // rename, in place
        typeInPlace(tree.GetWnd(), renamed);
        const QString firstRenamed = QFileInfo(first).absolutePath() + u'/' + renamed + QStringLiteral(".zsf");
        tour.Step(QStringLiteral("favorites: renamed to %1 (%2)").arg(renamed, QFileInfo::exists(firstRenamed) ? QStringLiteral("on disk") : QStringLiteral("missing")));
        dialog.DispatchCommand(0, 1003);  // move to the new folder
        const QString moved = folderPath + u'/' + renamed + QStringLiteral(".zsf");
        tour.Step(QStringLiteral("favorites: moved to %1 (%2) -> %3")
                      .arg(folder, QFileInfo::exists(moved) ? QStringLiteral("on disk") : QStringLiteral("missing"),
                           tour.Screenshot(&dialog, QStringLiteral("favorites-organize-moved"))));
        tree.SelectItem(tree.FindItem(second));
        const TourTrash trash(m_folders.Root() + QStringLiteral("/tour-trash"));
        dialog.DispatchCommand(0, 1004);  // delete: to the trash
        tour.Step(QStringLiteral("favorites: deleted %1 (%2) -> %3")
                      .arg(QFileInfo(second).completeBaseName(),
                           !QDir(trash.Files()).entryList({QFileInfo(second).completeBaseName() + u'*'}, QDir::Files).isEmpty()
                               ? QStringLiteral("in the tour's own trash, %1").arg(trash.Files())
                               : QStringLiteral("not in the tour's trash"),
                           tour.Screenshot(&dialog, QStringLiteral("favorites-organize-deleted"))));
        dialog.DispatchCommand(0, 1);
    });
    CFolderBrowser::SetHandler(previous);

    // the favourites menu lists what is left; its entry reopens the first sky
    m_core.ExecCommand(QStringLiteral("time.month = 8; Show Sky"));
    QMetaObject::invokeMethod(m_pFavorites, "aboutToShow");
    for (QAction* action : m_pFavorites->findChildren<QAction*>())
        if (action->text() == renamed)
            action->trigger();
    tour.Step(QStringLiteral("favorites: reopened \"%1\": %2, azimuth %3, grid %4 -> %5")
                  .arg(renamed, m_core.ExecCommand(QStringLiteral("? LST(time)")),
                       m_core.ExecCommand(QStringLiteral("? view.center.position.horizon.azimuth")),
                       m_core.ExecCommand(QStringLiteral("? CoordinatesLine.AltAzmthGrid.visible")),
                       tour.Screenshot(this, QStringLiteral("favorites-reopened"))));
}
