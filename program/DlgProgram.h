#pragma once
/// \file
/// The program dialog: the user picks a planetarium program from the system
/// and user program lists, reads its description, and removes programs he
/// installed. The host reads the choice through the accessors after it closes.
#include "frame/Zvnd06Export.h"
#include "program/ProgItem.h"
#include "support/zvncst/ZntDialog.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <memory>

class CParamFile;
class CProgramArt;
class CZntListBox;
class CZntTpListBox;
class QPainter;

/// The program dialog (template 16103): a borderless window the user drags by
/// its surface, with the programs of both lists, the selected one's description,
/// and the buttons open (1018), close (1019), delete (1020) and help (57670).
///
/// What it sends to the host, each at once through platform::SendMessage:
/// - WM_PRGZSFNOTFOUND (2045) to the main window when the program to open has
///   no scene file: wParam and lParam point to the kind and short kind texts;
///   the dialog stays open.
/// - WM_PRGCANCELLED (2034, wParam 0, lParam 0) to the main window when it is
///   cancelled, before it ends with 2.
/// - WM_PRGLISTCHANGED (2104, wParam 1, lParam 0) to its parent after a delete.
/// - WM_COMMAND with ID_HELP (wParam 57670, lParam 0) to the main window for
///   its help button.
///
/// Settings: it reads "PlainStyle" of `General\Display` (every dialog does)
/// and, to find a scene file, "PLN", "ConsGd" and "PRG" of `Files` (the folders
/// of today's sky, the constellation guide and the system programs, each with
/// the module's own folders as fallback); it writes none. Its section is
/// `Dialog\Program` when it is made with the parent alone.
///
/// DoModal() returns 1 when the user opened a program (its scene file found,
/// GetZsfActualPath() names it) and 2 when he closed the dialog or a list could
/// not be read; the accessors then tell what was selected, either way.
class ZVND06_EXPORT CDlgProgram : public CZntDialog {
    Q_OBJECT
public:
    /// A dialog with no lists yet and no host control, its settings section `Dialog\Program`.
    explicit CDlgProgram(QWidget* parent);
    /// The dialog over the system list and the user list (full paths of the list
    /// files; the user list need not exist), without a host control.
    CDlgProgram(const QString& systemList, const QString& userList, QWidget* parent);
    /// The same with the host control, which it asks `? LST(time)` for the date
    /// today's entry explains; the host keeps it alive while the dialog is open.
    CDlgProgram(const QString& systemList, const QString& userList, CCorZnt* host, QWidget* parent);
    /// Frees the programs, the pictures and the list's entries.
    ~CDlgProgram() override;

    /// The entry to select at the start: an index into Programs() (0 when out of range).
    void SetProgNum(int index) { m_nProgNum = index; }
    /// The first visible entry at the start (0 when out of range).
    void SetScrlPos(int index) { m_nScrlPos = index; }

    /// The selected entry, an index into Programs(); -1 until SetProgNum() or the dialog set one.
    int GetProgNum() const { return m_nProgNum; }
    /// The first visible entry when the dialog ended, for the next SetScrlPos().
    int GetScrlPos() const { return m_nScrlPos; }
    /// The selected program's title.
    const QString& GetProgTitle() const { return m_strTitle; }
    /// The selected program's sub-title, empty when it has none.
    const QString& GetProgSubTitle() const { return m_strSubTitle; }
    /// The selected program's type: "Program", "BGV", "Today" or "CnsGuide".
    const QString& GetProgType() const { return m_strType; }
    /// Whether the selected program has subtitles: "YES" or "NO".
    const QString& GetProgJimaku() const { return m_strJimaku; }
    /// The selected program's scene file name, as its list names it ("name.zsf").
    const QString& GetZsfName() const { return m_strZsfName; }
    /// The full path of the scene file found for the program opened; empty until one was found.
    const QString& GetZsfActualPath() const { return m_strZsfActualPath; }
    /// The play time in seconds: that of the last selected program that names one,
    /// today's sky excepted; 3600 until then.
    int GetPlayTime() const { return m_nPlayTime; }
    /// 1 when the selected program is one of the system list, 0 for the user list.
    int GetIsSystem() const { return m_nIsSystem; }
    /// The host's date, "西暦2024年1月1日" or "紀元前…", that today's entry explains;
    /// empty without a host control.
    const QString& GetDateText() const { return m_strDate; }
    /// what the info panel shows of the selected program
    struct InfoTexts {
        /// The title, on the panel's first line.
        QString title;
        QString subTitle;      ///< " ～ sub-title ～", or empty
        QString summary;       ///< its line breaks restored
        QString year;          ///< `"<Year>年制作"`, or empty
        QString creditLabel;   ///< `"<caption>："`
        QString creditValue;   ///< the credit, `"（<Org>）"` after it when there is one
        QString profile;       ///< `"★<Profile>"`, or empty
        QString organisation;  ///< `"☆<Org>\r\n<OrgInfo>"` when there is organisation information, or empty
    };
    /// The texts of the selected program's info panel.
    const InfoTexts& GetInfoTexts() const { return m_info; }
    /// The notice at the foot of the info panel: the programs are for private viewing.
    static const QString& NoticeText();
    /// Every program read, the system list's first; an entry's index is its index here.
    const QList<tagPROGITEM>& Programs() const { return m_arrProgram; }
    /// the pictures it is drawn from, and where the info panel lies
    const CProgramArt& GetArt() const { return *m_pArt; }
    /// The info panel's place in the dialog's client area.
    const QRect& GetInfoRect() const { return m_rcInfo; }
    /// The owner-drawn program list, with its own scroll bar.
    CZntTpListBox& GetListBox() const { return *m_lstProgram; }

