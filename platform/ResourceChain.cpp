#include "platform/ResourceChain.h"

#include "platform/Text.h"
#include "platform/WindowMessage.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QList>
#include <QStyle>
#include <memory>

namespace platform {
namespace {

struct Module {
    QString name;
    QString folder;
    bool tablesRead = false;
    QHash<int, QString> strings;
    QHash<int, DialogTemplate> templates;
};

// how many times a module came or went
int& generation()
{
    static int n = 0;
    return n;
}

// newest first; modules are few and lookups walk them in order
QList<std::shared_ptr<Module>>& chain()
{
    static QList<std::shared_ptr<Module>> modules;
    return modules;
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The tables are read once, at the first lookup, not at every one; not at
// registration, which may run while the module is still being loaded.
void readTables(Module* module)
{
    if (module->tablesRead)
        return;
    module->tablesRead = true;
    for (const QString& line : readText(module->folder + QStringLiteral("strings.txt")).split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (ok)
            module->strings.insert(id, UnescapeLineText(line.mid(tab + 1).chopped(line.endsWith(u'\r') ? 1 : 0)));
    }
    for (const DialogTemplate& t : ParseDialogTemplates(readText(module->folder + QStringLiteral("dialogs.txt"))))
        module->templates.insert(t.id, t);
}

// Each picture is decoded once, by its path: a dialog opened again draws at once. (Only
// the module's own pictures are asked for, and they do not change while it is installed.)
QImage findImage(const QString& relative)
{
    static QHash<QString, QImage> decoded;
    for (const auto& module : chain()) {
        const QString path = module->folder + relative;
        if (const auto known = decoded.constFind(path); known != decoded.constEnd())
            return *known;
        if (QFile::exists(path))
            return *decoded.insert(path, QImage(path));
    }
    return {};
}

}  // namespace

void RegisterResourceModule(const QString& name, const QString& folder)
{
    UnregisterResourceModule(name);
    auto module = std::make_shared<Module>();
    module->name = name;
    module->folder = folder.endsWith(u'/') ? folder : folder + u'/';
    chain().prepend(module);
    ++generation();
}

void UnregisterResourceModule(const QString& name)
{
    if (chain().removeIf([&](const std::shared_ptr<Module>& m) { return m->name == name; }) > 0)
        ++generation();
}

int ResourceChainGeneration() { return generation(); }

bool IsResourceModuleRegistered(const QString& name)
{
    for (const auto& module : chain())
        if (module->name == name)
            return true;
    return false;
}

QString LoadString(int id)
{
    for (const auto& module : chain()) {
        readTables(module.get());
        if (auto it = module->strings.constFind(id); it != module->strings.cend())
            return *it;
    }
    return {};
}

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const auto& module : chain()) {
        readTables(module.get());
        if (auto it = module->templates.constFind(id); it != module->templates.cend())
            return &*it;
    }
    return nullptr;
}

QImage LoadBitmap(int id) { return findImage(QStringLiteral("bitmaps/%1.png").arg(id)); }

QImage LoadBitmap(const QString& name) { return findImage(QStringLiteral("bitmaps/") + name + QStringLiteral(".png")); }

QImage LoadIcon(int id)
{
    const QImage own = findImage(QStringLiteral("icons/%1.png").arg(id));
    if (!own.isNull() || !qApp)
        return own;
    // the system's icons are the desktop style's own
    QStyle::StandardPixmap standard;
    switch (id) {
    case IDI_HAND: standard = QStyle::SP_MessageBoxCritical; break;
    case IDI_QUESTION: standard = QStyle::SP_MessageBoxQuestion; break;
    case IDI_EXCLAMATION: standard = QStyle::SP_MessageBoxWarning; break;
    case IDI_INFORMATION: standard = QStyle::SP_MessageBoxInformation; break;
    default: return own;
    }
    return QApplication::style()->standardIcon(standard).pixmap(32, 32).toImage();
}

QString ResourceText(const QString& file)
{
    for (const auto& module : chain()) {
        const QString path = module->folder + file;
        if (QFile::exists(path))
            return readText(path);
    }
    return {};
}

}  // namespace platform
