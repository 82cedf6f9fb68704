#include "frame/CheckListItem.h"
#include "support/zvncom/CommonCorzntCmd.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvncom/CommonNetwork.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(CommonFile, PathPartsAsTheCallersCombineThem)
{
    EXPECT_EQ("/data/prg", CCommonFile::GetPathName("/data/prg/zvnprg.lst"));
    EXPECT_EQ("", CCommonFile::GetPathName("/zvnprg.lst"));  // "" + "/" + name stays at the root
    EXPECT_EQ(".", CCommonFile::GetPathName("zvnprg.lst"));  // "." + "/" + name stays here
    EXPECT_EQ("galaxy", CCommonFile::GetBaseFileName("/dl/Prg/galaxy.zip"));
    EXPECT_EQ("star.show", CCommonFile::GetBaseFileName("star.show.zip"));
    EXPECT_EQ("noext", CCommonFile::GetBaseFileName("/a.b/noext"));  // a dot in a folder is no extension
    EXPECT_EQ("", CCommonFile::GetBaseFileName("/a/.hidden"));
}

TEST(CommonFile, ExistenceTellsFilesFromFoldersAndDeletingNeverFollowsLinks)
{
    TempEnvironment env;
    TempEnvironment::WriteBytes(env.Path("keep/precious.txt"), "keep me");
    TempEnvironment::WriteBytes(env.Path("prog/sub/deep.zsf"), "x");
    TempEnvironment::WriteBytes(env.Path("prog/info.txt"), "x");
    ASSERT_TRUE(QFile::link(env.Path("keep"), env.Path("prog/link-to-keep")));
    ASSERT_TRUE(QFile::link(env.Path("keep/precious.txt"), env.Path("prog/file-link")));
    EXPECT_EQ(1, CCommonFile::DoesFileExist(env.Path("prog/info.txt")));
    EXPECT_EQ(0, CCommonFile::DoesFileExist(env.Path("prog")));
    // a name the system would cut at its NUL names no file, though the part before it does
    EXPECT_EQ(0, CCommonFile::DoesFileExist(env.Path("prog/info.txt") + QChar(u'\0') + "x"));
    EXPECT_EQ(1, CCommonFile::DoesDirectoryExist(env.Path("prog/")));

    EXPECT_EQ(0, CCommonFile::DeleteDirectory(env.Path("prog/link-to-keep"), 1));  // a link is no folder
    EXPECT_EQ(1, CCommonFile::DeleteDirectory(env.Path("prog"), 1));
    EXPECT_FALSE(QFileInfo::exists(env.Path("prog")));
    EXPECT_EQ("keep me", TempEnvironment::ReadBytes(env.Path("keep/precious.txt")));
    EXPECT_EQ(0, CCommonFile::DeleteDirectory(env.Path("prog"), 1));  // already gone
}

TEST(CommonFile, ModulePathIsTheFolderOfTheLoadedModule)
{
    CCheckListItem item;  // uses the module, so it is loaded
    item.m_strText = "x";
    EXPECT_TRUE(CCommonFile::GetModulePath().endsWith('/'));
    EXPECT_TRUE(QFileInfo::exists(CCommonFile::GetModulePath() + "libzvnd06.so"));
}

TEST(CommonNetwork, SettingsDecideConnectionAndAddresses)
{
    TempEnvironment env;
    CRegistry::Write("General\\Network", "Connected", 0);
    EXPECT_EQ(0, CCommonNetwork::IsConnected());
    CRegistry::Write("General\\Network", "Connected", 1);
    EXPECT_EQ(1, CCommonNetwork::IsConnected());

    EXPECT_EQ("https://127.0.0.1:47081", CCommonNetwork::GetURL(3));  // the built-in default
    CRegistry::Write("General\\Network", "URL3", "https://library.example.test:8443/shop//");
    EXPECT_EQ("https://library.example.test:8443/shop", CCommonNetwork::GetURL(3));
}

TEST(CommonCorzntCmd, LogoCommandGoesToTheHost)
{
    ScriptedHost host;
    EXPECT_EQ(1, CCommonCorzntCmd::ShowLogoImage(1, &host));
    EXPECT_EQ(1, CCommonCorzntCmd::ShowLogoImage(0, &host));
    EXPECT_EQ((QStringList{"Logo.Visible = TRUE", "Logo.Visible = FALSE"}), host.Commands());
    EXPECT_EQ(0, CCommonCorzntCmd::ShowLogoImage(1, nullptr));
}

