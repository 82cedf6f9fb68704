// The content library against the local site over real HTTPS on 127.0.0.1:
// what lands on disk, in the program list and in the settings, the boxes the
// user sees, the messages the host gets, the requests the site saw.
#include "frame/ModuleMessages.h"
#include "library/DlgContentsLibrary.h"
#include "platform/Internet.h"
#include "platform/MessageBox.h"
#include "services/ContentsSite.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/Mounts.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

using namespace platform;

namespace {

const QString kAgent = QStringLiteral("ZentorinLite/1.0 (1.0; MSIE compatible; Windows; Contents-Library Browser)");

struct LibraryFixture : ::testing::Test {
    TempEnvironment env;
    std::unique_ptr<CContentsSite> site;
    QWidget host;  // the library's parent, as the host's window is
    std::unique_ptr<CDlgContentsLibrary> dialog;
    QString root;

    void SetUp() override
    {
        const QString samples = env.Path(QStringLiteral("site"));
        QDir().mkpath(samples);
        ASSERT_TRUE(CContentsSite::MakeSamples(samples.toStdString()));
        site = std::make_unique<CContentsSite>(samples.toStdString());
        ASSERT_TRUE(site->Start(0));
        const QString ca = env.Path(QStringLiteral("site-ca.pem"));
        ASSERT_TRUE(site->WriteCertificate(ca.toStdString()));
        CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("URL3"), QString::fromStdString(site->BaseUrl()));
        CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("TrustedCA"), ca);
        CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("ReceiveTimeout"), 2);
        root = env.Path(QStringLiteral("Contents")) + u'/';
        dialog = std::make_unique<CDlgContentsLibrary>(&host);
        dialog->m_strInstallRoot = root;
        ASSERT_EQ(dialog->Create(&host), 1);
    }

    void TearDown() override
    {
        dialog.reset();
        site->Stop();
    }

    int download(const QString& id)
    {
        CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), id);
        return dialog->Download();
    }

    int requestsFor(const std::string& prefix) const
    {
        int n = 0;
        for (const auto& r : site->Requests())
            n += r.target.rfind(prefix, 0) == 0;
        return n;
    }

    // the item `id`: its document names the file, genre and size (the answer's length unless given); the answer is the file
    void offer(const std::string& id, const std::string& fileName, const std::string& genre, const CContentsSite::ScriptedAnswer& file,
               std::string size = {})
    {
        CContentsSite::ScriptedAnswer info;
        info.contentType = "application/xml";
        info.body = "<r><title>品</title><filename>" + fileName + "</filename><size>" + (size.empty() ? std::to_string(file.body.size()) : size)
                    + "</size><genre>" + genre + "</genre><extmessage/></r>";
        site->Script("/item/" + id + ".xml", info);
        site->Script("/download/" + id, file);
    }

    static QString ask(const QString& title) { return QStringLiteral("「%1」\nこのコンテンツをインストールしますか？").arg(title); }
};

