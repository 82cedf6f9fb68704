#include "support/zvncom/ZntUnZip.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <functional>
#include <sys/stat.h>
#include <zip.h>

namespace {

struct Item {
    QByteArray name;  // as stored in the archive
    QByteArray data;
    mode_t mode = 0;  // Unix file type and permissions, 0 for none
    bool deflate = false;
};

// builds a real archive with libzip, hostile names included
bool makeZip(const QString& path, const QList<Item>& items)
{
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    for (const Item& item : items) {
        zip_int64_t index;
        if (item.name.endsWith('/')) {
            index = zip_dir_add(zip, item.name.constData(), ZIP_FL_ENC_GUESS);
        } else {
            zip_source_t* source = zip_source_buffer(zip, item.data.constData(), item.data.size(), 0);
            index = zip_file_add(zip, item.name.constData(), source, ZIP_FL_ENC_GUESS);
            if (index >= 0)
                zip_set_file_compression(zip, index, item.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        }
        if (index < 0)
            return zip_discard(zip), false;
        if (item.mode)
            zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX, zip_uint32_t(item.mode) << 16);
    }
    return zip_close(zip) == 0;
}

QStringList filesUnder(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(QDir(folder).relativeFilePath(it.next()));
    found.sort();
    return found;
}

}  // namespace

TEST(UnZip, UnpacksFilesAndFoldersWithJapaneseNamesOverAnEarlierInstallation)
{
    TempEnvironment env;
    const QString archive = env.Path("galaxy.zip");
    ASSERT_TRUE(makeZip(archive, {
                                     {"galaxy/", {}},
                                     {"galaxy/info.txt", "Title=T\r\n"},
                                     {"galaxy/\x90\xaf\x8b\xf3.txt", "cp932 name"},  // 星空, as a Japanese archiver writes it
                                     {"galaxy/\xe6\x98\x9f.txt", "utf-8 name"},      // 星
                                     {"galaxy/sub/deep.bin", QByteArray(100000, 'z'), S_IFREG | 0644, true},
                                 }));
    const QString folder = env.Path("Prg");
    TempEnvironment::WriteBytes(folder + "/galaxy/info.txt", "old");
    ASSERT_EQ(1, CZntUnZip::Unzip(archive, folder));
    EXPECT_EQ("Title=T\r\n", TempEnvironment::ReadBytes(folder + "/galaxy/info.txt"));
    EXPECT_EQ(QByteArray(100000, 'z'), TempEnvironment::ReadBytes(folder + "/galaxy/sub/deep.bin"));
    // the names as the user reads them, and no temporary file left behind
    EXPECT_EQ(QStringList({"galaxy", "galaxy/info.txt", "galaxy/sub", "galaxy/sub/deep.bin",
                           QString::fromUtf8("galaxy/星.txt"), QString::fromUtf8("galaxy/星空.txt")}),
              filesUnder(folder));
}

TEST(UnZip, RefusesEntriesThatWouldLandOutsideBombsAndNamesThatMeetAndWritesNothing)
{
    const QByteArray zeros(3 * 1024 * 1024, '\0');
    const QList<QList<Item>> hostile = {
        {{"p/info.txt", "fine"}, {"../escaped.txt", "out"}},
        {{"p/info.txt", "fine"}, {"p/../../escaped.txt", "out"}},
        {{"p/info.txt", "fine"}, {"ROOT/escaped-absolute.txt", "out"}},  // an absolute path into the test's own folder
        {{"p/info.txt", "fine"}, {"..\\escaped.txt", "out"}},
        {{"p/info.txt", "fine"}, {"C:/escaped.txt", "out"}},
        {{"p/info.txt", "fine"}, {"p/link", "/etc", S_IFLNK | 0777}},
        {{"p/link", "..", S_IFLNK | 0777}, {"p/link/escaped.txt", "out"}},
        // 3 MiB of zeros packs into a few KB: far beyond 200 times the archive
        {{"p/info.txt", "fine"}, {"p/zeros.bin", zeros, 0, true}},
        // the same name once in UTF-8, once as a Japanese archiver writes it
        {{"p/\xe6\x98\x9f.txt", "first"}, {"p/\x90\xaf.txt", "second"}},
        // composed and decomposed forms of "が"
        {{"p/\xe3\x81\x8c.txt", "first"}, {"p/\xe3\x81\x8b\xe3\x82\x99.txt", "second"}},
    };
    for (auto items : hostile) {
        TempEnvironment env;
        for (Item& item : items)
            item.name.replace("ROOT/", QFile::encodeName(env.Root()) + "/");
        ASSERT_TRUE(makeZip(env.Path("evil.zip"), items));
        EXPECT_EQ(0, CZntUnZip::Unzip(env.Path("evil.zip"), env.Path("inst/Prg"))) << items.last().name.constData();
        EXPECT_EQ(QStringList({"evil.zip", "tmp"}), QDir(env.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot));
    }

    // the same bytes stored as they are, or a small package that shrinks well, are packages
    TempEnvironment env;
    ASSERT_TRUE(makeZip(env.Path("stored.zip"), {{"p/zeros.bin", zeros}}));
    EXPECT_EQ(1, CZntUnZip::Unzip(env.Path("stored.zip"), env.Path("Prg")));
    ASSERT_TRUE(makeZip(env.Path("text.zip"), {{"q/scene.zsf", QByteArray(512 * 1024, 'a'), 0, true}}));
    EXPECT_EQ(1, CZntUnZip::Unzip(env.Path("text.zip"), env.Path("Prg")));
    EXPECT_EQ(512 * 1024, TempEnvironment::ReadBytes(env.Path("Prg/q/scene.zsf")).size());
}

