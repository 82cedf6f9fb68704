#pragma once

#include <QString>

class QImage;

// One program of a program list, as the program dialog shows it.
struct tagPROGITEM {
    QString type = QStringLiteral("Program");
    QString title;
    QString subTitle;
    const QImage* icon = nullptr;      // not owned: the dialog's bitmaps
    const QImage* iconMask = nullptr;  // not owned
    QString script;
    QString summary;
    int time = 0;
    QString narrator;
    QString artist;
    QString artWork;
    QString profile;
    QString org;
    QString orgInfo;
    QString music;
    QString year;
    QString jimaku = QStringLiteral("NO");
    int isSystem = 0;
    int progNum = 0;
};
