#pragma once
// Reading the ZentoCloud service's JSON answers.

#include <QByteArray>
#include <QString>

struct CloudAccountValues {
    QByteArray accessToken;
    QByteArray accessTokenSecret;
    int twitter = 0;
    int facebook = 0;
    QString userName;
};

class CServiceAnswer {
public:
    // 1 when the answer reports no failure (the values may have taken the
    // answer's); 0 for a failure, `response` then holding the text to show and
    // `icon` the box's icon when the answer gave no message of its own.
    static int Analyze(QByteArray& response, int& icon, CloudAccountValues& values);
};
