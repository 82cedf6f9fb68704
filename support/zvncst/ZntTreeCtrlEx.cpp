#include "support/zvncst/ZntTreeCtrlEx.h"

#include "platform/MessageBox.h"
#include "support/zvncst/FolderTreeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

using namespace platform;

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFileRole = Qt::UserRole + 1;

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// every path under the folder, in the order the tree lists them, so a change on disk is seen by comparing
void collect(const QTreeWidgetItem* item, QStringList& out)
{
    out.append(item->data(0, kPathRole).toString());
    for (int i = 0; i < item->childCount(); ++i)
        collect(item->child(i), out);
}

}  // namespace

CZntTreeCtrlEx::CZntTreeCtrlEx() = default;
CZntTreeCtrlEx::~CZntTreeCtrlEx() = default;

void CZntTreeCtrlEx::Skin(bool) { AttachTree(qobject_cast<QTreeWidget*>(GetWnd())); }

void CZntTreeCtrlEx::AttachTree(QTreeWidget* tree)
{
    m_pTree = tree;
    if (!m_pTree)
        return;
    // names are edited in place only when Rename or NewFolder asks
    m_pTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_pTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        // after the edit has closed: the rename lists the tree anew
        if (!m_bFilling)
            QTimer::singleShot(0, this, [this, path = GetFullPathNameW(item), name = item->text(0)] {
                RenameItem(FindItem(path), name);
            });
    });
}

void CZntTreeCtrlEx::Init(const QString& extension)
{
    m_strExt = extension.startsWith(u'.') ? extension.mid(1) : extension;
}

QTreeWidget* CZntTreeCtrlEx::Tree() const { return m_pTree.data(); }

int CZntTreeCtrlEx::SetDirectory(const QString& root)
{
    QString folder = root;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    m_strRoot = folder;
    if (!m_pTree)
        return 0;
    m_pTree->clear();
    if (!QFileInfo(folder).isDir())
        return 0;
    refresh();
    return 1;
}

QString CZntTreeCtrlEx::displayName(const QString& fileName, bool file) const
{
    // a scene is shown by its name; the extension stays on disk
    return file ? fileName.left(fileName.size() - m_strExt.size() - 1) : fileName;
}

void CZntTreeCtrlEx::fill(QTreeWidgetItem* parent, const QString& folder)
{
    const QIcon folderIcon = m_pTree->style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = m_pTree->style()->standardIcon(QStyle::SP_FileIcon);
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot,
                                                            QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const bool file = !entry.isDir();
        if (file && (m_strExt.isEmpty() || entry.suffix().compare(m_strExt, Qt::CaseInsensitive) != 0 || entry.fileName().size() <= m_strExt.size() + 1))
            continue;
        if (entry.isSymLink() && !foldertree::IsInside(m_strRoot, entry.filePath()))
            continue;  // a link that leads out of the root
        auto* item = new QTreeWidgetItem(parent, {displayName(entry.fileName(), file)});
        item->setData(0, kPathRole, entry.filePath());
        item->setData(0, kFileRole, file);
        item->setIcon(0, file ? fileIcon : folderIcon);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (!file && !entry.isSymLink())  // a link inside the root is shown, never entered: no loops
            fill(item, entry.filePath());
    }
}

