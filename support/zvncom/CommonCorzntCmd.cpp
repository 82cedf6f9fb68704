#include "support/zvncom/CommonCorzntCmd.h"

#include "frame/CorZnt.h"

int CCommonCorzntCmd::ShowLogoImage(int show, CCorZnt* host)
{
    if (!host)
        return 0;
    host->ExecCommand(show ? QStringLiteral("Logo.Visible = TRUE") : QStringLiteral("Logo.Visible = FALSE"));
    return 1;
}
