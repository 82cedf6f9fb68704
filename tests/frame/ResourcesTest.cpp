#include "frame/Module.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <gtest/gtest.h>

using namespace platform;

TEST(Resources, ModuleResourcesAreFoundOnlyWhileAttached)
{
    ASSERT_TRUE(IsModuleAttached());  // loading the library attached it
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ("番組リストファイルの形式が不正です。", LoadString(16005));
        EXPECT_NE(nullptr, FindDialogTemplate(16108));
        EXPECT_FALSE(LoadBitmap(16045).isNull());
        if (round == 0)
            DetachModule();
        EXPECT_EQ(round == 0 ? "" : "番組リストファイルの形式が不正です。", LoadString(16005));
        EXPECT_EQ(round == 0, LoadBitmap(16045).isNull());
        EXPECT_FALSE(LoadBitmap(8014).isNull());  // the controls library's own resources stay in the chain
        if (round == 0)
            AttachModule();
    }
}

TEST(Resources, TextsAreTheTablesOwnAndBoxesSpeakJapanese)
{
    // "\n" in the table is a line feed; a backslash in a section name is itself
    EXPECT_EQ("次の番組ファイルを削除します。\n\n\u3000「%1」", LoadString(16007));
    EXPECT_EQ("General\\Authentication", LoadString(16021));
    // the box the seam would show, as built (loading the library put Qt's Japanese texts in)
    const auto box = BuildMessageBox(nullptr, "x", MB_YESNOCANCEL);
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts << button->text();
    texts.sort();
    EXPECT_EQ("いいえ(&N)|はい(&Y)|キャンセル", texts.join(u'|'));
}
