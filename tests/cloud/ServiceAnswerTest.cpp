#include "cloud/ServiceAnswer.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

namespace {

struct Analysis {
    int result;
    QByteArray response;
    int icon;
    CloudAccountValues values;
};

Analysis analyze(const QByteArray& answer, int icon = platform::MB_ICONASTERISK)
{
    Analysis a{0, answer, icon, {}};
    a.values.accessToken = "old-token";
    a.values.twitter = 1;
    a.values.userName = "old name";
    a.result = CServiceAnswer::Analyze(a.response, a.icon, a.values);
    return a;
}

}  // namespace

TEST(ServiceAnswer, SuccessTakesTheAccountOutOfTheAnswer)
{
    const Analysis a = analyze(R"({"status":200,"access_token":"t1","access_token_secret":"s1","twitter":0,"facebook":2,"name":"星野 すばる"})");
    EXPECT_EQ(1, a.result);
    EXPECT_EQ("t1", a.values.accessToken);
    EXPECT_EQ("s1", a.values.accessTokenSecret);
    EXPECT_EQ(0, a.values.twitter);
    EXPECT_EQ(1, a.values.facebook);
    EXPECT_EQ(QString::fromUtf8("星野 すばる"), a.values.userName);

    // no status, a status as text, or one that truncates to 200: success
    for (const char* answer : {R"({"name":"n"})", R"({"status":"200","name":"n"})", R"({"status":200.9,"name":"n"})",
                               R"({"status":"401","name":"n"})"})
        EXPECT_EQ(1, analyze(answer).result) << answer;
    // keys of another type, or absent, leave their members
    const Analysis typed = analyze(R"({"twitter":"1","access_token":5,"name":null})");
    EXPECT_EQ(1, typed.values.twitter);
    EXPECT_EQ("old-token", typed.values.accessToken);
    EXPECT_EQ("old name", typed.values.userName);
    EXPECT_EQ(0, analyze(R"({"twitter":0.5})").values.twitter);
}

TEST(ServiceAnswer, AFailureStatusGivesTheServicesMessageOrItsOwn)
{
    const Analysis refused = analyze(R"({"status":401,"error":"VALIDATION_FAILED","message":"正しいVaroquin ID、パスワードを入力してください。"})");
    EXPECT_EQ(0, refused.result);
    EXPECT_EQ(QString::fromUtf8("正しいVaroquin ID、パスワードを入力してください。"), QString::fromUtf8(refused.response));
    EXPECT_EQ(int(platform::MB_ICONASTERISK), refused.icon);  // the caller's icon
    EXPECT_EQ("old-token", refused.values.accessToken);

    const Analysis bare = analyze(R"({"status":500,"access_token":"new"})");
    EXPECT_EQ(0, bare.result);
    EXPECT_EQ(QByteArray("UNDEFINED ERROR.\n[RESPONSE STRING:{\"status\":500,\"access_token\":\"new\"}]"), bare.response);
    EXPECT_EQ(int(platform::MB_ICONEXCLAMATION), bare.icon);
    EXPECT_EQ("old-token", bare.values.accessToken);
}

TEST(ServiceAnswer, WhatIsNotAJsonObjectChangesNothing)
{
    for (const char* answer : {"<html><body>ようこそ</body></html>", "[1,2,3]", "", "\"text\"", "12"}) {
        const Analysis a = analyze(answer);
        EXPECT_EQ(1, a.result) << answer;
        EXPECT_EQ(QByteArray(answer), a.response);
        EXPECT_EQ("old-token", a.values.accessToken);
    }
    // an object cut short keeps what was read before the cut
    const Analysis cut = analyze(R"({"status":200,"access_token":"partial","na)");
    EXPECT_EQ(1, cut.result);
    EXPECT_EQ("partial", cut.values.accessToken);
}

TEST(ServiceAnswer, AHostileAnswerIsReadAsFarAsItGoes)
{
    // a failure the service reported stays a failure, whatever follows or breaks it off
    const QByteArray failure = R"({"status":500,"message":"止まりました")";
    QByteArray deepInside = failure + ",\"a\":";
    for (int i = 0; i < 257; ++i)
        deepInside += "{\"a\":";
    for (const QByteArray& answer : {failure + "}" + QByteArray(300, '['), failure + ",\"n\":1e999}", deepInside}) {
        const Analysis a = analyze(answer);
        EXPECT_EQ(0, a.result) << answer.left(60).toStdString();
        EXPECT_EQ(QString("止まりました"), QString::fromUtf8(a.response));
    }
    // nesting without end, and numbers no double holds, neither crash nor throw
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "{\"a\":";
    EXPECT_EQ(1, analyze(deep).result);
    EXPECT_EQ(1, analyze(QByteArray(200000, '[')).result);
    const Analysis cut = analyze(R"({"status":1e999,"access_token":"x"})");
    EXPECT_EQ(1, cut.result);
    EXPECT_EQ("old-token", cut.values.accessToken);  // the cut came before the token
}
