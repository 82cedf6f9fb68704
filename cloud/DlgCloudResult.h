#pragma once
// The end of a successful share: open the page, or mail its address. The
// result (1064 browser, 1060 mail, 2 close) tells the caller which.
#include "support/zvncst/ZntButton.h"
#include "support/zvncst/ZntDialog.h"

class CDlgCloudResult : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudResult(QWidget* parent = nullptr);
    ~CDlgCloudResult() override;

    int OnInitDialog() override;
    void OnBnClickedBrowser();
    void OnBnClickedMail();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    CZntButton m_btnBrowser;
    CZntButton m_btnMail;
};