void CZntTreeCtrlEx::refresh()
{
    if (!m_pTree || m_strRoot.isEmpty())
        return;
    // the root's label, the open folders and the selection survive a new listing
    QTreeWidgetItem* oldRoot = GetRootItem();
    const QString rootLabel = oldRoot ? oldRoot->text(0) : QFileInfo(m_strRoot).fileName();
    const QString selected = GetFullPathNameW(GetSelectedItem());
    QStringList expanded, before;
    if (oldRoot) {
        collect(oldRoot, before);
        for (const QString& path : before)
            if (QTreeWidgetItem* item = FindItem(path); item && item->isExpanded())
                expanded.append(path);
    }

    QTreeWidgetItem root({rootLabel});
    root.setData(0, kPathRole, m_strRoot);
    root.setData(0, kFileRole, false);
    m_bFilling = true;
    fill(&root, m_strRoot);
    QStringList after;
    collect(&root, after);
    if (oldRoot && after == before) {
        m_bFilling = false;
        return;  // nothing changed: an edit in place goes on undisturbed
    }
    m_pTree->clear();
    auto* top = new QTreeWidgetItem(m_pTree.data(), {rootLabel});
    top->setData(0, kPathRole, m_strRoot);
    top->setData(0, kFileRole, false);
    top->setIcon(0, m_pTree->style()->standardIcon(QStyle::SP_DirIcon));
    top->addChildren(root.takeChildren());
    top->setExpanded(true);
    for (const QString& path : expanded)
        if (QTreeWidgetItem* item = FindItem(path))
            item->setExpanded(true);
    m_bFilling = false;
    // the selection stays on its item, or moves to the nearest folder still there
    QString keep = selected;
    while (!keep.isEmpty() && !FindItem(keep) && keep != m_strRoot)
        keep = folderOf(keep);
    if (!selected.isEmpty())
        SelectItem(FindItem(keep) ? FindItem(keep) : top);

    // watch every folder listed, so the tree follows changes made on disk; the
    // one watcher is kept and its folders changed, since this may run from its
    // own signal, which it goes on sending for the other folders of one read
    if (!m_pWatcher) {
        m_pWatcher = std::make_unique<QFileSystemWatcher>();
        connect(m_pWatcher.get(), &QFileSystemWatcher::directoryChanged, this, [this] { refresh(); });
    }
    QSet<QString> folders;
    for (const QString& path : after)
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            folders.insert(path);
    const QStringList watched = m_pWatcher->directories();
    QStringList gone;
    for (const QString& path : watched)
        if (!folders.remove(path))
            gone.append(path);
    if (!gone.isEmpty())
        m_pWatcher->removePaths(gone);
    if (!folders.isEmpty())
        m_pWatcher->addPaths(folders.values());
}

QTreeWidgetItem* CZntTreeCtrlEx::GetRootItem() const { return m_pTree ? m_pTree->topLevelItem(0) : nullptr; }

QTreeWidgetItem* CZntTreeCtrlEx::GetSelectedItem() const { return m_pTree ? m_pTree->currentItem() : nullptr; }

void CZntTreeCtrlEx::SelectItem(QTreeWidgetItem* item)
{
    if (!m_pTree || !item)
        return;
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    m_pTree->setCurrentItem(item);
    m_pTree->scrollToItem(item);
}

void CZntTreeCtrlEx::SetItemText(QTreeWidgetItem* item, const QString& text)
{
    if (!item)
        return;
    m_bFilling = true;
    item->setText(0, text);
    m_bFilling = false;
}

QTreeWidgetItem* CZntTreeCtrlEx::FindItem(const QString& path) const
{
    QTreeWidgetItem* root = GetRootItem();
    if (!root)
        return nullptr;
    QList<QTreeWidgetItem*> pending{root};
    while (!pending.isEmpty()) {
        QTreeWidgetItem* item = pending.takeFirst();
        if (item->data(0, kPathRole).toString() == path)
            return item;
        for (int i = 0; i < item->childCount(); ++i)
            pending.append(item->child(i));
    }
    return nullptr;
}

QString CZntTreeCtrlEx::GetFullPathNameW(QTreeWidgetItem* item) const
{
    return item ? item->data(0, kPathRole).toString() : QString();
}

bool CZntTreeCtrlEx::isFile(QTreeWidgetItem* item) const { return item && item->data(0, kFileRole).toBool(); }

int CZntTreeCtrlEx::IsThisExtSelected(const QString& extension) const
{
    QTreeWidgetItem* item = GetSelectedItem();
    const QString ext = extension.startsWith(u'.') ? extension.mid(1) : extension;
    return isFile(item) && QFileInfo(GetFullPathNameW(item)).suffix().compare(ext, Qt::CaseInsensitive) == 0 ? 1 : 0;
}

void CZntTreeCtrlEx::edit(QTreeWidgetItem* item)
{
    if (!m_pTree || !item)
        return;
    SelectItem(item);
    m_pTree->editItem(item, 0);
}

