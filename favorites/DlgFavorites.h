#pragma once
/// \file
/// Organising the favourites: the tree of folders and scenes under the root,
/// with new folder, rename, move and delete for the selected item, the
/// selected scene's description, and the root opened in the file browser.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntGroupBox.h"
#include "support/zvncst/ZntRichEditCtrl.h"
#include "support/zvncst/ZntTreeCtrlEx.h"

/// The favourites dialog (template 16101). Every change acts on disk at once:
/// a deleted item goes to the trash. Of window messages, its help button sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to the main window;
/// it reads and writes no settings of its own (its section is `Dialog\Favorites`),
/// and opens the root in the file browser through the shell. DoModal() returns
/// 1 for its close button, 2 for Esc or the window's close box.
class ZVND06_EXPORT CDlgFavorites : public CZntDialog {
    Q_OBJECT
public:
    /// The dialog over the favourites' root folder `root`; `host` may be null.
    CDlgFavorites(CCorZnt* host, const QString& root, QWidget* parent);
    /// The dialog with no root yet (SetRoot()).
    explicit CDlgFavorites(QWidget* parent);
    /// Nothing beyond the dialog's own.
    ~CDlgFavorites() override;

    /// Lists the folders and scene files below `root` anew, the root shown as "お気に入り".
    void SetRoot(const QString& root);
    /// Follows the selection: rename, move and delete for anything but the
    /// root, new folder for anything but a scene, and a scene's description.
    void UpdateStatus();
    /// Skins the buttons, the tree, the description and the guidance, and gives
    /// the two text boxes their background colour (EM_SETBKGNDCOLOR).
    void AttachControls() override;

    /// Lists the root with the root selected, under the guidance text. Returns 1.
    int OnInitDialog() override;
    /// Makes a new folder in the selected folder (or beside the selected scene) and lets the user name it.
    void OnBnClickedFavBtnNewfolder();
    /// Lets the user rename the selected item in place.
    void OnBnClickedFavBtnRename();
    /// Asks for a folder below the root and moves the selected item into it; nothing is overwritten.
    void OnBnClickedFavBtnMovetofolder();
    /// Asks, then moves the selected item to the trash.
    void OnBnClickedFavBtnDelete();
    /// The selection changed: UpdateStatus().
    void OnTvnSelchangedFavTreFolder();
    /// Opens the root in the file browser; a message when it cannot.
    void OnBnClickedFavBtnExplorer();

    /// The folder tree.
    CZntTreeCtrlEx& Tree() { return m_treFolder; }

protected:
    /// Nothing to exchange beyond the base's.
    void DoDataExchange(CDataExchange* pDX) override;
    /// The five buttons (1001 to 1004, 1023) and the tree's selection (1006).
    const MessageMap& GetMessageMap() const override;

private:
    CZntButton m_btnNewFolder;
    CZntButton m_btnRename;
    CZntButton m_btnMoveToFolder;
    CZntButton m_btnDelete;
    CZntButton m_btnExplorer;
    CZntTreeCtrlEx m_treFolder;
    CZntRichEditCtrl m_edtDescription;
    CZntRichEditCtrl m_edtGuidance;
    CZntGroupBox m_grpDescription;
    QString m_strRoot;
};
