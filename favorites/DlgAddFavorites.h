#pragma once
/// \file
/// Naming the current chart, describing it and choosing its folder in the
/// favourites; the host saves the scene file from the results after OK.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntEdit.h"
#include "support/zvncst/ZntRichEditCtrl.h"
#include "support/zvncst/ZntTreeCtrlEx.h"

/// The add-to-favourites dialog (template 16102): the chart's name, its
/// description, and the folder tree below the favourites' root, which a button
/// shows or folds away, with a button for a new folder.
///
/// Of window messages, its help button sends WM_COMMAND ID_HELP (wParam 57670, lParam 0) to the main window.
/// It asks the host `? time.year`, `? time.month`
/// and `? time.day` for the proposed name. Settings: "IsExpanded" of its section
/// `Dialog\AddFavorites` (whether the folder tree is shown), read at opening and
/// written at OK.
///
/// DoModal() returns 1 when the user confirmed a usable name (GetName(),
/// GetPath() and GetDescription() then tell where and what to save), 2 when he
/// gave up.
class ZVND06_EXPORT CDlgAddFavorites : public CZntDialog {
    Q_OBJECT
public:
    /// The dialog over the favourites' root folder `root`, the host control
    /// answering the date queries; its section `Dialog\AddFavorites`.
    CDlgAddFavorites(CCorZnt* host, const QString& root, QWidget* parent);
    /// The dialog with no host control and no root: it opens as its template
    /// made it, with nothing set up.
    explicit CDlgAddFavorites(QWidget* parent);
    /// Nothing beyond the dialog's own.
    ~CDlgAddFavorites() override;

    /// Lists the folders below `root` anew, the root shown as "お気に入り".
    void SetRoot(const QString& root);
    /// The number after the proposed name "2024-01-31 星図N" (1 unless set).
    void SetFavoritesIndex(int index);
    /// The name the user gave, without the extension ".zsf".
    const QString& GetName() const;
    const QString& GetPath() const;  ///< the chosen folder, ending in "/"
    QString GetDescription() const;  ///< one line: each line break written as the four characters `\r\n`

    /// Writes each CR as a backslash and each LF as `n`, then each `\n` as
    /// `\r\n`: a text's line breaks become the four characters `\r\n`, on one line.
    void ChangeCRLF(QString* text);
    /// The folder of `path`, ending in "/": the path itself for a folder, its
    /// folder for a file; empty for a path that does not exist.
    QString GetDirName(const QString& path);
    /// Grows or shrinks the dialog by the folder tree's height, as the tree is
    /// shown or folded, keeping its place; the folder button's text follows.
    void ResizeDlg();
    /// Skins the name and description (at most 128 and 1024 characters), the
    /// two buttons and the folder tree.
    void AttachControls() override;
    /// The tree and the new folder button take input only while the tree is shown.
    void UpdateStatus();

    /// Without a host control sets nothing up (returns 0). Otherwise reads
    /// "IsExpanded", lists the root with the root selected, and proposes the
    /// name from the host's date ("BC" before year 1). Returns 1.
    int OnInitDialog() override;
    /// Checks the name (message for an empty one or one with characters a file
    /// name may not have), asks before it overwrites an existing scene file, then
    /// takes the chosen folder and the description, writes "IsExpanded" and ends with 1.
    void OnOK() override;
    /// Shows or folds the folder tree.
    void OnBnClickedFadBtnFolder();
    /// Makes a new folder in the selected folder and lets the user name it in place.
    void OnBnClickedFadBtnNewfolder();

    /// The folder tree.
    CZntTreeCtrlEx& Tree() { return m_treFolder; }
    /// How much the dialog grows when the tree is shown, in pixels.
    int GetFoldHeight() const { return m_nFoldHeight; }

protected:
    /// The name (1008).
    void DoDataExchange(CDataExchange* pDX) override;
    /// The folder button (1011) and the new folder button (1012).
    const MessageMap& GetMessageMap() const override;

private:
    CZntEdit m_edtName;
    CZntRichEditCtrl m_edtDescription;
    CZntButton m_btnFolder;
    CZntButton m_btnNewFolder;
    CZntTreeCtrlEx m_treFolder;
    int m_bExpanded = 0;
    QString m_strRoot;
    QString m_strPath;
    QString m_strName;
    QString m_strRawDescription;
    QString m_strDescription;
    int m_nFavoritesIndex = 1;
    int m_nFoldHeight = 0;
};
