#pragma once
// Naming the current chart, describing it and choosing its folder in the
// favourites; the host saves the scene file from the results after OK.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntEdit.h"
#include "support/zvncst/ZntRichEditCtrl.h"
#include "support/zvncst/ZntTreeCtrlEx.h"

class ZVND06_EXPORT CDlgAddFavorites : public CZntDialog {
    Q_OBJECT
public:
    CDlgAddFavorites(CCorZnt* host, const QString& root, QWidget* parent);
    explicit CDlgAddFavorites(QWidget* parent);
    ~CDlgAddFavorites() override;

    void SetRoot(const QString& root);
    void SetFavoritesIndex(int index);
    const QString& GetName() const;
    const QString& GetPath() const;  // the chosen folder, ending in "/"
    QString GetDescription() const;  // one line: each line break written as the four characters \r\n

    void ChangeCRLF(QString* text);
    QString GetDirName(const QString& path);
    void ResizeDlg();
    void AttachControls() override;
    void UpdateStatus();

    int OnInitDialog() override;
    void OnOK() override;
    void OnBnClickedFadBtnFolder();
    void OnBnClickedFadBtnNewfolder();

    CZntTreeCtrlEx& Tree() { return m_treFolder; }
    int GetFoldHeight() const { return m_nFoldHeight; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
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
