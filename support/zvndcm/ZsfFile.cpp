#include "support/zvndcm/ZsfFile.h"

#include "support/zvndcm/ParamFile.h"

CZsfFile::CZsfFile(const QString& path)
{
    CParamFile file;
    file.SetParameterFile(path);
    file.UpdateParam(QStringLiteral("General"), QStringLiteral("Description"), QString(), m_description,
                     CParamFile::Read);
}
