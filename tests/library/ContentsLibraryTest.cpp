// The content library against the local site over real HTTPS on 127.0.0.1: what lands on disk, in the program
// list and in the settings, the boxes the user sees, the messages the host gets, the requests the site saw.
#include "frame/ModuleMessages.h"
#include "library/ContentsInstall.h"
#include "library/ContentsTransfer.h"
#include "library/DlgContentsLibrary.h"
#include "platform/MessageBox.h"
#include "services/ContentsSite.h"
#include "support/zvnreg/Registry.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempEnvironment.h"
#include "tests/support/WindowMessageRecorder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <sys/stat.h>

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

    // the item `id`: its document names the file, genre and the answer's length; the answer is the file
    void offer(const std::string& id, const std::string& fileName, const std::string& genre, const CContentsSite::ScriptedAnswer& file)
    {
        CContentsSite::ScriptedAnswer info;
        info.contentType = "application/xml";
        info.body = "<r><title>品</title><filename>" + fileName + "</filename><size>" + std::to_string(file.body.size()) + "</size><genre>" + genre
                    + "</genre><extmessage/></r>";
        site->Script("/item/" + id + ".xml", info);
        site->Script("/download/" + id, file);
    }

    static QString ask(const QString& title) { return QStringLiteral("「%1」\nこのコンテンツをインストールしますか？").arg(title); }

    // the progress bar's last position; the user cancels before round `cancelAt`
    struct Bar : contents::CTransfer::Observer {
        int cancelAt = -1, rounds = 0, first = -1, last = 0;
        void Progress(int position) override
        {
            if (first < 0)
                first = position;
            last = position;
        }
        bool IsCancelled() override { return rounds++ == cancelAt; }
    };
    // the transfer alone: the site's file of item `id` into `file`
    contents::CTransfer::Result transfer(const std::string& id, const QString& file, int size, const QByteArray& sha256, Bar& bar)
    {
        contents::CTransfer transfer(kAgent, QString::fromStdString(site->BaseUrl() + "/download/" + id), file, size, sha256);
        return transfer.Run(bar);
    }
};

// many 4096-byte rounds and blocks, and no multiple of 4096
QByteArray pattern()
{
    QByteArray body(300001, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = char(i * 7 % 251);
    return body;
}

TEST_F(LibraryFixture, AProgramIsUnpackedListedAndAnnouncedToTheHost)
{
    WindowMessageRecorder messages;
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("オリオン座ものがたり")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("orion-story")), 1);

    const QString prg = root + QStringLiteral("Prg/");
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

    // declining the overwrite keeps what is installed: nothing is fetched, the list stays as it is
    const int fetched = requestsFor("/download/");
    const QByteArray listed = TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst"));
    boxes.Expect(ask(QStringLiteral("オリオン座ものがたり")), MB_YESNO, IDYES)
        .Expect(QStringLiteral("「オリオン座ものがたり」\nこのコンテンツはすでにインストールされています。\n上書きしますか？"), MB_YESNO, IDNO);
    EXPECT_EQ(download(QStringLiteral("orion-story")), 0);
    EXPECT_EQ(requestsFor("/download/"), fetched);
    EXPECT_EQ(TempEnvironment::ReadBytes(prg + QStringLiteral("zvnprg.lst")), listed);
}

