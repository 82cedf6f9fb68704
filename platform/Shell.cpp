#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {
namespace {

ShellHandler& handler()
{
    static ShellHandler h;
    return h;
}

constexpr qintptr kSuccess = 42;

// "C:" style drive names are not schemes; a scheme has at least two letters
bool hasScheme(const QString& file)
{
    const QUrl url(file);
    return url.isValid() && url.scheme().size() > 1;
}

qintptr openWithDesktop(const QString& verb, const QString& file)
{
    const bool explore = verb.compare(u"explore", Qt::CaseInsensitive) == 0;
    if (!explore && !verb.isEmpty() && verb.compare(u"open", Qt::CaseInsensitive) != 0)
        return SE_ERR_NOASSOC;
    QUrl url;
    if (hasScheme(file)) {
        url = QUrl(file);
    } else {
        const QFileInfo info(file);
        if (!info.exists() || (explore && !info.isDir()))
            return SE_ERR_FNF;
        url = QUrl::fromLocalFile(info.absoluteFilePath());
    }
    return QDesktopServices::openUrl(url) ? kSuccess : SE_ERR_NOASSOC;
}

}  // namespace

qintptr ShellExecute(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
                     const QString& directory, int show)
{
    if (handler())
        return handler()(owner, verb, file, parameters, directory, show);
    return openWithDesktop(verb, file);
}

ShellHandler SetShellHandler(ShellHandler h)
{
    ShellHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

}  // namespace platform
