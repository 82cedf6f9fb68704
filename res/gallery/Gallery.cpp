// Builds each of the module's dialogs from its template, offscreen, and
// saves a picture of it, so that anyone can look at every dialog.
//
//   zvngallery [FOLDER]      (default: ./gallery)
#include "frame/Module.h"
#include "support/zvncst/ZntDialog.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir().mkpath(folder);
    const ZvnModuleInfo info = GetModuleInfo();
    std::printf("%s %s\n", qPrintable(info.name), qPrintable(info.version));

    int failures = 0;
    for (int id : {16101, 16102, 16103, 16104, 16105, 16108, 16112, 16114, 16115}) {
        CZntDialog dialog(id, nullptr);
        dialog.show();  // sets the window up, lays out and polishes every control, as a person would see it
        QImage picture(dialog.size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
        dialog.render(&picture);
        const QString path = QStringLiteral("%1/%2.png").arg(folder).arg(id);
        const bool saved = picture.save(path);
        std::printf("%d  %-40s %4d x %-4d %s\n", id, qPrintable(dialog.windowTitle()), dialog.width(), dialog.height(),
                    saved ? qPrintable(path) : "NOT SAVED");
        failures += saved && !dialog.Template().controls.isEmpty() ? 0 : 1;
        dialog.hide();
    }
    return failures == 0 ? 0 : 1;
}