TEST_F(LibraryFixture, DecliningFetchesNothingAndTheCancelButtonStopsADownload)
{
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("すばるを見上げて")), MB_YESNO, IDNO);
    EXPECT_EQ(download(QStringLiteral("pleiades-scene")), 1);
    EXPECT_EQ(requestsFor("/download/"), 0);

    // the user presses Cancel while the pieces drip in
    CContentsSite::ScriptedAnswer slow;
    slow.body = std::string(1 << 20, 's');
    slow.pieceBytes = 1500;
    slow.pieceDelayMs = 40;
    offer("slow", "slow.zsf", "シーン", slow);
    WindowMessageRecorder messages;
    boxes.Expect(ask(QStringLiteral("品")), MB_YESNO, IDYES).Expect(QStringLiteral("ダウンロードを中断しました。"), MB_OK, IDOK);
    QTimer::singleShot(300, dialog.get(), [this] {
        auto* cancel = qobject_cast<QPushButton*>(dialog->ProgressDialog().GetDlgItem(2));
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル(&C)"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    EXPECT_EQ(download(QStringLiteral("slow")), 0);
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Favorites/slow.zsf")));
    EXPECT_EQ(messages.Sent(WM_CLDOWNLOADCLOSE).size(), 1);
}

// Each way a download fails is told in its own words, and nothing of it is left in the install root.
TEST_F(LibraryFixture, EachFailureIsToldInItsOwnWordsAndLeavesNothing)
{
    const auto document = [](const std::string& fileName, const std::string& size, const std::string& genre, const std::string& more = {}) {
        CContentsSite::ScriptedAnswer info;
        info.contentType = "application/xml";
        info.body = "<r><title>品</title><filename>" + fileName + "</filename>" + (size.empty() ? "" : "<size>" + size + "</size>")
                    + "<genre>" + genre + "</genre><extmessage/>" + more + "</r>";
        return info;
    };
    CContentsSite::ScriptedAnswer gone, cut, file;
    gone.status = 404;
    gone.body = "gone";
    cut.body = std::string(10, 'c');
    cut.announced = 1000;
    file.body = "abc";
    // a package whose archive holds no folder of its name: its scene is not there
    CContentsSite::ScriptedAnswer other;
    other.body = TempEnvironment::ReadBytes(env.Path(QStringLiteral("site/orion_story.zip"))).toStdString();
    ASSERT_FALSE(other.body.empty());
    TempEnvironment::WriteBytes(root + QStringLiteral("Adf"), "");  // no folder can be made where a file is
    QDir().mkpath(root + QStringLiteral("Favorites/taken.zsf"));    // nor a file where a folder is
    QDir().mkpath(root + QStringLiteral("Prg"));
    const struct {
        const char* id;
        CContentsSite::ScriptedAnswer info, answer;
        bool asked;  // the install question comes before the failure
        QString box;
    } rows[] = {
        {"no-size", document("a.zsf", "", "シーン"), file, false, QStringLiteral("コンテンツ情報が取得できませんでした。")},
        {"bad-hash", document("a.zip", "3", "プラネタリウム番組", "<sha256>not-a-hash</sha256>"), file, false,
         QStringLiteral("コンテンツ情報が正しくありません。")},
        {"gone", document("gone.zsf", "4", "シーン"), gone, true, QStringLiteral("コンテンツが見つかりません。")},
        {"short", document("short.zsf", "5", "シーン"), file, true, QStringLiteral("コンテンツのサイズが一致しません（ダウンロードに失敗した可能性があります）。")},
        {"cut", document("cut.zsf", "1000", "シーン"), cut, true, QStringLiteral("コンテンツがダウンロードできませんでした。")},
        {"no-folder", document("comet.adf", "3", "追加天体"), file, true, QStringLiteral("ディレクトリが作成できませんでした。")},
        {"occupied", document("taken.zsf", "3", "シーン"), file, true, QStringLiteral("コンテンツがインストールできません。")},
        {"no-scene", document("other.zip", std::to_string(other.body.size()), "プラネタリウム番組"), other, true,
         QStringLiteral("インストールに必要なファイルが見つかりません。")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        site->Script("/item/" + std::string(row.id) + ".xml", row.info);
        site->Script("/download/" + std::string(row.id), row.answer);
        const auto before = QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        MessageBoxScript boxes;
        if (row.asked)
            boxes.Expect(ask(QStringLiteral("品")), MB_YESNO, IDYES);
        boxes.Expect(row.box, MB_OK, IDOK);
        EXPECT_EQ(download(QString::fromLatin1(row.id)), 0);
        dialog->ProgressDialog().Close();
        EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        for (const char* folder : {"Favorites", "Prg"})
            for (const QString& name : QDir(root + QString::fromLatin1(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
                EXPECT_TRUE(name == QStringLiteral("taken.zsf") || name.startsWith(QStringLiteral("cut.zsf")))
                    << name.toStdString();  // the cut download keeps its part and record, to go on from
    }
}

TEST_F(LibraryFixture, TheTransferKeepsOnlyTheSitesWholeFile)
{
    using Result = contents::CTransfer::Result;
    CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("ReceiveTimeout"), 1);
    const QByteArray body = pattern();
    const QByteArray sha256 = QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex();
    enum Kept { Nothing, Whole, Part };
    struct Row {
        const char* name;
        std::string body;
        int size;  // -1: the body's
        QByteArray sha256;
        int cancelAt, status = 200;
        long long announced = -1;  // then silent longer than the receive timeout
        Result result = Result::Done;
        Kept kept = Whole;
    };
    const Row rows[] = {
        {"many blocks", body.toStdString(), -1, {}, -1},
        {"a multiple of 4096 ends on a read of nothing", std::string(8192, 'm'), -1, {}, -1},
        {"its hash", body.toStdString(), -1, sha256, -1},
        {"another hash", body.toStdString(), -1, QByteArray(64, 'a'), -1, 200, -1, Result::SizeDownload, Nothing},
        {"longer than its size", body.toStdString(), int(body.size()) - 1, {}, -1, 200, -1, Result::SizeDownload, Nothing},
        {"shorter than its size", body.toStdString(), int(body.size()) + 1, {}, -1, 200, -1, Result::SizeDownload, Nothing},
        {"cancelled", body.toStdString(), -1, {}, 2, 200, -1, Result::Cancelled, Nothing},
        {"not on the site", "gone", -1, {}, -1, 404, -1, Result::NotFound, Nothing},
        {"more than its size and silent: stopped at the overrun", std::string(30000, 'y'), 20000, {}, -1, 200, 1LL << 30, Result::SizeDownload, Nothing},
        {"no size (0) and silent half-way", std::string(100000, 's'), 0, {}, -1, 200, 200000, Result::CannotDownload, Part},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CContentsSite::ScriptedAnswer answer;
        answer.status = row.status;
        answer.body = row.body;
        answer.announced = row.announced;
        // silent far longer than the receive timeout of 1 s, so the bound below proves the timeout
        // ended the transfer, with seconds to spare on a loaded machine
        answer.stallMs = row.announced > 0 ? 6000 : 0;
        site->Script("/download/item", answer);
        const QString file = env.Path(QStringLiteral("item.zsf"));
        Bar bar;
        bar.cancelAt = row.cancelAt;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(transfer("item", file, row.size < 0 ? int(row.body.size()) : row.size, row.sha256, bar), row.result);
        EXPECT_LT(clock.elapsed(), 4500);
        const QByteArray kept = TempEnvironment::ReadBytes(file);
        EXPECT_EQ(QFile::exists(file), row.kept != Nothing);
        if (row.kept == Whole) {
            EXPECT_EQ(kept, QByteArray::fromStdString(row.body));
            EXPECT_EQ(bar.last, 100);
        }
        if (row.kept == Part) {
            EXPECT_FALSE(kept.isEmpty());
            EXPECT_TRUE(QByteArray::fromStdString(row.body).startsWith(kept));
        }
        QFile::remove(file);
    }
}

TEST_F(LibraryFixture, AnItemDocumentThatBreaksOffIsReportedAsNoConnection)
{
    CContentsSite::ScriptedAnswer cut;
    cut.body = "<r><title>品</title>";
    cut.announced = 1000;
    site->Script("/item/cut.xml", cut);
    MessageBoxScript boxes;
    boxes.Expect(QStringLiteral("コンテンツ・ライブラリに接続できませんでした。"), MB_OK, IDOK);
    EXPECT_EQ(download(QStringLiteral("cut")), 0);
}

TEST_F(LibraryFixture, ACutTransferGoesOnOnlyFromAPartItsRecordVouchesForAndOnlyTheSitesBytesAreKept)
{
    using Result = contents::CTransfer::Result;
    const QString served = env.Path(QStringLiteral("site/pleiades.zsf")), file = env.Path(QStringLiteral("pleiades.zsf"));
    const QString record = file + QStringLiteral(".zvnpart");
    const QByteArray body = pattern(), changed = QByteArray(body).replace('\1', '\2');
    const qint64 half = body.size() / 2;
    const std::string range = "bytes=" + std::to_string(half) + "-", whole;
    // what a site that will not continue the part answers once, before its own answer
    const auto refusing = [&](int status, std::string contentRange, std::string etag, std::string bytes) {
        CContentsSite::ScriptedAnswer answer;
        answer.status = status;
        answer.body = std::move(bytes);
        if (!contentRange.empty())
            answer.headers.push_back({"Content-Range", contentRange});
        if (!etag.empty())
            answer.headers.push_back({"ETag", etag});
        return [this, answer] { site->Script("/download/pleiades-scene", answer, 1); };
    };
    const std::string rest = changed.mid(half).toStdString(), tail = "bytes " + std::to_string(half) + "-" + std::to_string(body.size() - 1) + "/"
                                                                         + std::to_string(body.size());
    // the record with one of its lines changed, or grown past what a record can be
    const auto recordWith = [&](QByteArray key, QByteArray value) {
        return [&, key, value] {
            QList<QByteArray> lines = TempEnvironment::ReadBytes(record).split('\n');
            for (QByteArray& line : lines)
                if (line.startsWith(key + "="))
                    line = key + "=" + value;
            TempEnvironment::WriteBytes(record, lines.join('\n'));
        };
    };
    const auto recordALink = [&] {
        QFile::rename(record, record + ".elsewhere");
        QFile::link(record + ".elsewhere", record);
    };
    const auto recordOversized = [&] { TempEnvironment::WriteBytes(record, TempEnvironment::ReadBytes(record) + QByteArray(1 << 20, '\n')); };
    const QByteArray sha256 = QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex();
    struct Row {
        const char* name;
        std::function<void()> between;  // after the cut try
        QByteArray sha256;
        std::vector<std::string> ranges;  // the Range of each request of the second try
        QByteArray kept;  // the file after the second try; empty: refused and nothing left
        qint64 moved;     // bytes the site's own answers sent for the second try
    };
    const Row rows[] = {
        {"resumed", [] {}, {}, {range}, body, body.size() - half},
        // the part already on disk is hashed with the rest
        {"resumed, its hash checked", [] {}, sha256, {range}, body, body.size() - half},
        // a record that does not vouch for the part: the file comes whole
        {"a record for another address", recordWith("url", "https://127.0.0.1:1/download/other"), {}, {whole}, body, body.size()},
        {"a record of another size", recordWith("size", "12"), {}, {whole}, body, body.size()},
        {"a record of another length", recordWith("length", QByteArray::number(half - 1)), {}, {whole}, body, body.size()},
        {"a record that is a link", recordALink, {}, {whole}, body, body.size()},
        {"a record past its limit", recordOversized, {}, {whole}, body, body.size()},
        {"the site's file changed", [&] { TempEnvironment::WriteBytes(served, changed); }, {}, {range}, changed, body.size()},
        {"no record", [&] { QFile::remove(record); }, {}, {whole}, body, body.size()},
        // the rest comes, and the whole is refused
        {"a hash that differs", [] {}, QByteArray(64, 'a'), {range}, {}, body.size() - half},
        // a part the site will not continue goes, and the file comes whole in the same try
        {"the range refused (416)", refusing(416, "bytes */" + std::to_string(body.size()), "", ""), {}, {range, whole}, body, body.size()},
        {"a 206 from elsewhere", refusing(206, "bytes 0-9/" + std::to_string(body.size()), "", body.left(10).toStdString()), {}, {range, whole}, body,
         body.size()},
        {"a 206 without its range", refusing(206, "", "", rest), {}, {range, whole}, body, body.size()},
        {"a 206 of a changed file whose site ignored If-Range", refusing(206, tail, "\"another\"", rest), {}, {range, whole}, body, body.size()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempEnvironment::WriteBytes(served, body);
        QFile::remove(file);
        site->CutAfter("pleiades-scene", half);
        Bar bar;
        EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), {}, bar), Result::CannotDownload);
        EXPECT_EQ(TempEnvironment::ReadBytes(file), body.left(half));
        EXPECT_TRUE(QFile::exists(record));
        row.between();
        const long long before = site->BytesSent();
        const size_t asked = site->Requests().size();
        Bar second;
        EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), row.sha256, second), row.kept.isEmpty() ? Result::SizeDownload : Result::Done);
        // the bar starts at the part's share when the part goes on, at the start when it does not
        EXPECT_EQ(second.first >= 50, row.moved == body.size() - half) << second.first;
        std::vector<std::string> ranges;
        for (const auto& r : site->Requests())  // a copy: the list is a copy too
            ranges.push_back(r.range);
        ranges.erase(ranges.begin(), ranges.begin() + qsizetype(asked));
        EXPECT_EQ(ranges, row.ranges);
        EXPECT_EQ(site->Requests().back().ifRange.empty(), row.ranges.back().empty());
        // a part goes on under the site's strong ETag, never its date
        if (!row.ranges.front().empty()) {
            EXPECT_EQ('"', site->Requests()[asked].ifRange.front());
        }
        EXPECT_EQ(site->BytesSent() - before, row.moved);
        EXPECT_EQ(TempEnvironment::ReadBytes(file), row.kept);
        EXPECT_EQ(QFile::exists(file), !row.kept.isEmpty());
        EXPECT_FALSE(QFile::exists(record));
    }
    // the bar shows the part's share before the rest comes: cancelled at once, it stood there
    QFile::remove(file);
    site->CutAfter("pleiades-scene", half);
    Bar cut, cancelled;
    EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), {}, cut), Result::CannotDownload);
    cancelled.cancelAt = 0;
    EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), {}, cancelled), Result::Cancelled);
    EXPECT_EQ(cancelled.first, 50);
}