TEST_F(LibraryFixture, AProgramIsUnpackedListedAndAnnouncedToTheHost)
{
    WindowMessageRecorder messages;
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("オリオン座ものがたり")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("orion-story")), 1);

    const QString prg = root + QStringLiteral("Prg/");
    EXPECT_TRUE(QFile::exists(prg + QStringLiteral("orion_story/info.txt")));
    EXPECT_TRUE(QFile::exists(prg + QStringLiteral("orion_story/orion_story.zsf")));
    EXPECT_FALSE(QFile::exists(prg + QStringLiteral("orion_story.zip")));  // the archive goes once unpacked
    const QByteArray list = TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst"));
    EXPECT_TRUE(list.contains("Num=1")) << list.constData();
    EXPECT_TRUE(list.contains("Script=orion_story.zsf")) << list.constData();

    ASSERT_EQ(messages.Sent(WM_PRGLISTCHANGED).size(), 1);
    EXPECT_EQ(messages.Sent(WM_PRGLISTCHANGED)[0].target, &host);
    EXPECT_EQ(messages.Sent(WM_PRGLISTCHANGED)[0].wParam, 1);
    CDlgContentsLibraryDownload& progress = dialog->ProgressDialog();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.GetDlgItemText(2), QStringLiteral("閉じる(&C)"));
    EXPECT_EQ(progress.GetDlgItemText(1021),
              QStringLiteral("「オリオン座ものがたり」のインストールが完了しました。\n\n番組の一覧から「オリオン座ものがたり」を選んでください。"));
    EXPECT_EQ(progress.Progress().GetPos(), 100);
    EXPECT_FALSE(dialog->isEnabled());

    // closing the progress window gives the library back to the user
    progress.Close();
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_EQ(messages.Sent(WM_CLDOWNLOADCLOSE).size(), 1);

    // both requests carried the module's own agent
    for (const auto& r : site->Requests()) {
        if (r.target.rfind("/item/", 0) == 0 || r.target.rfind("/download/", 0) == 0) {
            EXPECT_EQ(QString::fromStdString(r.userAgent), kAgent) << r.target;
        }
    }

    // a reinstall replaces the entry instead of listing the program twice
    boxes.Expect(ask(QStringLiteral("オリオン座ものがたり")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("「オリオン座ものがたり」\nこのコンテンツはすでにインストールされています。\n上書きしますか？"), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("orion-story")), 1);
    EXPECT_TRUE(TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst")).contains("Num=1"));
}

TEST_F(LibraryFixture, DecliningDownloadsNothing)
{
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("すばるを見上げて")), MB_YESNO, IDNO);
    EXPECT_EQ(download(QStringLiteral("pleiades-scene")), 1);
    EXPECT_EQ(requestsFor("/download/"), 0);
    EXPECT_FALSE(dialog->ProgressDialog().isVisible());
}

