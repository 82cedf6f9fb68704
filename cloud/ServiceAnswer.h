#pragma once
/// \file
/// Reading the ZentoCloud service's JSON answers.

#include <QByteArray>
#include <QString>

/// What the service says about an account: its tokens, its links to other
/// services and its display name. The sign-in dialog keeps them.
struct CloudAccountValues {
    /// The access token ("access_token").
    QByteArray accessToken;
    /// The access token's secret ("access_token_secret").
    QByteArray accessTokenSecret;
    /// 1 when the service says the account is linked to Twitter ("twitter" not 0), else 0.
    int twitter = 0;
    /// 1 when the service says the account is linked to Facebook ("facebook" not 0), else 0.
    int facebook = 0;
    /// The name the service shows for the account ("name").
    QString userName;
};

/// The reading of the service's answers to a sign-in and to a token check.
class CServiceAnswer {
public:
    /// 1 when the answer reports no failure (the values may have taken the
    /// answer's); 0 for a failure, `response` then holding the text to show and
    /// `icon` the box's icon when the answer gave no message of its own.
    ///
    /// A failure is a JSON object whose "status" is a number other than 200; its
    /// "message" is the text, else "UNDEFINED ERROR." with the answer, and `icon`
    /// becomes MB_ICONEXCLAMATION. An answer that is no JSON object reports no
    /// failure and changes nothing; otherwise each of "access_token",
    /// "access_token_secret", "twitter", "facebook" and "name" that the answer
    /// holds goes into `values`.
    static int Analyze(QByteArray& response, int& icon, CloudAccountValues& values);
};