// Where the file and its record go, a link is never written through and a FIFO never waited on.
TEST_F(LibraryFixture, ADownloadWritesNoFileButItsOwn)
{
    using Result = contents::CTransfer::Result;
    const QByteArray body = TempEnvironment::ReadBytes(env.Path(QStringLiteral("site/pleiades.zsf")));
    const QString file = env.Path(QStringLiteral("pleiades.zsf")), record = file + QStringLiteral(".zvnpart");
    const QString victim = env.Path(QStringLiteral("precious.txt"));
    const auto regular = [](const QString& path) { return QFileInfo(path).isFile() && !QFileInfo(path).isSymLink(); };
    Bar bar;

    TempEnvironment::WriteBytes(victim, "precious");
    ASSERT_TRUE(QFile::link(victim, file));
    EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), {}, bar), Result::Done);
    EXPECT_EQ(TempEnvironment::ReadBytes(victim), "precious");
    EXPECT_TRUE(regular(file));
    EXPECT_EQ(TempEnvironment::ReadBytes(file), body);

    // the record of a cut download, where a link was planted while the bytes came
    struct Planting : Bar {
        QString target, link;
        bool IsCancelled() override { return rounds++ == 0 && !QFile::link(target, link); }
    } planting;
    planting.target = victim;
    planting.link = record;
    QFile::remove(file);
    site->CutAfter("pleiades-scene", 100);
    EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), {}, planting), Result::CannotDownload);
    EXPECT_EQ(TempEnvironment::ReadBytes(victim), "precious");
    EXPECT_TRUE(regular(record));

    // a part with a FIFO for its record: opening it to read would wait for a writer for ever
    QFile::remove(record);
    ASSERT_EQ(0, ::mkfifo(QFile::encodeName(record).constData(), 0600));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(transfer("pleiades-scene", file, int(body.size()), {}, bar), Result::Done);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(TempEnvironment::ReadBytes(file), body);
    EXPECT_FALSE(QFileInfo::exists(record));
}

