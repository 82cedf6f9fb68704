#pragma once
// The chain of loaded resource modules. A module (the dialog module, the
// controls library, a host) registers the folder of its resources when it is
// loaded and removes it when it is unloaded; strings, dialog templates,
// bitmaps and icons are then found by id through every registered module,
// the most recently registered first, from any code in the process.
//
// A module's resource folder (a Qt resource path such as ":/zvnd06") holds
// strings.txt ("id <TAB> text" lines), dialogs.txt (see DialogTemplate.h),
// bitmaps/<id or name>.png and icons/<id>.png.
#include "platform/DialogTemplate.h"

#include <QImage>
#include <QString>

namespace platform {

void RegisterResourceModule(const QString& name, const QString& folder);
void UnregisterResourceModule(const QString& name);
// A number that changes whenever a module comes or goes: what was made from the chain's
// resources before is out of date when it differs.
int ResourceChainGeneration();
bool IsResourceModuleRegistered(const QString& name);

QString LoadString(int id);                  // empty text when no module has it
const DialogTemplate* FindDialogTemplate(int id);  // null when no module has it; valid while its module stays
QImage LoadBitmap(int id);                   // null image when no module has it
QImage LoadBitmap(const QString& name);      // bitmaps named by text ("PRGOKU")
QImage LoadIcon(int id);                    // also the system's IDI_ icons
QString ResourceText(const QString& file);   // a text file of the first module that has it ("version.txt")

}  // namespace platform
