#pragma once
// Organising the favourites: the tree of folders and scenes under the root,
// with new folder, rename, move and delete for the selected item, the
// selected scene's description, and the root opened in the file browser.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntGroupBox.h"
#include "support/zvncst/ZntRichEditCtrl.h"
#include "support/zvncst/ZntTreeCtrlEx.h"

class ZVND06_EXPORT CDlgFavorites : public CZntDialog {
    Q_OBJECT
public:
    CDlgFavorites(CCorZnt* host, const QString& root, QWidget* parent);
    explicit CDlgFavorites(QWidget* parent);
    ~CDlgFavorites() override;

    void SetRoot(const QString& root);
    void UpdateStatus();
    void AttachControls() override;

    int OnInitDialog() override;
    void OnBnClickedFavBtnNewfolder();
    void OnBnClickedFavBtnRename();
    void OnBnClickedFavBtnMovetofolder();
    void OnBnClickedFavBtnDelete();
    void OnTvnSelchangedFavTreFolder();
    void OnBnClickedFavBtnExplorer();

    CZntTreeCtrlEx& Tree() { return m_treFolder; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
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