int CZntTreeCtrlEx::NewFolder()
{
    QTreeWidgetItem* selected = GetSelectedItem();
    QString parent = selected ? GetFullPathNameW(selected) : m_strRoot;
    if (isFile(selected))
        parent = folderOf(parent);
    if (parent.isEmpty() || !foldertree::IsInside(m_strRoot, parent))
        return 0;
    const QString path = QDir(parent).filePath(foldertree::NewFolderName(parent));
    if (!QDir().mkdir(path)) {
        MessageBox(owner(), QStringLiteral("フォルダを作成できません。\n%1").arg(path), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    refresh();
    edit(FindItem(path));
    return 1;
}

int CZntTreeCtrlEx::Rename()
{
    QTreeWidgetItem* item = GetSelectedItem();
    if (!item || item == GetRootItem())
        return 0;
    edit(item);
    return 1;
}

int CZntTreeCtrlEx::RenameItem(QTreeWidgetItem* item, const QString& name)
{
    if (!item || item == GetRootItem())
        return 0;
    const QString from = GetFullPathNameW(item);
    const bool file = isFile(item);
    const QString oldName = displayName(QFileInfo(from).fileName(), file);
    const auto refuse = [&](const QString& text) {
        SetItemText(item, oldName);
        MessageBox(owner(), text, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    };
    if (name == oldName)
        return 0;
    const QString suffix = file ? QStringLiteral(".") + QFileInfo(from).suffix() : QString();
    switch (foldertree::CheckName(name, suffix)) {
    case foldertree::NameCheck::Empty:
        return refuse(foldertree::EmptyNameMessage());
    case foldertree::NameCheck::ForbiddenCharacter:
    case foldertree::NameCheck::Unusable:
        return refuse(foldertree::ForbiddenCharactersMessage());
    case foldertree::NameCheck::Ok:
        break;
    }
    const QString target = folderOf(from) + u'/' + name + suffix;
    switch (foldertree::Move(m_strRoot, from, target)) {
    case foldertree::MoveResult::Moved:
        break;
    case foldertree::MoveResult::Exists:
        return refuse(foldertree::ExistsMessage(target));
    default:
        return refuse(QStringLiteral("「%1」の名前を変更できません。").arg(oldName));
    }
    refresh();
    SelectItem(FindItem(target));
    return 1;
}

int CZntTreeCtrlEx::Delete()
{
    QTreeWidgetItem* item = GetSelectedItem();
    if (!item || item == GetRootItem())
        return 0;
    const QString path = GetFullPathNameW(item);
    const QString name = item->text(0);
    if (MessageBox(owner(), QStringLiteral("「%1」をごみ箱に移動しますか?").arg(name), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    bool gone = false;
    switch (foldertree::MoveToTrash(m_strRoot, path)) {
    case foldertree::TrashResult::Trashed:
        gone = true;
        break;
    case foldertree::TrashResult::Refused:
        // another file system without a trash, say: deleting for good is the user's own choice
        if (MessageBox(owner(), QStringLiteral("「%1」をごみ箱に移動できません。\n完全に削除しますか?").arg(name),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return 0;
        gone = foldertree::DeleteForGood(m_strRoot, path);
        break;
    case foldertree::TrashResult::Outside:
        break;
    }
    if (!gone) {
        MessageBox(owner(), QStringLiteral("「%1」を削除できません。").arg(name), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    refresh();
    return 1;
}

int CZntTreeCtrlEx::MoveTo(const QString& folder)
{
    QTreeWidgetItem* item = GetSelectedItem();
    if (!item || item == GetRootItem() || folder.isEmpty())
        return 0;
    const QString from = GetFullPathNameW(item);
    if (QFileInfo(folder).canonicalFilePath() == QFileInfo(folderOf(from)).canonicalFilePath())
        return 0;  // already there
    const QString target = QDir(folder).filePath(QFileInfo(from).fileName());
    switch (foldertree::Move(m_strRoot, from, target)) {
    case foldertree::MoveResult::Moved:
        refresh();
        SelectItem(FindItem(target));
        return 1;
    case foldertree::MoveResult::Exists:
        MessageBox(owner(), foldertree::ExistsMessage(target), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    case foldertree::MoveResult::IntoItself:
        MessageBox(owner(), QStringLiteral("フォルダをそれ自身の中へは移動できません。"), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    default:
        MessageBox(owner(), QStringLiteral("「%1」を移動できません。").arg(item->text(0)), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
}

QWidget* CZntTreeCtrlEx::owner() const { return m_pTree ? m_pTree->window() : nullptr; }