// Sites move their files: the item document and the file are fetched where the site sends
// them, and the answer at the end of the road decides, a continued part included.
TEST_F(LibraryFixture, RedirectedAddressesLeadToTheItemAndItsFile)
{
    const auto moved = [this](const std::string& from, int status, const std::string& to) {
        CContentsSite::ScriptedAnswer answer;
        answer.status = status;
        answer.headers.push_back({"Location", to});
        site->Script(from, answer);
    };
    moved("/item/moved.xml", 301, "/item/pleiades-scene.xml");
    // the file two moves away, as a mirror and then a site of its own send it on
    moved("/download/moved", 302, site->BaseUrl() + "/download/mirror");
    moved("/download/mirror", 303, "/download/pleiades-scene");
    MessageBoxScript boxes;
    boxes.Expect(ask(QStringLiteral("すばるを見上げて")), MB_YESNO, IDYES);
    EXPECT_EQ(download(QStringLiteral("moved")), 1);
    const QByteArray body = TempEnvironment::ReadBytes(env.Path(QStringLiteral("site/pleiades.zsf")));
    EXPECT_EQ(TempEnvironment::ReadBytes(root + QStringLiteral("Favorites/pleiades.zsf")), body);
    dialog->ProgressDialog().Close();

    using Result = contents::CTransfer::Result;
    const QString file = env.Path(QStringLiteral("part.zsf"));
    Bar bar;
    site->CutAfter("pleiades-scene", 100);
    EXPECT_EQ(transfer("moved", file, int(body.size()), {}, bar), Result::CannotDownload);
    const long long before = site->BytesSent();
    EXPECT_EQ(transfer("moved", file, int(body.size()), {}, bar), Result::Done);
    EXPECT_EQ(site->BytesSent() - before, body.size() - 100);
    EXPECT_EQ(site->Requests().back().range, "bytes=100-");
    EXPECT_EQ(TempEnvironment::ReadBytes(file), body);

    // a road with no end is no file
    moved("/download/loop", 307, "/download/loop");
    EXPECT_EQ(transfer("loop", env.Path(QStringLiteral("loop.zsf")), 10, {}, bar), Result::CannotDownload);
    EXPECT_FALSE(QFileInfo::exists(env.Path(QStringLiteral("loop.zsf"))));
}

