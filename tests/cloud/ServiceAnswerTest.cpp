#include "cloud/ServiceAnswer.h"
#include "platform/MessageBox.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace platform;

// each answer read over the same account: token, secret, twitter, facebook and name
// start as "old", "old", 1, 0, "old"; an empty response means the answer is left as it came
TEST(ServiceAnswer, TheStatusDecidesAndTheKnownMembersOfTheirTypeAreTaken)
{
    const QByteArray failure = R"({"status":500,"message":"止まりました")";
    const QByteArray nest = "{\"a\":";
    struct Row {
        QByteArray answer;
        int result;
        QByteArray response;
        int icon;
        QString values;
    };
    const Row rows[] = {
        {R"({"status":200,"access_token":"t1","access_token_secret":"s1","twitter":0,"facebook":2,"name":"星野 すばる"})", 1, {},
         MB_ICONASTERISK, "t1 s1 0 1 星野 すばる"},
        {R"({"status":"401","name":"n","twitter":0.5})", 1, {}, MB_ICONASTERISK, "old old 0 0 n"},
        {R"({"status":200.9,"twitter":"1","access_token":5,"name":null})", 1, {}, MB_ICONASTERISK, "old old 1 0 old"},
        {R"({"status":401,"message":"正しいVaroquin ID、パスワードを入力してください。","name":"n"})", 0,
         "正しいVaroquin ID、パスワードを入力してください。", MB_ICONASTERISK, "old old 1 0 old"},
        {R"({"status":500,"access_token":"new"})", 0, "UNDEFINED ERROR.\n[RESPONSE STRING:{\"status\":500,\"access_token\":\"new\"}]",
         MB_ICONEXCLAMATION, "old old 1 0 old"},
        // what is no JSON object changes nothing; an object cut short keeps what came before the cut
        {"<html><body>ようこそ</body></html>", 1, {}, MB_ICONASTERISK, "old old 1 0 old"},
        {"[1,2,3]", 1, {}, MB_ICONASTERISK, "old old 1 0 old"},
        {R"({"status":200,"access_token":"partial","na)", 1, {}, MB_ICONASTERISK, "partial old 1 0 old"},
        // a failure stays a failure whatever follows or breaks it off; endless nesting and
        // numbers no double holds neither crash nor throw
        {failure + "}" + QByteArray(300, '['), 0, "止まりました", MB_ICONASTERISK, "old old 1 0 old"},
        {failure + ",\"a\":" + nest.repeated(257), 0, "止まりました", MB_ICONASTERISK, "old old 1 0 old"},
        {nest.repeated(100000), 1, {}, MB_ICONASTERISK, "old old 1 0 old"},
        {QByteArray(200000, '['), 1, {}, MB_ICONASTERISK, "old old 1 0 old"},
        {R"({"status":1e999,"access_token":"x"})", 1, {}, MB_ICONASTERISK, "old old 1 0 old"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer.left(60).toStdString());
        CloudAccountValues values{"old", "old", 1, 0, "old"};
        QByteArray response = row.answer;
        int icon = MB_ICONASTERISK;
        EXPECT_EQ(row.result, CServiceAnswer::Analyze(response, icon, values));
        EXPECT_EQ(row.response.isEmpty() ? row.answer : row.response, response);
        EXPECT_EQ(row.icon, icon);
        EXPECT_EQ(row.values, QStringList({QString(values.accessToken), QString(values.accessTokenSecret), QString::number(values.twitter),
                                           QString::number(values.facebook), values.userName})
                                  .join(' '));
    }
}
