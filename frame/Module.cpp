#include "frame/Module.h"

#include "platform/Internet.h"
#include "platform/ResourceChain.h"
#include "support/zvnreg/Registry.h"

#include <QStringList>

namespace {

const QString kModuleName = QStringLiteral("zvnd06");

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

}  // namespace

void AttachModule()
{
    platform::RegisterResourceModule(kModuleName, QStringLiteral(":/zvnd06"));
    platform::SetInternetTimeoutSource(timeoutSettings);
}

void DetachModule()
{
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
