#include "platform/DialogTemplate.h"

#include "platform/Text.h"

#include <QtDebug>

namespace platform {

const ControlTemplate* DialogTemplate::Control(int controlId) const
{
    for (const ControlTemplate& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

QList<DialogTemplate> ParseDialogTemplates(const QString& table)
{
    QList<DialogTemplate> result;
    const QStringList lines = table.split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        bool ok[5] = {true, true, true, true, true};
        if (f[0] == u"dialog" && f.size() >= 6) {
            DialogTemplate d;
            d.id = f[1].toInt(&ok[0]);
            d.width = f[2].toInt(&ok[1]);
            d.height = f[3].toInt(&ok[2]);
            d.style = f[4].split(u',', Qt::SkipEmptyParts);
            d.title = UnescapeLineText(f[5]);
            if (ok[0] && ok[1] && ok[2]) {
                result.append(d);
                continue;
            }
        } else if (f.size() >= 8 && !result.isEmpty()) {
            ControlTemplate c;
            c.id = f[0].toInt(&ok[0]);
            c.kind = f[1];
            c.x = f[2].toInt(&ok[1]);
            c.y = f[3].toInt(&ok[2]);
            c.width = f[4].toInt(&ok[3]);
            c.height = f[5].toInt(&ok[4]);
            c.flags = f[6].split(u',', Qt::SkipEmptyParts);
            c.text = UnescapeLineText(f[7]);
            if (ok[0] && ok[1] && ok[2] && ok[3] && ok[4]) {
                result.last().controls.append(c);
                continue;
            }
        }
        qWarning("dialog table line %d is malformed and was skipped", n + 1);
    }
    return result;
}

}  // namespace platform