    /// Reads the system list, then the user list when it exists, into Programs()
    /// and the list. Returns 1, or 0 after a message: the system list is missing
    /// (16006) or a list is not a program list (16005; the system programs stay
    /// when it is the user list).
    int ReadProgramList();
    /// Appends the programs of one open list, 1 for the system list in `isSystem`,
    /// 0 for the user list. Returns 1, or 0 at a program of a type it does not
    /// know (the programs before it stay).
    int DoReadProgramList(CParamFile* file, int isSystem);
    /// Looks for the selected program's scene file in its folders (see the class).
    /// Returns 1 when found, GetZsfActualPath() then naming it; else 0, with
    /// `kind` and `shortKind` the texts WM_PRGZSFNOTFOUND carries.
    int CheckPrgFile(QString& kind, QString& shortKind);

    /// Reads the lists (ending with 2 at once when they cannot be read), asks the
    /// host for today's date, selects SetProgNum()'s entry and scrolls to
    /// SetScrlPos()'s. Returns 1.
    int OnInitDialog() override;
    void OnOK() override;      ///< Enter and the open button: routed by the focus
    void OnCancel() override;  ///< Esc and the close button; sends WM_PRGCANCELLED to the main window, then ends with 2
    /// Enter, by the focused control: the list or the open button opens the
    /// selected program (ending with 1, or WM_PRGZSFNOTFOUND without its scene
    /// file), close cancels, delete deletes, help sends WM_COMMAND ID_HELP to the
    /// main window; with the focus anywhere else the dialog ends with 1.
    void OnEnterKey() override;
    /// The user selected another entry: the accessors and the info panel follow
    /// it, and delete is enabled for a program of the user list alone.
    void OnLbnSelchangePrgLstProgram();
    /// The open button: it takes the focus, then acts as Enter.
    void OnBnClickedPrgBtnOk();
    /// Deletes the selected program of the user list after the user agreed
    /// (message 16007): its section leaves the list and its folder goes (the
    /// list's folder too when no program is left); message 16008 when the list
    /// cannot be replaced, and then nothing changes. Sends WM_PRGLISTCHANGED
    /// (wParam 1) to the parent. Nothing for a system program.
    void OnBnClickedPrgBtnDelete();
    /// a double-click at a point of the dialog's client area (the list forwards its own)
    ///
    /// On an entry it opens that program, as the open button does; in the list
    /// but on no entry it shows where the click fell in a message box.
    void OnLButtonDblClk(unsigned flags, const QPoint& point);
    /// Draws the list's entry: its icon, the title, and a line with the play time
    /// (the date for today's sky) and one with the credit.
    void OnDrawItem(int id, const ZntDrawItem& item) override;

protected:
    /// The list's selection and the buttons open, close and delete, and the
    /// double-click the list forwards (WM_LBUTTONDBLCLK).
    const MessageMap& GetMessageMap() const override;
    /// The left button starts a drag of the dialog by its surface (it has no title bar).
    void mousePressEvent(QMouseEvent* e) override;
    /// Moves the dialog with the drag, keeping it on top.
    void mouseMoveEvent(QMouseEvent* e) override;
    /// Ends the drag.
    void mouseReleaseEvent(QMouseEvent* e) override;
    /// Draws the title, the background picture, the frame and the info panel.
    void paintEvent(QPaintEvent* e) override;

public:
    /// What a screen reader hears of an entry after its title: the lines under it, one a line.
    QString EntryDescription(int index) const;

private:
    struct EntryLine {
        int gap;  // pixels above the line
        QString text;
    };
    QList<EntryLine> entryLines(const tagPROGITEM& program) const;  // what an entry shows under its title
    void openSelected();
    void selectSilently(int index);
    int topIndex() const;
    void layOut();
    void loadArt();
    void drawInfo(QPainter& dc) const;
    void buildInfoTexts(const tagPROGITEM& item);
    CZntListBox* list() const;

    QString m_strSysPrgPath;
    QString m_strUserPrgPath;
    QString m_strTitle;
    QString m_strSubTitle;
    QString m_strZsfName;
    QString m_strType;
    QString m_strJimaku;
    QString m_strZsfActualPath;
    int m_nIsSystem = 1;
    int m_nPlayTime = 3600;
    int m_nProgNum = -1;
    int m_nScrlPos = -1;
    QString m_strDate;
    int m_bDragging = 0;
    QPoint m_ptDragOrigin;
    InfoTexts m_info;  // the selected program's description, as the info panel shows it

    QList<tagPROGITEM> m_arrProgram;
    QImage m_bmpIcons[10];  // 16035..16044, owned here; records refer to them
    std::unique_ptr<CZntTpListBox> m_lstProgram;
    std::unique_ptr<CProgramArt> m_pArt;  // the pictures for the size it opens at
    QRect m_rcInfo;                       // the info panel
    QFont m_fontInfo[5];                  // cell heights 24, 16, 14, 12 and 11 at scale 1
    QFont m_fontSystem;                   // the list's titles
};
