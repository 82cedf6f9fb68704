#include "support/zvncom/CommonNetwork.h"

#include "support/zvnreg/Registry.h"

#include <QNetworkInformation>

namespace {

const QString kSection = QStringLiteral("General\\Network");
// the content library site the reference host serves on this machine
const QString kDefaultLibraryUrl = QStringLiteral("https://127.0.0.1:47081");

}  // namespace

int CCommonNetwork::IsConnected()
{
    int forced = 1;
    if (CRegistry::Read(kSection, QStringLiteral("Connected"), 1, &forced))
        return forced ? 1 : 0;
    if (!QNetworkInformation::instance()
        && !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return 1;
    const auto reachability = QNetworkInformation::instance()->reachability();
    return reachability == QNetworkInformation::Reachability::Disconnected ? 0 : 1;
}

QString CCommonNetwork::GetURL(int kind)
{
    QString url;
    CRegistry::Read(kSection, QStringLiteral("URL%1").arg(kind),
                    kind == kContentsLibrary ? kDefaultLibraryUrl : QString(), url);
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}
