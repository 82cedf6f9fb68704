#include "frame/Module.h"

#include "platform/ResourceChain.h"

#include <QStringList>

namespace {

const QString kModuleName = QStringLiteral("zvnd06");

// process attach and detach
struct ModuleLifetime {
    ModuleLifetime() { AttachModule(); }
    ~ModuleLifetime() { DetachModule(); }
};
const ModuleLifetime lifetime;

}  // namespace

void AttachModule() { platform::RegisterResourceModule(kModuleName, QStringLiteral(":/zvnd06")); }

void DetachModule() { platform::UnregisterResourceModule(kModuleName); }

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
