#include "frame/Module.h"

#include "platform/Internet.h"
#include "platform/ResourceChain.h"
#include "support/zvnreg/Registry.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QStringList>
#include <QTranslator>
#include <memory>

namespace {

const QString kModuleName = QStringLiteral("zvnd06");

// Qt's own Japanese texts (はい, いいえ, キャンセル on the standard buttons), which
// the module installs when the host has not loaded Qt's translations itself.
// The application owns the translator, which must not outlive it; defined
// before the lifetime below, so that it is still there at the detach.
QPointer<QTranslator> qtTranslator;

// process attach and detach
struct ModuleLifetime {
    ModuleLifetime() { AttachModule(); }
    ~ModuleLifetime() { DetachModule(); }
};
const ModuleLifetime lifetime;

// "ConnectTimeout" and "ReceiveTimeout" (seconds) and "TrustedCA" of "General\Network", read by each new internet session
platform::InternetTimeouts timeoutSettings()
{
    platform::InternetTimeouts timeouts;
    const QString section = QStringLiteral("General\\Network");
    CRegistry::Read(section, QStringLiteral("ConnectTimeout"), timeouts.connectSeconds, &timeouts.connectSeconds);
    CRegistry::Read(section, QStringLiteral("ReceiveTimeout"), timeouts.receiveSeconds, &timeouts.receiveSeconds);
    // a local site's own authority is trusted only when the settings name it
    CRegistry::Read(section, QStringLiteral("TrustedCA"), QString(), timeouts.trustedAuthority);
    return timeouts;
}

void loadQtTranslations()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (qtTranslator || !application)
        return;
    // a host that loaded Qt's translations (of any language) keeps its own
    if (QCoreApplication::translate("QPlatformTheme", "&Yes") != QLatin1String("&Yes"))
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator.get()))
        return;
    translator->setParent(application);
    qtTranslator = translator.release();
}

void unloadQtTranslations()
{
    delete qtTranslator.data();  // leaves the application's translators as it goes
}

}  // namespace

void AttachModule()
{
    platform::RegisterResourceModule(kModuleName, QStringLiteral(":/zvnd06"));
    platform::SetInternetTimeoutSource(timeoutSettings);
    // the library is mostly loaded before the host makes its application: the
    // translations go in as the application is made (translators need one)
    if (QCoreApplication::instance())
        loadQtTranslations();
    else
        qAddPreRoutine(loadQtTranslations);
}

void DetachModule()
{
    unloadQtTranslations();
    platform::SetInternetTimeoutSource({});
    platform::UnregisterResourceModule(kModuleName);
}

bool IsModuleAttached() { return platform::IsResourceModuleRegistered(kModuleName); }

ZvnModuleInfo GetModuleInfo()
{
    ZvnModuleInfo info;
    for (const QString& line : platform::ResourceText(QStringLiteral("version.txt")).split(u'\n')) {
        const QString key = line.section(u'\t', 0, 0);
        const QString value = line.section(u'\t', 1).trimmed();
        if (key == u"name")
            info.name = value;
        else if (key == u"version")
            info.version = value;
        else if (key == u"description")
            info.description = value;
    }
    return info;
}
