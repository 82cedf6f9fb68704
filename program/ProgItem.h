#pragma once
/// \file
/// One program of a program list, as the list file describes it (tagPROGITEM).

#include <QString>

class QImage;

/// One program of a program list, as the program dialog shows it. The texts
/// are the keys of its section `[ProgN]` in the list file; a missing key
/// leaves the default.
struct tagPROGITEM {
    /// "Type": "Program", "BGV", "Today" (today's sky) or "CnsGuide" (the constellation guide).
    QString type = QStringLiteral("Program");
    /// "Title": the entry's title.
    QString title;
    /// "SubTitle", empty when it has none.
    QString subTitle;
    const QImage* icon = nullptr;      ///< not owned: the dialog's bitmaps
    const QImage* iconMask = nullptr;  ///< not owned
    /// "Script": the scene file's name ("name.zsf"), found in the program's own folder "name/".
    QString script;
    /// "Summary": the description, its line breaks written as the four characters `\r\n`.
    QString summary;
    /// "Time": the play time in seconds (0 when the list names none).
    int time = 0;
    /// "Narrator": credited as scenario and narration when there is no artist.
    QString narrator;
    /// "Artist": the credit under the caption ArtWork.
    QString artist;
    /// "ArtWork": the caption of the artist's credit.
    QString artWork;
    /// "Profile": a profile of the authors, `\r\n` as in the summary.
    QString profile;
    /// "Org": the organisation that made the program.
    QString org;
    /// "OrgInfo": more about the organisation, `\r\n` as in the summary.
    QString orgInfo;
    /// "Music": the music of a BGV, credited instead of the narrator.
    QString music;
    /// "Year": the year it was made, as the list writes it.
    QString year;
    /// "Jimaku": whether it has subtitles, "YES" or "NO".
    QString jimaku = QStringLiteral("NO");
    /// 1 for a program of the system list, 0 for one of the user list.
    int isSystem = 0;
    /// The number N of its section `[ProgN]` in its list.
    int progNum = 0;
};