// A package brings its own folder only: one that would land on another installed program's is
// refused and that program stays; its own folder it replaces.
TEST_F(LibraryFixture, APackageNeverUnpacksOverAnotherProgram)
{
    const QString prg = env.Path(QStringLiteral("Prg/")), archive = env.Path(QStringLiteral("site/orion_story.zip"));
    ASSERT_TRUE(TempEnvironment::WriteBytes(prg + QStringLiteral("orion_story/info.txt"), "mine"));
    QStringList added;
    EXPECT_EQ(contents::UnpackPackage(archive, prg, QStringLiteral("other"), added), 0);
    EXPECT_EQ(TempEnvironment::ReadBytes(prg + QStringLiteral("orion_story/info.txt")), "mine");
    EXPECT_EQ(QDir(prg + QStringLiteral("orion_story")).entryList(QDir::Files), QStringList(QStringLiteral("info.txt")));
    EXPECT_EQ(contents::UnpackPackage(archive, prg, QStringLiteral("orion_story"), added), 1);
    EXPECT_NE(TempEnvironment::ReadBytes(prg + QStringLiteral("orion_story/info.txt")), "mine");
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
    dialog->ProgressDialog().Close();
    // the same object and title again take no number; under another title the object is registered anew
    const QString comet = root + QStringLiteral("Adf/comet_zento_2026.adf");
    EXPECT_EQ(contents::RegisterAdf(comet, QStringLiteral("ゼント彗星（2026年）")), 1);
    EXPECT_FALSE(CRegistry::Read(section, QStringLiteral("ADF4"), QString(), value));
    EXPECT_EQ(contents::RegisterAdf(comet, QStringLiteral("ゼント彗星")), 1);
    CRegistry::Read(section, QStringLiteral("ADF4"), QString(), value);
    EXPECT_EQ(value, comet + QStringLiteral(",ゼント彗星"));

    // every number but the last taken: the object goes into the fortieth; all 40 taken: the list is full
    for (const int taken : {39, 40}) {
        for (int n = 1; n <= taken; ++n)
            CRegistry::Write(section, QStringLiteral("ADF%1").arg(n), QStringLiteral("/x%1.adf,X").arg(n));
        const int before = requestsFor("/download/");
        boxes.Expect(ask(QStringLiteral("ゼント彗星（2026年）")), MB_YESNO, IDYES)
            .Expect(QStringLiteral("「ゼント彗星（2026年）」\nこのコンテンツはすでにインストールされています。\n上書きしますか？"), MB_YESNO, IDYES);
        if (taken == 40)
            boxes.Expect(QStringLiteral("追加天体の登録数が上限なので、追加天体をインストールできません。"), MB_OK, IDOK);
        EXPECT_EQ(download(QStringLiteral("comet-2026")), taken == 40 ? 0 : 1);
        EXPECT_EQ(requestsFor("/download/") > before, taken == 39);
        CRegistry::Read(section, QStringLiteral("ADF40"), QString(), value);
        EXPECT_EQ(value, taken == 40 ? QStringLiteral("/x40.adf,X") : QString(root + QStringLiteral("Adf/comet_zento_2026.adf,ゼント彗星（2026年）")));
        dialog->ProgressDialog().Close();
    }
}

