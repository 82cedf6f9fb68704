// zvnprg: creates, extends and shrinks program list files, and shows what the
// program dialog would list, for the host's installer and content authors.
#include "platform/FileRead.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "program/PrgSection.h"
#include "program/ProgramListReader.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"

#include <QCoreApplication>
#include <QStringEncoder>
#include <QTextStream>

#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char* kHelp =
    "使い方 / usage:\n"
    "  zvnprg new LIST                  番組リストを新しく作ります（番組なし）。\n"
    "                                   Creates an empty program list.\n"
    "  zvnprg add LIST SECTION-FILE     番組の key=value 行のファイルを、リストの最後の番組として加えます。\n"
    "                                   リストがなければ作ります。\n"
    "                                   Appends the program in SECTION-FILE (its key=value lines),\n"
    "                                   creating the list when it is missing.\n"
    "  zvnprg delete LIST BASENAME      シーンファイル BASENAME.zsf の番組を取り除き、後の番組を繰り上げます。\n"
    "                                   Removes the program whose scene file is BASENAME.zsf.\n"
    "  zvnprg list SYSTEM-LIST [USER-LIST]\n"
    "                                   番組ダイアログに並ぶ番組を表示します: 番号、リスト、種類、題名、\n"
    "                                   上映時間、見つかったシーンファイル（またはない番組の種類）。\n"
    "                                   Shows what the program dialog lists: index, list, type, title,\n"
    "                                   running time, and the scene file found (or the kind missing).\n"
    "                                   利用者リストが番組リストでないときは、システムの番組を表示してから\n"
    "                                   メッセージを出します（終了コード 1）。\n"
    "                                   A user list that is not a program list: the system's programs,\n"
    "                                   then the message (exit status 1).\n"
    "\n"
    "メッセージは標準エラーに出ます。成功なら終了コード 0、失敗なら 1。\n"
    "Messages go to standard error. Exit status 0 on success, 1 on failure.\n";

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

}  // namespace

// The list code's messages: the tool has no windows (it is built without them), so each
// message is a line on standard error.
int platform::MessageBox(QWidget*, const QString& text, unsigned)
{
    err() << "zvnprg: " << QString(text).replace(u'\n', u' ') << Qt::endl;
    return IDOK;
}

namespace {

int fail(const QString& message)
{
    err() << "zvnprg: " << message << Qt::endl;
    return 1;
}

// a list that is there must be one: an editor must not write into anything else
bool usableList(const QString& path)
{
    CParamFile file;
    return !CCommonFile::DoesFileExist(path) || CProgramListReader::OpenList(path, file);
}

// One program as the tool prints it.
struct Listed {
    int system = 0;
    QString type, title;
    int time = 0;
    CProgramListReader::ScenePlaces places;
    QString scene;  // the scene file found, once looked for
};

// Programs whose scene files are looked for by whichever thread comes first.
struct Batch {
    std::vector<Listed> programs;
    std::atomic<size_t> next = 0;  // the first program no thread has taken yet

    void lookOut()
    {
        platform::FileLookups lookups;  // this thread's own
        for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < programs.size();)
            programs[i].scene = CProgramListReader::FirstExisting(programs[i].places.paths, &lookups);
    }
    void clear()
    {
        programs.clear();
        next = 0;
    }
};

// A second thread that looks for the scene files of one batch of programs while the main
// thread reads the next; the main thread joins in before it prints the batch. Each look is
// a question to the system, and for 10,000 programs those questions took longer than all
// the reading and printing. (One such thread measured best: 0 to 3 were tried.)
class SceneLookout {
public:
    SceneLookout() : m_thread([this] { run(); }) {}
    ~SceneLookout()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    SceneLookout(const SceneLookout&) = delete;
    SceneLookout& operator=(const SceneLookout&) = delete;

    // Hands the batch over: only finish() may touch it again.
    void start(Batch* batch)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_batch = batch;
        }
        m_changed.notify_all();
    }
    // Looks out together with the lookout until every scene of the batch is found.
    void finish(Batch* batch)
    {
        batch->lookOut();
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_batch; });
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_batch || m_quit; });
            if (m_quit)
                return;
            Batch* batch = m_batch;
            lock.unlock();
            batch->lookOut();
            lock.lock();
            m_batch = nullptr;
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Batch* m_batch = nullptr;  // the batch handed over, until the lookout is done with it
    bool m_quit = false;
    std::thread m_thread;  // last: it starts once the rest is ready
};

