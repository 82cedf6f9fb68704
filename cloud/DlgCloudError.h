#pragma once
// A share the service refused: its title, message and a settings button
// (result 1) with which the caller opens the page the service named.
#include "support/zvncst/ZntDialog.h"

class CDlgCloudError : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudError(QWidget* parent = nullptr);
    ~CDlgCloudError() override;

    int SetTitle(const QString& title);
    int SetMessage(const QString& message);
    void ShowSettingsButton(int show);

    int OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    QString m_strTitle;
    QString m_strMessage = QStringLiteral("TEXT");
    QString m_strMessageText;  // bound to the message control
    int m_bShowSettings = 1;
};