TEST_F(LibraryFixture, ASlowDownloadArrivesWholeAndTheCancelButtonStopsOne)
{
    QFile scene(env.Path(QStringLiteral("site/pleiades.zsf")));
    ASSERT_TRUE(scene.open(QIODevice::ReadOnly));
    CContentsSite::ScriptedAnswer slow;
    slow.body = scene.readAll().repeated(200).toStdString();  // many 4096-byte rounds
    slow.pieceBytes = 1500;
    slow.pieceDelayMs = 5;
    site->Script("/download/pleiades-scene", slow);
    CContentsSite::ScriptedAnswer info;
    info.contentType = "application/xml";
    info.body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ContentsLibraryInfo><title>すばる</title><filename>pleiades.zsf</filename><size>"
                + std::to_string(slow.body.size()) + "</size><genre>シーン</genre><extmessage>完了</extmessage></ContentsLibraryInfo>";
    site->Script("/item/pleiades-scene.xml", info);

    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("すばる")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("pleiades-scene")), 1);
    const QString file = root + QStringLiteral("Favorites/pleiades.zsf");
    EXPECT_EQ(TempEnvironment::ReadBytes(file), QByteArray::fromStdString(slow.body));
    dialog->ProgressDialog().Close();

    // the user presses Cancel while the pieces drip in
    slow.pieceDelayMs = 40;
    site->Script("/download/pleiades-scene", slow);
    WindowMessageRecorder messages;
    boxes.Expect(ask(QStringLiteral("すばる")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("「すばる」\nこのコンテンツはすでにインストールされています。\n上書きしますか？"), MB_YESNO, IDYES)
        .Expect(QStringLiteral("ダウンロードを中断しました。"), MB_OK, IDOK);
    QTimer::singleShot(300, dialog.get(), [this] {
        auto* cancel = qobject_cast<QPushButton*>(dialog->ProgressDialog().GetDlgItem(2));
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル(&C)"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    EXPECT_EQ(download(QStringLiteral("pleiades-scene")), 0);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(messages.Sent(WM_CLDOWNLOADCLOSE).size(), 1);
    EXPECT_TRUE(dialog->isEnabled());
}

TEST_F(LibraryFixture, ADownloadOfManyBlocksArrivesByteForByte)
{
    // larger than the block the download writes at once, and no multiple of 4096 bytes
    std::string body(300001, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char(i * 7 % 251);
    CContentsSite::ScriptedAnswer file, info;
    file.body = body;
    site->Script("/download/long-animation", file);
    info.contentType = "application/xml";
    info.body = "<r><title>長い流星群</title><filename>long.zsf</filename><size>" + std::to_string(body.size())
                + "</size><genre>アニメーション</genre><extmessage/></r>";
    site->Script("/item/long-animation.xml", info);
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("長い流星群")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("long-animation")), 1);
    EXPECT_EQ(TempEnvironment::ReadBytes(root + QStringLiteral("Favorites/long.zsf")), QByteArray::fromStdString(body));
}

TEST_F(LibraryFixture, ADownloadLongerThanItsSizeLeavesNoFile)
{
    MessageBoxScript boxes;
    CContentsSite::ScriptedAnswer longer;
    longer.body = std::string(300000, 'y');
    site->Script("/download/meteor-animation", longer);
    boxes.Expect(ask(QStringLiteral("ふたご座流星群の夜")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("コンテンツのサイズが一致しません（ダウンロードに失敗した可能性があります）。"), MB_OK, IDOK);
    EXPECT_EQ(download(QStringLiteral("meteor-animation")), 0);
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Favorites/geminids.zsf")));
    EXPECT_FALSE(dialog->ProgressDialog().isVisible());
    EXPECT_TRUE(dialog->isEnabled());
}

TEST_F(LibraryFixture, AnItemDocumentThatBreaksOffEndsItsParseAndIsReportedAfterIt)
{
    CContentsSite::ScriptedAnswer cut;
    cut.body = "<r><title>品</title>";
    cut.announced = 1000;
    site->Script("/item/cut.xml", cut);
    CInternetSession session(dialog->UserAgent());
    CSequentialStreamFromFile stream(session.OpenURL(QString::fromStdString(site->BaseUrl() + "/item/cut.xml")), CContentsInfo::kDocumentLimit);
    QDomDocument document;
    EXPECT_NO_THROW(document.setContent(&stream));  // the failure never passes through Qt's parser
    EXPECT_TRUE(stream.Failure().has_value());
    MessageBoxScript boxes;
    boxes.Expect(QStringLiteral("コンテンツ・ライブラリに接続できませんでした。"), MB_OK, IDOK);
    EXPECT_EQ(download(QStringLiteral("cut")), 0);
}

TEST_F(LibraryFixture, ADownloadThatFallsSilentEndsAfterTheReceiveTimeoutAndKeepsWhatArrived)
{
    // no size announced (0), so only the data's end would stop it; the site falls silent half-way
    CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("ReceiveTimeout"), 1);
    CContentsSite::ScriptedAnswer stalled;
    stalled.body = std::string(100000, 's');
    stalled.announced = 200000;
    stalled.stallMs = 3000;
    offer("stalled", "stalled.zsf", "アニメーション", stalled, "0");
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("品")), MB_YESNO, IDYES).Expect(QStringLiteral("コンテンツがダウンロードできませんでした。"), MB_OK, IDOK);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(download(QStringLiteral("stalled")), 0);
    EXPECT_LT(clock.elapsed(), 2000);
    const QByteArray kept = TempEnvironment::ReadBytes(root + QStringLiteral("Favorites/stalled.zsf"));
    EXPECT_FALSE(kept.isEmpty());
    EXPECT_TRUE(QByteArray::fromStdString(stalled.body).startsWith(kept));
}

