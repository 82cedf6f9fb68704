#pragma once
// Signing in to ZentoCloud and checking the stored tokens. (Declared; built
// with the cloud account.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

#include <QByteArray>

class CHttpConnection;

class ZVND06_EXPORT CDlgCloudLogin : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudLogin(QWidget* parent = nullptr);

    int CheckValidAccessToken();
    const QByteArray& GetAccessToken() const;
    const QByteArray& GetAccessTokenSecret() const;
    const QString& GetDispUserName() const;
    int GetTwitterStatus() const;
    int GetFacebookStatus() const;
    CHttpConnection* GetZentoCloudConnection();
};