TEST_F(LibraryFixture, NamesThatWouldLandOnWhatTheModuleKeepsAreRefused)
{
    const QString prg = root + QStringLiteral("Prg/");
    const QByteArray list = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n[Programs]\r\nNum=0\r\n";
    ASSERT_TRUE(TempEnvironment::WriteBytes(prg + QStringLiteral("zvnprg.lst"), list));
    CContentsSite::ScriptedAnswer file;
    file.body = "abc";
    MessageBoxScript boxes;
    // programs' names; then, in the install root, the programs' folder and a download's record
    const std::pair<const char*, const char*> refused[] = {
        {"../evil.zsf", "プラネタリウム番組"}, {"a/b.zsf", "プラネタリウム番組"}, {"/tmp/x.zsf", "プラネタリウム番組"},
        {"a\\b.zsf", "プラネタリウム番組"}, {"..", "プラネタリウム番組"}, {".zip", "プラネタリウム番組"}, {"...zip", "プラネタリウム番組"},
        {"zvnprg.lst", "プラネタリウム番組"}, {"ZVNPRG.TMP", "プラネタリウム番組"}, {"Prg", "その他"}, {"a.zsf.ZVNPART", "その他"}};
    for (const auto& [name, genre] : refused) {
        offer("bad", name, genre, file);
        boxes.Expect(QStringLiteral("コンテンツ情報が正しくありません。"), MB_OK, IDOK);
        EXPECT_EQ(download(QStringLiteral("bad")), 0) << name;
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
}

TEST_F(LibraryFixture, ThePlaceIsSavedOnceWhenTheWindowGoes)
{
    const auto saved = [] {
        QString value;
        CRegistry::Read(QStringLiteral("Dialog\\ContentsLibrary"), QStringLiteral("WindowPosSize"), QString(), value);
        return value;
    };
    // it cannot be made smaller than it opened
    const QSize opened = dialog->size();
    dialog->resize(opened / 2);
    EXPECT_EQ(dialog->size(), opened);
    dialog->move(40, 50);
    dialog->resize(opened + QSize(100, 80));
    dialog.reset();  // the host deletes it without ending it
    EXPECT_TRUE(saved().startsWith(QStringLiteral("40,50,"))) << saved().toStdString();
    CDlgContentsLibrary modal(&host);
    QTimer::singleShot(0, &modal, [&] {
        EXPECT_EQ(opened + QSize(100, 80), modal.size());  // it opens as large as it was left
        modal.move(60, 70);
        modal.EndDialog(2);
    });
    EXPECT_EQ(modal.DoModal(), 2);
    modal.move(80, 90);
    modal.EndDialog(2);  // ended once more: nothing more is saved
    EXPECT_TRUE(saved().startsWith(QStringLiteral("60,70,"))) << saved().toStdString();
}

// The site opens over HTTPS with the module's agent and language, the window closed to the user until it
// has loaded; a site whose authority the settings do not name is refused before any page.
TEST_F(LibraryFixture, TheSiteIsShownWithTheModulesAgentOnlyWhenItsAuthorityIsTrusted)
{
    const auto pageRequests = [this](const std::string& target) {
        const auto requests = site->Requests();
        return std::count_if(requests.begin(), requests.end(),
                             [&](const auto& r) {
                                 return r.target == target && QString::fromStdString(r.userAgent) == kAgent && r.acceptLanguage == "ja-JP,ja";
                             });
    };
    EXPECT_EQ(QList<bool>({false, true}), QList<bool>({dialog->GetDlgItem(2)->isEnabled(), dialog->GetDlgItem(1023)->isVisible()}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return dialog->IsBrowserReady(); }, 20000));
    EXPECT_EQ(QList<bool>({true, false}), QList<bool>({dialog->GetDlgItem(2)->isEnabled(), dialog->GetDlgItem(1023)->isVisible()}));
    // a larger window gives the page the room; the page stops as far above the buttons as it did
    const auto below = [this](int id) { return dialog->height() - dialog->GetDlgItem(id)->geometry().bottom(); };
    const int pageFoot = below(1024), buttonFoot = below(2);
    dialog->resize(dialog->size() + QSize(120, 90));
    EXPECT_EQ(QList<int>({pageFoot, buttonFoot}), QList<int>({below(1024), below(2)}));
    const auto asked = pageRequests("/");
    EXPECT_GE(asked, 1);
    dialog->Browser().View()->load(QUrl(QString::fromStdString(site->BaseUrl() + "/page/x")));  // as a link is followed
    EXPECT_TRUE(QTest::qWaitFor([&] { return pageRequests("/page/x") == 1; }, 20000));
    // Escape closes it while the page has the focus, as it closes every dialog
    QWidget* page = dialog->Browser().View()->focusProxy() ? dialog->Browser().View()->focusProxy() : dialog->Browser().View();
    page->setFocus();
    ASSERT_TRUE(dialog->isVisible());
    QTest::keyClick(page, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());

    CRegistry::Write(QStringLiteral("General\\Network"), QStringLiteral("TrustedCA"), QString());
    dialog = std::make_unique<CDlgContentsLibrary>(&host);
    EXPECT_EQ(dialog->Create(&host), 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return dialog->IsBrowserReady(); }, 20000));  // its error page
    EXPECT_EQ(pageRequests("/"), asked);
    // the engine's own page in the module's language, whatever the environment's
    QString text;
    dialog->Browser().View()->page()->toPlainText([&text](const QString& t) { text = t; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
    EXPECT_TRUE(text.startsWith(QStringLiteral("このサイトにアクセスできません"))) << text.toStdString();
}

}  // namespace