TEST_F(LibraryFixture, ACutDownloadGoesOnOnlyFromAPartItsRecordVouchesForAndOnlyTheSitesBytesAreKept)
{
    const QString served = env.Path(QStringLiteral("site/pleiades.zsf")), file = root + QStringLiteral("Favorites/pleiades.zsf");
    const QString record = file + QStringLiteral(".zvnpart");
    QByteArray body(300001, '\0');  // many blocks, no multiple of 4096
    for (int i = 0; i < body.size(); ++i)
        body[i] = char(i * 7 % 251);
    const QByteArray changed = QByteArray(body).replace('\1', '\2');
    const qint64 half = body.size() / 2;
    const auto overwrite = [](const QString& title) { return QStringLiteral("「%1」\nこのコンテンツはすでにインストールされています。\n上書きしますか？").arg(title); };
    struct Row {
        const char* name;
        std::function<void()> between;  // after the cut try
        bool rangeAsked;
        QByteArray kept;  // the file after the second try; empty: refused and nothing left
        qint64 moved;     // bytes the site sent for the second try; -1 when it was a script
    };
    const Row rows[] = {
        {"resumed", [] {}, true, body, body.size() - half},
        {"the site's file changed", [&] { TempEnvironment::WriteBytes(served, changed); }, true, changed, body.size()},
        {"no record", [&] { QFile::remove(record); }, false, body, body.size()},
        {"longer than the size", [&] {
             TempEnvironment::WriteBytes(file, body + "x");
             TempEnvironment::WriteBytes(record, TempEnvironment::ReadBytes(record).replace("length=" + QByteArray::number(half),
                                                                                           "length=" + QByteArray::number(body.size() + 1)));
         }, false, body, body.size()},
        {"a site that ignores Range", [&] {
             CContentsSite::ScriptedAnswer whole;
             whole.body = body.toStdString();
             site->Script("/download/pleiades-scene", whole);
         }, true, body, -1},
        {"a hash that differs", [&] {  // the rest comes, and the whole is refused
             CContentsSite::ScriptedAnswer info;
             info.body = "<r><title>品</title><filename>pleiades.zsf</filename><size>" + std::to_string(body.size())
                         + "</size><genre>シーン</genre><extmessage/><sha256>" + std::string(64, 'a') + "</sha256></r>";
             site->Script("/item/pleiades-scene.xml", info);
         }, true, {}, body.size() - half},
    };
    MessageBoxScript boxes;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        site->ClearScripts();
        TempEnvironment::WriteBytes(served, body);
        QFile::remove(file);
        site->CutAfter("pleiades-scene", half);
        boxes.Expect(ask(QStringLiteral("すばるを見上げて")), MB_YESNO, IDYES).Expect(QStringLiteral("コンテンツがダウンロードできませんでした。"), MB_OK, IDOK);
        EXPECT_EQ(download(QStringLiteral("pleiades-scene")), 0);
        EXPECT_EQ(TempEnvironment::ReadBytes(file), body.left(half));
        EXPECT_TRUE(QFile::exists(record));
        row.between();
        const long long before = site->BytesSent();
        const QString title = row.kept.isEmpty() ? QStringLiteral("品") : QStringLiteral("すばるを見上げて");  // the refused one is scripted
        boxes.Expect(ask(title), MB_YESNO, IDYES).Expect(overwrite(title), MB_YESNO, IDYES);
        if (row.kept.isEmpty())
            boxes.Expect(QStringLiteral("コンテンツのサイズが一致しません（ダウンロードに失敗した可能性があります）。"), MB_OK, IDOK);
        EXPECT_EQ(download(QStringLiteral("pleiades-scene")), row.kept.isEmpty() ? 0 : 1);
        dialog->ProgressDialog().Close();
        const CContentsSite::Request last = site->Requests().back();  // a copy: the list is a copy too
        EXPECT_EQ(last.range, row.rangeAsked ? "bytes=" + std::to_string(half) + "-" : "");
        EXPECT_EQ(last.ifRange.empty(), !row.rangeAsked);
        if (row.moved >= 0) {
            EXPECT_EQ(site->BytesSent() - before, row.moved);
        }
        EXPECT_EQ(TempEnvironment::ReadBytes(file), row.kept);
        EXPECT_EQ(QFile::exists(file), !row.kept.isEmpty());
        EXPECT_FALSE(QFile::exists(record));
    }
}

