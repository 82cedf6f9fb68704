#pragma once
// Sharing the current star chart to ZentoCloud. (Declared; built with sharing.)
#include "frame/Zvnd06Export.h"
#include "support/zvncst/ZntDialog.h"

#include <QByteArray>

class CHttpConnection;

class ZVND06_EXPORT CDlgCloudUpload : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgCloudUpload(QWidget* parent);
    CDlgCloudUpload(CCorZnt* host, CHttpConnection* connection, const QString& baseUrl, int, int,
                    const QByteArray& accessToken, const QByteArray& accessTokenSecret, const QString& zsfPath,
                    QWidget* parent);

    void SetAccessToken(const QByteArray& token);
    void SetAccessTokenSecret(const QByteArray& secret);
};
