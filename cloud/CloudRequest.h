#pragma once
// The one request routine of the cloud dialogs: sends a request on the open
// connection and reads the whole answer of a 200, or says why not.

#include <QByteArray>
#include <QString>

namespace platform {
class CHttpConnection;
}

class CCloudRequest {
public:
    // 1 with the answer's body in `response`, or 0 with "ステータス:[%d]" there.
    // Internet failures are thrown as platform::CInternetException.
    static int Execute(platform::CHttpConnection* connection, int verb, const QString& object, const QString& headers,
                       const char* body, int bodyLength, QByteArray& response);
};
