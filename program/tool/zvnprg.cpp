// zvnprg: creates, extends and shrinks program list files, and shows what the
// program dialog would list, for the host's installer and content authors.
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "program/PrgSection.h"
#include "program/ProgramListReader.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"

#include <QCoreApplication>
#include <QTextStream>

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

int list(const QString& systemList, const QString& userList)
{
    QList<tagPROGITEM> programs;
    const CProgramListReader reader;
    if (!CProgramListReader::ReadLists(systemList, userList, [&](CParamFile* file, int isSystem) {
            return reader.DoRead(file, isSystem, programs);
        }))
        return 1;
    QTextStream out(stdout);
    // the settings are read once for the whole list, not once a program
    const CProgramListReader::SceneFolders registered = CProgramListReader::RegisteredSceneFolders();
    for (int i = 0; i < programs.size(); ++i) {
        const tagPROGITEM& p = programs[i];
        QString path, kind, shortKind;
        const bool found =
            CProgramListReader::FindScene(p.type, p.script, p.isSystem, systemList, userList, registered, path, kind, shortKind);
        const QString time = p.type == u"Today" || p.time == 0
                                 ? QStringLiteral("-")
                                 : QStringLiteral("%1:%2").arg(p.time / 60, 2, 10, QLatin1Char('0')).arg(p.time % 60, 2, 10, QLatin1Char('0'));
        out << i << '\t' << (p.isSystem ? "system" : "user") << '\t' << p.type << '\t' << p.title << '\t' << time << '\t'
            << (found ? path : QStringLiteral("missing: ") + kind) << '\n';
    }
    return 0;
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
