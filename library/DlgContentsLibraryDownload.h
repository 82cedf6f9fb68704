#pragma once
// The modeless download progress window, made anew for each download; it
// tells its parent (message 2036) when it closes.
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"
#include "support/zvncst/ZntEdit.h"
#include "support/zvncst/ZntProgressCtrl.h"

class ZVND06_EXPORT CDlgContentsLibraryDownload : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgContentsLibraryDownload(QWidget* parent);
    ~CDlgContentsLibraryDownload() override;
    int Create(QWidget* parent);
    void Close();
    void InitControls();

    int OnInitDialog() override;
    void OnCancel() override;

    CZntProgressCtrl& Progress() { return m_prgDownload; }

protected:
    const MessageMap& GetMessageMap() const override;

private:
    CZntProgressCtrl m_prgDownload;
    CZntEdit m_edtLocation;
};