int list(const QString& systemList, const QString& userList)
{
    constexpr size_t kBatch = 256;
    int index = 0;
    // lines are written as UTF-8 straight into one buffer, and the buffer to standard output
    QStringEncoder utf8(QStringEncoder::Utf8);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    char* end = buffer.data();
    const auto flush = [&] {
        std::fwrite(buffer.constData(), 1, size_t(end - buffer.constData()), stdout);
        end = buffer.data();
    };
    const auto put = [&](QStringView text) {
        if (end + utf8.requiredSpace(text.size()) > buffer.data() + buffer.size()) {
            flush();
            if (utf8.requiredSpace(text.size()) > buffer.size())
                buffer.resize(utf8.requiredSpace(text.size()));
        }
        end = utf8.appendToBuffer(end, text);
    };
    // a number's digits, at least `width` of them
    const auto number = [&](int n, int width) {
        char16_t digits[16];
        char text[16];
        const qsizetype length = std::to_chars(text, text + sizeof text, n).ptr - text;
        qsizetype at = 0;
        for (; at < width - length; ++at)
            digits[at] = u'0';
        for (qsizetype i = 0; i < length; ++i)
            digits[at++] = char16_t(text[i]);
        put(QStringView(digits, at));
    };
    const auto print = [&](Batch& batch) {
        for (const Listed& p : batch.programs) {
            number(index++, 1);
            put(p.system ? u"\tsystem\t" : u"\tuser\t");
            put(p.type);
            put(u"\t");
            put(p.title);
            put(u"\t");
            if (p.type == u"Today" || p.time == 0) {
                put(u"-");
            } else {
                number(p.time / 60, 2);
                put(u":");
                number(p.time % 60, 2);
            }
            put(u"\t");
            if (p.scene.isEmpty()) {
                put(u"missing: ");
                put(p.places.kind);
            } else {
                put(p.scene);
            }
            put(u"\n");
        }
        batch.clear();
    };

    // the settings are read once for the whole list, not once a program
    const CProgramListReader::SceneFolders registered = CProgramListReader::RegisteredSceneFolders();
    const CProgramListReader reader;
    // each batch is printed once its scenes are found: a list of 10,000 is never held whole
    Batch batches[2];
    Batch* reading = &batches[0];
    Batch* looking = &batches[1];
    bool lookingOut = false;
    reading->programs.reserve(kBatch);
    looking->programs.reserve(kBatch);
    SceneLookout lookout;
    const auto take = [&](const tagPROGITEM& p) {
        reading->programs.push_back(
            {p.isSystem, p.type, p.title, p.time,
             CProgramListReader::SceneCandidates(p.type, p.script, p.isSystem, systemList, userList, registered), QString()});
        if (reading->programs.size() < kBatch)
            return;
        if (lookingOut) {
            lookout.finish(looking);
            print(*looking);
        }
        std::swap(reading, looking);
        lookout.start(looking);
        lookingOut = true;
    };
    const int read = CProgramListReader::ReadLists(systemList, userList, [&](CParamFile* file, int isSystem) {
        return reader.ReadEach(file, isSystem, CProgramListReader::ListedFields, take);
    });
    if (lookingOut) {
        lookout.finish(looking);
        print(*looking);
    }
    reading->lookOut();
    print(*reading);
    flush();
    return read ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    // the module's string table, built into the tool
    platform::RegisterResourceModule(QStringLiteral("zvnd06"), QStringLiteral(":/zvnd06"));
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h" || args.isEmpty()) {
        QTextStream(args.isEmpty() ? stderr : stdout) << kHelp;
        return args.isEmpty() ? 1 : 0;
    }
    if (command == u"new" && args.size() == 2)
        return CPrgSection::MakeNew(args[1]) ? 0 : 1;
    if (command == u"add" && args.size() == 3) {
        if (!usableList(args[1]))
            return 1;
        return CPrgSection::Add(args[1], args[2]) ? 0 : 1;
    }
    if (command == u"delete" && args.size() == 3) {
        if (!CCommonFile::DoesFileExist(args[1]))
            return fail(platform::LoadString(16006).replace(QStringLiteral("%1"), args[1]).replace(u'\n', u' '));
        if (!usableList(args[1]))
            return 1;
        if (!CPrgSection::Delete(args[1], args[2]))
            return fail(QStringLiteral("番組 %1.zsf はリストにありません / not in the list").arg(args[2]));
        return 0;
    }
    if (command == u"list" && (args.size() == 2 || args.size() == 3))
        return list(args[1], args.value(2));
    err() << kHelp;
    return 1;
}