TEST_F(LibraryFixture, ADownloadLongerThanAnnouncedStopsAtOnce)
{
    // the site announces far more, sends a little more than the document's size, then falls
    // silent longer than the receive timeout: only a download that stops at the overrun
    // reports the size; one that reads on meets the timeout instead
    CContentsSite::ScriptedAnswer longer, info;
    longer.body = std::string(30000, 'y');
    longer.announced = 1LL << 30;
    longer.stallMs = 2500;
    site->Script("/download/meteor-animation", longer);
    info.contentType = "application/xml";
    info.body = "<r><title>ふたご座流星群の夜</title><filename>geminids.zsf</filename><size>20000</size><genre>アニメーション</genre><extmessage/></r>";
    site->Script("/item/meteor-animation.xml", info);
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("ふたご座流星群の夜")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("コンテンツのサイズが一致しません（ダウンロードに失敗した可能性があります）。"), MB_OK, IDOK);
    EXPECT_EQ(download(QStringLiteral("meteor-animation")), 0);
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Favorites/geminids.zsf")));
}

TEST_F(LibraryFixture, AFullDiskMidDownloadLeavesTheListAndTheSettingsAsTheyWere)
{
    const ScopedMount disk = ScopedMount::Tmpfs(env.Path(QStringLiteral("Contents")), 64 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    const QString prg = root + QStringLiteral("Prg/");
    const QByteArray list = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=0\r\n";
    ASSERT_TRUE(TempEnvironment::WriteBytes(prg + QStringLiteral("zvnprg.lst"), list));
    CContentsSite::ScriptedAnswer big, info;
    big.body = std::string(200 * 1024, 'z');
    site->Script("/download/summer-triangle", big);
    info.contentType = "application/xml";
    info.body = "<r><title>夏</title><filename>summer_triangle.zip</filename><size>" + std::to_string(big.body.size())
                + "</size><genre>プラネタリウム番組</genre><extmessage/></r>";
    site->Script("/item/summer-triangle.xml", info);
    CRegistry::Write(QStringLiteral("Exchange"), QStringLiteral("ContentsLibrary"), QStringLiteral("summer-triangle"));
    const QByteArray settings = TempEnvironment::ReadBytes(env.SettingsFile());

    WindowMessageRecorder messages;
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("夏")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("コンテンツのサイズが一致しません（ファイル作成に失敗した可能性があります）。\nファイルを削除しました。"), MB_OK, IDOK);
    EXPECT_EQ(dialog->Download(), 0);
    EXPECT_EQ(TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst")), list);
    EXPECT_EQ(QDir(prg).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"zvnprg.lst"});
    EXPECT_EQ(TempEnvironment::ReadBytes(env.SettingsFile()), settings);
    EXPECT_TRUE(messages.Sent(WM_PRGLISTCHANGED).isEmpty());
}

TEST_F(LibraryFixture, AdditionalObjectsAreRegisteredInTheFirstFreeNumberUpToForty)
{
    const QString section = QStringLiteral("General\\ADF");
    CRegistry::Write(section, QStringLiteral("ADF1"), QStringLiteral("/a.adf,A"));
    CRegistry::Write(section, QStringLiteral("ADF3"), QStringLiteral("/c.adf,C"));
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("ゼント彗星（2026年）")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("comet-2026")), 1);
    QString value;
    CRegistry::Read(section, QStringLiteral("ADF2"), QString(), value);
    EXPECT_EQ(value, root + QStringLiteral("Adf/comet_zento_2026.adf,ゼント彗星（2026年）"));
    CRegistry::Read(section, QStringLiteral("ADF3"), QString(), value);
    EXPECT_EQ(value, QStringLiteral("/c.adf,C"));  // the entry after the gap stays
    dialog->ProgressDialog().Close();

    // every number but the last taken: the object goes into the fortieth
    for (int n = 1; n < 40; ++n)
        CRegistry::Write(section, QStringLiteral("ADF%1").arg(n), QStringLiteral("/x%1.adf,X").arg(n));
    boxes.Expect(ask(QStringLiteral("ゼント彗星（2026年）")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("「ゼント彗星（2026年）」\nこのコンテンツはすでにインストールされています。\n上書きしますか？"), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("comet-2026")), 1);
    CRegistry::Read(section, QStringLiteral("ADF40"), QString(), value);
    EXPECT_EQ(value, root + QStringLiteral("Adf/comet_zento_2026.adf,ゼント彗星（2026年）"));
    dialog->ProgressDialog().Close();

    for (int n = 1; n <= 40; ++n)
        CRegistry::Write(section, QStringLiteral("ADF%1").arg(n), QStringLiteral("/x%1.adf,X").arg(n));
    const int before = requestsFor("/download/");
    boxes.Expect(ask(QStringLiteral("ゼント彗星（2026年）")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("「ゼント彗星（2026年）」\nこのコンテンツはすでにインストールされています。\n上書きしますか？"), MB_YESNO, IDYES)
        .Expect(QStringLiteral("追加天体の登録数が上限なので、追加天体をインストールできません。"), MB_OK, IDOK);
    EXPECT_EQ(download(QStringLiteral("comet-2026")), 0);
    EXPECT_EQ(requestsFor("/download/"), before);
}

