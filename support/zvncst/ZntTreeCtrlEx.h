#pragma once
/// \file
/// The tree of the folders under a root and the files of one extension in
/// them, attached to a tree of the template. Creating, renaming, moving and
/// deleting act on disk at once; the tree follows what changes on disk while
/// it is shown. Nothing outside the root is shown or touched, and links that
/// lead out of it are not followed.
#include "support/zvncst/ZntControl.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QFileSystemWatcher;
class QTreeWidget;
class QTreeWidgetItem;

/// The folder tree of the favourites. Every action answers 1 when it was
/// done and 0 when it was not (nothing selected, the root selected, the user
/// declined, or a failure it said in a message box).
class CZntTreeCtrlEx : public QObject, public CZntControl {
    Q_OBJECT
public:
    /// No tree attached yet; folders only until Init() names an extension.
    CZntTreeCtrlEx();
    /// Stops watching the disk.
    ~CZntTreeCtrlEx() override;

    void Init(const QString& extension);  ///< "zsf": the files shown; empty: folders only
    void AttachTree(QTreeWidget* tree);    ///< a tree outside any template (the folder chooser's)
    int SetDirectory(const QString& root);  ///< lists the root anew; 0 when it is no folder

    /// The attached tree, null before one is attached or once its window is gone.
    QTreeWidget* Tree() const;
    QTreeWidgetItem* GetRootItem() const;      ///< the first root item: the root folder itself
    /// The selected item, null when none.
    QTreeWidgetItem* GetSelectedItem() const;
    /// Selects the item, opening the folders above it and scrolling it into view.
    void SelectItem(QTreeWidgetItem* item);
    void SetItemText(QTreeWidgetItem* item, const QString& text);  ///< the label only; nothing on disk
    /// The item of the file or folder `path` (as GetFullPathNameW() gives it), null when none.
    QTreeWidgetItem* FindItem(const QString& path) const;

    QString GetFullPathNameW(QTreeWidgetItem* item) const;  ///< folders without a trailing "/"
    int IsThisExtSelected(const QString& extension) const;  ///< ".zsf": 1 when a file of it is selected

    /// A folder "新しいフォルダー" (numbered when taken) in the selected folder, or
    /// beside the selected file; then its name is edited in place.
    int NewFolder();
    int Rename();  ///< the selected item's name is edited in place; the edit decides
    int Delete();  ///< asks, then moves the selected item to the trash
    int MoveTo(const QString& folder);  ///< the selected item into that folder; never overwrites

    /// What an edit in place ends with (the tree calls it; tests may too): 1 when renamed.
    int RenameItem(QTreeWidgetItem* item, const QString& name);

protected:
    /// Takes the template's tree as its own (AttachTree()), whatever the dialog's style.
    void Skin(bool plain) override;

private:
    void fill(QTreeWidgetItem* parent, const QString& folder);
    void refresh();
    void edit(QTreeWidgetItem* item);
    bool isFile(QTreeWidgetItem* item) const;
    QWidget* owner() const;  // the window the tree is in: its boxes belong to it
    QString displayName(const QString& fileName, bool file) const;

    QString m_strExt;   // without the dot
    QString m_strRoot;
    QPointer<QTreeWidget> m_pTree;
    std::unique_ptr<QFileSystemWatcher> m_pWatcher;
    bool m_bFilling = false;
};