TEST(UnZip, RefusesToWriteThroughALinkAlreadyInTheFolder)
{
    TempEnvironment env;
    QDir().mkpath(env.Path("outside"));
    QDir().mkpath(env.Path("Prg"));
    ASSERT_TRUE(QFile::link(env.Path("outside"), env.Path("Prg/p")));
    ASSERT_TRUE(makeZip(env.Path("p.zip"), {{"p/info.txt", "through the link"}}));
    EXPECT_EQ(0, CZntUnZip::Unzip(env.Path("p.zip"), env.Path("Prg")));
    EXPECT_TRUE(filesUnder(env.Path("outside")).isEmpty());
}

TEST(UnZip, ADamagedOrLyingArchiveLeavesNothingOfItself)
{
    const QList<std::tuple<QList<Item>, QByteArray, QByteArray>> cases = {
        // the second file no longer matches its stored CRC
        {{{"p/", {}}, {"p/first.txt", "FIRST"}, {"p/second.txt", "SECOND"}}, "SECOND", "SECxND"},
        // the signatures broken: not an archive at all
        {{{"p/first.txt", "FIRST"}}, "PK", "pk"},
        // an entry that inflates beyond the 1,000 bytes its headers state instead of 614,400
        {{{"p/big.bin", QByteArray(600 * 1024, 'x'), 0, true}}, QByteArray::fromHex("00600900"), QByteArray::fromHex("e8030000")},
    };
    for (const auto& [items, from, to] : cases) {
        TempEnvironment env;
        ASSERT_TRUE(makeZip(env.Path("bad.zip"), items));
        QByteArray bytes = TempEnvironment::ReadBytes(env.Path("bad.zip"));
        ASSERT_TRUE(bytes.contains(from));
        TempEnvironment::WriteBytes(env.Path("bad.zip"), bytes.replace(from, to));
        TempEnvironment::WriteBytes(env.Path("Prg/existing.txt"), "stays");
        EXPECT_EQ(0, CZntUnZip::Unzip(env.Path("bad.zip"), env.Path("Prg"))) << to.toStdString();
        EXPECT_EQ(QStringList{"existing.txt"}, filesUnder(env.Path("Prg")));
    }
}

namespace {

// runs a tool that makes archives; true when it ended well
bool run(const QString& program, const QStringList& args, const QString& folder)
{
    QProcess tool;
    tool.setWorkingDirectory(folder);
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(program, args);
    return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

}  // namespace

// A package as content sites make them, with the tools they use: some write only permissions
// (no file type) in an entry's mode, some no folder entries, some DOS attributes alone.
TEST(UnZip, UnpacksArchivesAsCommonToolsWriteThem)
{
    const QByteArray info = "Title=T\r\nScript=p.zsf\r\n", scene = "[General]\r\nFileId=Scene\r\n";
    const QString python = QStringLiteral(
        "import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    if sys.argv[2] == 'writestr':\n"
        "        z.writestr('p/', '')\n"
        "        z.writestr('p/info.txt', open('src/p/info.txt', 'rb').read())\n"
        "        z.writestr('p/p.zsf', open('src/p/p.zsf', 'rb').read())\n"
        "    else:\n"
        "        z.write('src/p', 'p')\n"
        "        z.write('src/p/info.txt', 'p/info.txt')\n"
        "        z.write('src/p/p.zsf', 'p/p.zsf')\n");
    const auto dos = [&](const QString& archive) {
        if (!makeZip(archive, {{"p/", {}}, {"p/info.txt", info}, {"p/p.zsf", scene, 0, true}}))
            return false;
        zip_t* zip = zip_open(QFile::encodeName(archive).constData(), 0, nullptr);
        for (zip_uint64_t i = 0; zip && i < 3; ++i)  // the folder bit, then the archive bit, as Windows sets them
            zip_file_set_external_attributes(zip, i, 0, ZIP_OPSYS_DOS, i == 0 ? 0x10 : 0x20);
        return zip && zip_close(zip) == 0;
    };
    const struct {
        const char* tool;
        std::function<bool(const QString& folder)> make;  // writes folder/p.zip from folder/src
    } makers[] = {
        {"Python's zipfile.writestr", [&](const QString& f) { return run("python3", {"-c", python, "p.zip", "writestr"}, f); }},
        {"Python's zipfile.write", [&](const QString& f) { return run("python3", {"-c", python, "p.zip", "write"}, f); }},
        {"Info-ZIP zip", [&](const QString& f) { return run("zip", {"-q", "-r", "../p.zip", "p"}, f + "/src"); }},
        {"Info-ZIP zip -D", [&](const QString& f) { return run("zip", {"-q", "-r", "-D", "../p.zip", "p"}, f + "/src"); }},
        {"libzip", [&](const QString& f) { return makeZip(f + "/p.zip", {{"p/", {}}, {"p/info.txt", info}, {"p/p.zsf", scene, 0, true}}); }},
        {"an MS-DOS archiver", [&](const QString& f) { return dos(f + "/p.zip"); }},
    };
    for (const auto& maker : makers) {
        SCOPED_TRACE(maker.tool);
        TempEnvironment env;
        TempEnvironment::WriteBytes(env.Path("src/p/info.txt"), info);
        TempEnvironment::WriteBytes(env.Path("src/p/p.zsf"), scene);
        ASSERT_TRUE(maker.make(env.Root()));
        ASSERT_EQ(1, CZntUnZip::Unzip(env.Path("p.zip"), env.Path("Prg")));
        EXPECT_EQ(QStringList({"p", "p/info.txt", "p/p.zsf"}), filesUnder(env.Path("Prg")));
        EXPECT_EQ(info, TempEnvironment::ReadBytes(env.Path("Prg/p/info.txt")));
        EXPECT_EQ(scene, TempEnvironment::ReadBytes(env.Path("Prg/p/p.zsf")));
    }
}