TEST_F(LibraryFixture, NamesAndArchivesLandOnNothingTheModuleKeeps)
{
    const QString prg = root + QStringLiteral("Prg/");
    const QByteArray list = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=0\r\n";
    ASSERT_TRUE(TempEnvironment::WriteBytes(prg + QStringLiteral("zvnprg.lst"), list));
    CContentsSite::ScriptedAnswer file;
    file.body = "abc";
    MessageBoxScript boxes;
    for (const char* name : {"../evil.zsf", "a/b.zsf", "/tmp/x.zsf", "a\\b.zsf", "..", ".zip", "...zip", "zvnprg.lst", "ZVNPRG.TMP"}) {
        offer("bad", name, "プラネタリウム番組", file);
        boxes.Expect(QStringLiteral("コンテンツ情報が正しくありません。"), MB_OK, IDOK);
        EXPECT_EQ(download(QStringLiteral("bad")), 0) << name;
    }
    for (const char* name : {"Prg", "a.zsf.ZVNPART"}) {  // on the programs' folder in the install root; on a download's record
        offer("bad", name, "その他", file);
        boxes.Expect(QStringLiteral("コンテンツ情報が正しくありません。"), MB_OK, IDOK);
        EXPECT_EQ(download(QStringLiteral("bad")), 0);
    }
    EXPECT_EQ(requestsFor("/download/"), 0);
    EXPECT_EQ(TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst")), list);

    // an item document past its 1 MiB is none, though its element closed before the limit
    CContentsSite::ScriptedAnswer huge;
    huge.body = "<r><title>品</title><filename>a.zsf</filename><size>3</size><genre>シーン</genre></r>" + std::string(1 << 20, ' ');
    site->Script("/item/huge.xml", huge);
    boxes.Expect(QStringLiteral("コンテンツ情報が見つかりません。"), MB_OK, IDOK);
    EXPECT_EQ(download(QStringLiteral("huge")), 0);

    // two leading dots are a name like any other
    offer("dots", "..zsf", "シーン", file);
    boxes.Expect(ask(QStringLiteral("品")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("dots")), 1);
    EXPECT_EQ(TempEnvironment::ReadBytes(root + QStringLiteral("Favorites/..zsf")), "abc");

    // packages: one that would put a list of its own beside the programs is refused whole, one
    // without its scene reaches 16312, and one with extra entries installs with them
    const auto package = [&](std::vector<std::pair<std::string, std::string>> entries, const QString& then = {}) {
        const QString zip = env.Path(QStringLiteral("package.zip"));
        entries.insert(entries.begin(), {{"pkg/", ""}, {"pkg/info.txt", "Title=品\r\nScript=pkg.zsf\r\n"}});
        EXPECT_TRUE(CContentsSite::WriteZip(zip.toStdString(), entries));
        CContentsSite::ScriptedAnswer archive;
        archive.body = TempEnvironment::ReadBytes(zip).toStdString();
        offer("pkg", "pkg.zip", "プラネタリウム番組", archive);
        boxes.Expect(ask(QStringLiteral("品")), MB_YESNO, IDYES);
        if (!then.isEmpty())
            boxes.Expect(then, MB_OK, IDOK);
        return download(QStringLiteral("pkg"));
    };
    EXPECT_EQ(package({{"pkg/pkg.zsf", "scene"}, {"zvnprg.lst", "theirs"}}), 0);
    EXPECT_EQ(package({{"pkg/pkg.zsf", "scene"}, {"pkg.zip.zvnpart", "theirs"}}), 0);
    EXPECT_EQ(TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst")), list);
    EXPECT_FALSE(QDir(prg + QStringLiteral("pkg")).exists());
    EXPECT_EQ(package({{"readme.txt", "read me"}}, QStringLiteral("インストールに必要なファイルが見つかりません。")), 0);
    EXPECT_EQ(QDir(prg).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"zvnprg.lst"});
    EXPECT_EQ(package({{"pkg/pkg.zsf", "scene"}, {"pkg/picture.png", "png"}, {"readme.txt", "read me"}}), 1);
    EXPECT_TRUE(QFile::exists(prg + QStringLiteral("pkg/picture.png")));
    EXPECT_TRUE(QFile::exists(prg + QStringLiteral("readme.txt")));
    EXPECT_TRUE(TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst")).contains("Script=pkg.zsf"));
}

TEST_F(LibraryFixture, ThePlaceIsSavedOnceWhenTheWindowGoes)
{
    const auto saved = [] {
        QString value;
        CRegistry::Read(QStringLiteral("Dialog\\ContentsLibrary"), QStringLiteral("WindowPosSize"), QString(), value);
        return value;
    };
    dialog->move(40, 50);
    dialog.reset();  // the host deletes it without ending it
    EXPECT_TRUE(saved().startsWith(QStringLiteral("40,50,"))) << saved().toStdString();
    CDlgContentsLibrary modal(&host);
    QTimer::singleShot(0, &modal, [&modal] {
        modal.move(60, 70);
        modal.EndDialog(2);
    });
    EXPECT_EQ(modal.DoModal(), 2);
    modal.move(80, 90);
    modal.EndDialog(2);  // ended once more: nothing more is saved
    EXPECT_TRUE(saved().startsWith(QStringLiteral("60,70,"))) << saved().toStdString();
}

TEST_F(LibraryFixture, TheSiteIsShownOverHttpsWithTheModulesAgentOnlyWhenItsAuthorityIsTrusted)
{
    const auto openAndWait = [this] {
        dialog = std::make_unique<CDlgContentsLibrary>(&host);
        dialog->m_strInstallRoot = root;
        EXPECT_EQ(dialog->Create(&host), 1);
        QElapsedTimer clock;
        clock.start();
        while (!dialog->IsBrowserReady() && clock.elapsed() < 20000)
            QTest::qWait(50);
    };
    const auto pageRequests = [this] {
        int n = 0;
        for (const auto& r : site->Requests())
            n += r.target == "/" && QString::fromStdString(r.userAgent) == kAgent;
        return n;
    };

    // the fixture's library dialog opened the site with the trusted authority named
    EXPECT_FALSE(dialog->GetDlgItem(2)->isEnabled());
    EXPECT_TRUE(dialog->GetDlgItem(1023)->isVisible());
    QElapsedTimer clock;
    clock.start();
    while (!dialog->IsBrowserReady() && clock.elapsed() < 20000)
        QTest::qWait(50);
    ASSERT_TRUE(dialog->IsBrowserReady());
    EXPECT_TRUE(dialog->GetDlgItem(2)->isEnabled());
    EXPECT_FALSE(dialog->GetDlgItem(1023)->isVisible());
    const int asked = pageRequests();
    EXPECT_GE(asked, 1);

    // without the setting, the site's own certificate is refused before any page is asked for
    dialog.reset();
    CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("TrustedCA"), QString());
    openAndWait();
    EXPECT_EQ(pageRequests(), asked);
}

}  // namespace
