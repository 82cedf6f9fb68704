#pragma once
// The program dialog: the user picks a planetarium program from the system
// and user program lists, reads its description, and removes programs he
// installed. The host reads the choice through the accessors after it closes.
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

class ZVND06_EXPORT CDlgProgram : public CZntDialog {
    Q_OBJECT
public:
    explicit CDlgProgram(QWidget* parent);
    CDlgProgram(const QString& systemList, const QString& userList, QWidget* parent);
    CDlgProgram(const QString& systemList, const QString& userList, CCorZnt* host, QWidget* parent);
    ~CDlgProgram() override;

    void SetProgNum(int index) { m_nProgNum = index; }
    void SetScrlPos(int index) { m_nScrlPos = index; }

    int GetProgNum() const { return m_nProgNum; }
    int GetScrlPos() const { return m_nScrlPos; }
    const QString& GetProgTitle() const { return m_strTitle; }
    const QString& GetProgSubTitle() const { return m_strSubTitle; }
    const QString& GetProgType() const { return m_strType; }
    const QString& GetProgJimaku() const { return m_strJimaku; }
    const QString& GetZsfName() const { return m_strZsfName; }
    const QString& GetZsfActualPath() const { return m_strZsfActualPath; }
    int GetPlayTime() const { return m_nPlayTime; }
    int GetIsSystem() const { return m_nIsSystem; }
    const QString& GetDateText() const { return m_strDate; }
    // what the info panel shows of the selected program
    struct InfoTexts {
        QString title;
        QString subTitle;      // " ～ sub-title ～", or empty
        QString summary;       // its line breaks restored
        QString year;          // "<Year>年制作", or empty
        QString creditLabel;   // "<caption>："
        QString creditValue;   // the credit, "（<Org>）" after it when there is one
        QString profile;       // "★<Profile>", or empty
        QString organisation;  // "☆<Org>\r\n<OrgInfo>" when there is organisation information, or empty
    };
    const InfoTexts& GetInfoTexts() const { return m_info; }
    static const QString& NoticeText();
    const QList<tagPROGITEM>& Programs() const { return m_arrProgram; }
    // the pictures it is drawn from, and where the info panel lies
    const CProgramArt& GetArt() const { return *m_pArt; }
    const QRect& GetInfoRect() const { return m_rcInfo; }
    CZntTpListBox& GetListBox() const { return *m_lstProgram; }

    int ReadProgramList();
    int DoReadProgramList(CParamFile* file, int isSystem);
    int CheckPrgFile(QString& kind, QString& shortKind);

    int OnInitDialog() override;
    void OnOK() override;      // Enter and the open button: routed by the focus
    void OnCancel() override;  // Esc and the close button
    void OnEnterKey() override;
    void OnLbnSelchangePrgLstProgram();
    void OnBnClickedPrgBtnOk();
    void OnBnClickedPrgBtnDelete();
    // a double-click at a point of the dialog's client area (the list forwards its own)
    void OnLButtonDblClk(unsigned flags, const QPoint& point);
    void OnDrawItem(int id, const ZntDrawItem& item) override;

protected:
    const MessageMap& GetMessageMap() const override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    struct EntryLine {
        int gap;  // pixels above the line
        QString text;
    };
    QList<EntryLine> entryLines(const tagPROGITEM& program) const;  // what an entry shows under its title
    void describeEntries();
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
    std::unique_ptr<CProgramArt> m_pArt;  // composed anew at every start-up
    QRect m_rcInfo;                       // the info panel
    QFont m_fontInfo[5];                  // cell heights 24, 16, 14, 12 and 11 at scale 1
    QFont m_fontSystem;                   // the list's titles
};
