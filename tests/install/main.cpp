// A host outside the project makes the module's dialogs from the installed headers and library.
#include "cloud/DlgCloudLogin.h"
#include "frame/CorZnt.h"
#include "frame/Module.h"
#include "program/DlgProgram.h"

#include <QApplication>

class CQuietCore : public CCorZnt {
public:
    QString ExecCommand(const QString&) override { return {}; }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CQuietCore core;
    CDlgProgram program(QStringLiteral("system.lst"), QStringLiteral("user.lst"), &core, nullptr);
    CDlgCloudLogin login(nullptr);
    // the module's resources came with the library: its version block reads
    return IsModuleAttached() && GetModuleInfo().name == u"zvnd06" ? 0 : 1;
}
