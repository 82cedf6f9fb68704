#include "frame/Module.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"

#include <QAbstractButton>
#include <QImage>
#include <QMessageBox>
#include <gtest/gtest.h>

using platform::FindDialogTemplate;
using platform::LoadBitmap;
using platform::LoadString;

TEST(ResourceChain, ModuleResourcesAreFoundOnlyWhileAttached)
{
    ASSERT_TRUE(IsModuleAttached());  // loading the library attached it
    EXPECT_EQ(QString::fromUtf8("番組リストファイルの形式が不正です。"), LoadString(16005));
    EXPECT_NE(nullptr, FindDialogTemplate(16108));
    EXPECT_FALSE(LoadBitmap(16045).isNull());
    EXPECT_FALSE(LoadBitmap("PRGOKU").isNull());

    DetachModule();
    EXPECT_EQ("", LoadString(16005));
    EXPECT_EQ(nullptr, FindDialogTemplate(16108));
    EXPECT_TRUE(LoadBitmap(16045).isNull());
    // the controls library's own resources stay in the chain
    EXPECT_FALSE(LoadBitmap(8014).isNull());

    AttachModule();
    EXPECT_EQ(QString::fromUtf8("番組リストファイルの形式が不正です。"), LoadString(16005));
    EXPECT_NE(nullptr, FindDialogTemplate(16108));
}

TEST(Module, MessageBoxButtonsReadInJapanese)
{
    // the box the seam would show, as built (loading the library put Qt's Japanese texts in)
    const auto texts = [](unsigned style) {
        const auto box = platform::BuildMessageBox(nullptr, "x", style);
        QStringList texts;
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        texts.sort();
        return texts.join(u'|').toStdString();
    };
    EXPECT_EQ(texts(platform::MB_YESNOCANCEL), "いいえ(&N)|はい(&Y)|キャンセル");
}

TEST(ResourceChain, UnknownIdsGiveNothing)
{
    EXPECT_EQ("", LoadString(99999));
    EXPECT_EQ("", LoadString(16001));
    EXPECT_EQ(nullptr, FindDialogTemplate(1));
    EXPECT_TRUE(LoadBitmap(1).isNull());
    EXPECT_TRUE(LoadBitmap("NOSUCHBITMAP").isNull());
}

TEST(StringTable, LineBreaksAndBackslashesAreTheTextsOwn)
{
    // "\n" in the table is a line feed; a backslash in a section name is itself
    EXPECT_EQ(QString::fromUtf8("次の番組ファイルを削除します。\n\n\u3000「%1」"), LoadString(16007));
    EXPECT_EQ(QString::fromUtf8("番組リストファイルが見つかりません。\n%1"), LoadString(16006));
    EXPECT_EQ("General\\Authentication", LoadString(16021));
    EXPECT_EQ("Dialog\\Program", LoadString(16055));
    EXPECT_EQ("Dialog\\ConfigureAccount", LoadString(16018));
}

TEST(Artwork, BitmapsHaveTheSizesTheDialogsDrawWith)
{
    const struct {
        const char* name;
        int width, height;
    } sizes[] = {
        {"16045", 800, 600}, {"16025", 245, 50}, {"16016", 20, 20}, {"16019", 20, 20}, {"16014", 20, 20},
        {"16017", 20, 20},   {"16020", 1, 10},   {"16013", 1, 10},  {"16015", 10, 1},  {"16018", 10, 1},
        {"16027", 23, 24},   {"16029", 17, 24},  {"16028", 23, 16}, {"16030", 17, 16}, {"16032", 1, 24},
        {"16034", 1, 16},    {"16031", 23, 1},   {"16033", 17, 1},  {"1081", 343, 205}, {"PRGOKU", 107, 49},
        {"PRGCLOSED", 107, 49}, {"PRGDELETEX", 107, 49}, {"PRGHELPF", 107, 49},
    };
    for (const auto& s : sizes) {
        const QImage image = LoadBitmap(QString::fromLatin1(s.name));
        ASSERT_FALSE(image.isNull()) << s.name;
        EXPECT_EQ(QSize(s.width, s.height), image.size()) << s.name;
        EXPECT_FALSE(image.hasAlphaChannel()) << s.name;
    }
    EXPECT_EQ(QSize(32, 32), platform::LoadIcon(201).size());
}

TEST(Artwork, IconsAndMasksCombineAsAndThenOr)
{
    // mask white where transparent and black where opaque; the icon black wherever the mask is white
    for (int i = 0; i < 5; ++i) {
        const QImage icon = LoadBitmap(16040 + i);
        const QImage mask = LoadBitmap(16035 + i);
        ASSERT_EQ(QSize(32, 32), icon.size());
        ASSERT_EQ(QSize(32, 32), mask.size());
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb m = mask.pixel(x, y) & 0xFFFFFF;
                ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << "mask " << 16035 + i << " is not black and white";
                if (m == 0xFFFFFF)
                    ASSERT_EQ(0u, icon.pixel(x, y) & 0xFFFFFF) << "icon " << 16040 + i << " shows through its mask";
                else
                    ++opaque;
            }
        EXPECT_GT(opaque, 100) << "icon " << 16040 + i << " draws almost nothing";
    }
}

TEST(Artwork, HighlightPiecesUseTheKeyOnlyOutsideTheirRoundCorners)
{
    const QRgb key = qRgb(0xFF, 0, 0);
    EXPECT_EQ(key, LoadBitmap(16027).pixel(0, 0));    // the top-left corner's outer corner
    EXPECT_EQ(key, LoadBitmap(16030).pixel(16, 15));  // the bottom-right corner's outer corner
    EXPECT_NE(key, LoadBitmap(16027).pixel(22, 23));  // inside
    for (int id : {16031, 16032, 16033, 16034})
        for (int y = 0; y < LoadBitmap(id).height(); ++y)
            for (int x = 0; x < LoadBitmap(id).width(); ++x)
                ASSERT_NE(key, LoadBitmap(id).pixel(x, y)) << id;  // edges are never transparent
}

TEST(VersionBlock, NamesTheModuleAndItsVersion)
{
    const ZvnModuleInfo info = GetModuleInfo();
    EXPECT_EQ("zvnd06", info.name);
    EXPECT_EQ(ZVN_PROJECT_VERSION, info.version);
    EXPECT_FALSE(info.description.isEmpty());
}
