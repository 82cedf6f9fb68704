#include "program/DlgProgram.h"

#include "frame/CorZnt.h"
#include "frame/ModuleMessages.h"
#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "platform/PoolThread.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "program/ProgramArt.h"
#include "program/ProgramListFile.h"
#include "program/ProgramListReader.h"
#include "program/ZntTpListBox.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvncst/ResScale.h"
#include "support/zvncst/ZntListBox.h"
#include "support/zvncst/ZntTheme.h"
#include "support/zvndcm/ParamFile.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QWindow>

namespace {

// The pictures of the last opening, by the sizes and the resources they were composed from:
// a dialog opened again at the same size has them at once. They are scaled and composed
// where Qt does not split the work over threads.
CProgramArt composedArt(const QSize& client, int listRight, const QSize& highlight)
{
    static struct {
        QSize client, highlight;
        int listRight = -1, resources = -1;
        CProgramArt art;
    } last;
    const int resources = platform::ResourceChainGeneration();
    if (last.client != client || last.listRight != listRight || last.highlight != highlight || last.resources != resources) {
        platform::RunOnPoolThread([&] { last.art.Build(client, listRight, highlight); });
        last.client = client;
        last.listRight = listRight;
        last.highlight = highlight;
        last.resources = resources;
    }
    return last.art;
}

// An entry of the list: a screen reader hears its title as its name and the lines under
// it as its description. The description is made when asked for, with the date as it is
// then, and never for the thousands of entries nobody visits.
class ProgramEntry : public QListWidgetItem {
public:
    ProgramEntry(const QString& title, const CDlgProgram* dialog) : QListWidgetItem(title), m_dialog(dialog) {}

    QVariant data(int role) const override
    {
        if (role == Qt::AccessibleDescriptionRole && listWidget())
            return m_dialog->EntryDescription(listWidget()->row(this));  // list index equals array index
        return QListWidgetItem::data(role);
    }

private:
    const CDlgProgram* m_dialog;
};

constexpr int IDD_PROGRAM = 16103;
constexpr int IDS_PROGRAM_SECTION = 16055;
constexpr int IDS_DELETE_QUESTION = 16007;
constexpr int IDS_PRGLIST_FAILED = 16008;
constexpr int IDC_PRG_LST_PROGRAM = 1015;
constexpr int IDC_PRG_BTN_OK = 1018;
constexpr int IDC_PRG_BTN_CLOSE = 1019;
constexpr int IDC_PRG_BTN_DELETE = 1020;
constexpr int IDB_BACKGROUND = 16045;

constexpr int kVisibleEntries = 6;
constexpr int kMargin = 10;      // between the frame's outer edge and what lies inside it
constexpr int kListTop = 60;     // below the title image
constexpr int kBottomBand = 60;  // below the list, where the buttons stand
const QSize kButtonSize(107, 49);
const QColor kClientColour(0x35, 0x3A, 0x42);
const QColor kListText(0xF0, 0xF0, 0xF0);
// the info panel's fonts: cell heights at scale 1 for the title, sub-title, summary, profile and notice
constexpr int kInfoFontHeights[5] = {24, 16, 14, 12, 11};
enum { FontTitle, FontSubTitle, FontBody, FontProfile, FontNotice };
constexpr int kSystemFontHeight = 16;

QString unescapeLines(QString text) { return text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\r\n")); }

}  // namespace

CDlgProgram::CDlgProgram(QWidget* parent) : CDlgProgram(QString(), QString(), nullptr, parent)
{
    LoadSettingsSection(IDS_PROGRAM_SECTION);
}

CDlgProgram::CDlgProgram(const QString& systemList, const QString& userList, QWidget* parent)
    : CDlgProgram(systemList, userList, nullptr, parent)
{
}

CDlgProgram::CDlgProgram(const QString& systemList, const QString& userList, CCorZnt* host, QWidget* parent)
    : CZntDialog(IDD_PROGRAM, parent, host),
      m_strSysPrgPath(systemList),
      m_strUserPrgPath(userList),
      m_lstProgram(std::make_unique<CZntTpListBox>()),
      m_pArt(std::make_unique<CProgramArt>())
{
}

CDlgProgram::~CDlgProgram() = default;

const QString& CDlgProgram::NoticeText()
{
    static const QString notice = QStringLiteral(
        "プラネタリウム番組は、個人での視聴など私的利用に限ってご利用になれます。\r\n"
        "不特定多数の方を対象とした上映については、お問い合わせください。");
    return notice;
}

CZntListBox* CDlgProgram::list() const { return qobject_cast<CZntListBox*>(GetDlgItem(IDC_PRG_LST_PROGRAM)); }

const MessageMap& CDlgProgram::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(LBN_SELCHANGE, IDC_PRG_LST_PROGRAM, &CDlgProgram::OnLbnSelchangePrgLstProgram),
        MapCommand(BN_CLICKED, IDC_PRG_BTN_OK, &CDlgProgram::OnBnClickedPrgBtnOk),
        MapCommand(BN_CLICKED, IDC_PRG_BTN_CLOSE, &CDlgProgram::OnCancel),
        MapCommand(BN_CLICKED, IDC_PRG_BTN_DELETE, &CDlgProgram::OnBnClickedPrgBtnDelete),
        {MessageMapEntry::Message, 0, 0, platform::WM_LBUTTONDBLCLK,
         [](CZntDialog& d, platform::WPARAM flags, platform::LPARAM at) {
             const QPoint point(static_cast<qint16>(at & 0xFFFF), static_cast<qint16>((at >> 16) & 0xFFFF));
             static_cast<CDlgProgram&>(d).OnLButtonDblClk(static_cast<unsigned>(flags), point);
             return platform::LRESULT(0);
         }},
    };
    return map;
}

int CDlgProgram::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    setStyleSheet(QString());  // the dialog draws every pixel of itself
    layOut();
    // the title and the buttons are pictures: a screen reader says the words drawn on them
    setAccessibleName(QStringLiteral("プラネタリウム番組"));
    if (list())
        list()->setAccessibleName(accessibleName());
    static const struct { int id; const char* name; } buttons[] = {
        {IDC_PRG_BTN_OK, "開く"}, {IDC_PRG_BTN_CLOSE, "閉じる"}, {IDC_PRG_BTN_DELETE, "削除"}, {IDC_HELP_COMMAND, "ヘルプ"}};
    for (const auto& b : buttons)
        if (QWidget* button = GetDlgItem(b.id))
            button->setAccessibleName(QString::fromUtf8(b.name));
    m_lstProgram->Attach(IDC_PRG_LST_PROGRAM, this);
    if (!m_bPlainStyle && list())
        CZntTheme::SetWindowTheme(list(), L"", L"");
    loadArt();
    for (int i = 0; i < 10; ++i)
        m_bmpIcons[i] = platform::LoadBitmap(16035 + i);
    if (!ReadProgramList()) {
        EndDialog(platform::IDCANCEL);  // the message has been shown
        return 1;
    }
    if (m_pCorZnt) {
        // "? LST(time)": 4 characters, the era in 2, then year/month/day
        const QString answer = m_pCorZnt->ExecCommand(QStringLiteral("? LST(time)"));
        const QString era = answer.mid(4, 2);
        const QStringList parts = answer.mid(6).split(u'/');
        m_strDate = QStringLiteral("%1%2年%3月%4日")
                        .arg(era == u"AD" ? QStringLiteral("西暦") : QStringLiteral("紀元前"))
                        .arg(platform::_wtoi(parts.value(0)))
                        .arg(platform::_wtoi(parts.value(1)))
                        .arg(platform::_wtoi(parts.value(2)));
    }
    const int count = int(m_arrProgram.size());
    if (m_nProgNum < 0 || m_nProgNum >= count || m_nScrlPos < 0 || m_nScrlPos >= count)
        m_nProgNum = m_nScrlPos = 0;
    m_lstProgram->SetBkBitmap(IDB_BACKGROUND);
    selectSilently(m_nProgNum);
    OnLbnSelchangePrgLstProgram();
    m_lstProgram->InitScroll(m_nScrlPos);
    return 1;
}

void CDlgProgram::layOut()
{
    CZntListBox* l = list();
    if (!l)
        return;
    // six entries of one height, the list exactly as high as they are
    const QRect given = l->geometry();
    const int entry = given.height() / kVisibleEntries;
    l->SetItemHeight(entry);
    l->setGeometry(kMargin, kListTop, given.width(), kVisibleEntries * entry);
    const QRect placed = l->geometry();
    const int width = Units().X(Template().width) + 2 * kMargin;
    const int height = placed.y() + placed.height() + kBottomBand;
    // on the main window's monitor when it is on another
    if (const QWidget* main = platform::MainWindow()) {
        const QScreen* mine = screen();
        const QScreen* theirs = main->screen();
        if (mine && theirs && mine != theirs)
            move(pos() + theirs->geometry().topLeft() - mine->geometry().topLeft());
    }
    SetClientSize(width, height);
    const int listRight = placed.x() + placed.width();
    m_rcInfo = QRect(listRight, placed.y(), width - kMargin - listRight, placed.height());
    // delete at the left; open, close and help side by side at the right
    const int gap = Units().X(7);
    const int top = height - kMargin - kButtonSize.height();
    const int helpLeft = width - kMargin - gap - kButtonSize.width();
    const struct { int id; int left; } buttons[] = {
        {IDC_PRG_BTN_DELETE, kMargin + gap},
        {IDC_PRG_BTN_OK, helpLeft - 2 * kButtonSize.width()},
        {IDC_PRG_BTN_CLOSE, helpLeft - kButtonSize.width()},
        {ID_HELP, helpLeft},
    };
    for (const auto& button : buttons)
        if (QWidget* w = GetDlgItem(button.id))
            w->setGeometry(QRect(QPoint(button.left, top), kButtonSize));
}

void CDlgProgram::loadArt()
{
    const double ratio = CResScale::GetRatio(this);
    for (int i = 0; i < 5; ++i)
        m_fontInfo[i] = CProgramArt::CellHeightFont(font(), kInfoFontHeights[i], ratio);
    m_fontSystem = CProgramArt::CellHeightFont(font(), kSystemFontHeight, ratio);
    const QRect placed = list() ? list()->geometry() : QRect();
    const int entryWidth = list() ? list()->width() - m_lstProgram->ScrollBarWidth() : 0;
    const int entryHeight = list() ? list()->GetItemHeight() : 0;
    *m_pArt = composedArt(size(), placed.x() + placed.width(), QSize(entryWidth - 10, entryHeight - 2));
}

int CDlgProgram::ReadProgramList()
{
    m_arrProgram.clear();
    if (QListWidget* l = list()) {
        const QSignalBlocker quiet(l);
        l->clear();
    }
    const int read = CProgramListReader::ReadLists(m_strSysPrgPath, m_strUserPrgPath, [this](CParamFile* file, int isSystem) {
        return DoReadProgramList(file, isSystem);
    });
    return read;
}

int CDlgProgram::DoReadProgramList(CParamFile* file, int isSystem)
{
    const qsizetype first = m_arrProgram.size();
    const int result = CProgramListReader(m_bmpIcons).DoRead(file, isSystem, m_arrProgram);
    // list box index equals array index
    if (QListWidget* l = list()) {
        const QSignalBlocker quiet(l);
        for (qsizetype i = first; i < m_arrProgram.size(); ++i)
            l->addItem(new ProgramEntry(m_arrProgram[i].title, this));  // the list owns it
    }
    return result;
}

int CDlgProgram::CheckPrgFile(QString& kind, QString& shortKind)
{
    QString path;
    if (!CProgramListReader::FindScene(m_strType, m_strZsfName, m_nIsSystem, m_strSysPrgPath, m_strUserPrgPath, path,
                                       kind, shortKind))
        return 0;
    m_strZsfActualPath = path;
    return 1;
}

void CDlgProgram::selectSilently(int index)
{
    if (QListWidget* l = list()) {
        const QSignalBlocker quiet(l);
        l->setCurrentRow(index);
    }
}

int CDlgProgram::topIndex() const { return m_lstProgram->GetScrollPos(SB_VERT); }

void CDlgProgram::OnLbnSelchangePrgLstProgram()
{
    m_nProgNum = list() ? list()->currentRow() : -1;
    if (m_nProgNum < 0 || m_nProgNum >= m_arrProgram.size())
        return;
    const tagPROGITEM& item = m_arrProgram[m_nProgNum];
    buildInfoTexts(item);
    m_strTitle = item.title;
    m_strSubTitle = item.subTitle;
    m_strZsfName = item.script;
    m_strType = item.type;
    m_strJimaku = item.jimaku;
    m_nIsSystem = item.isSystem;
    if (item.type != u"Today" && item.time != 0)
        m_nPlayTime = item.time;
    if (QWidget* del = GetDlgItem(IDC_PRG_BTN_DELETE))
        del->setEnabled(!item.isSystem);
    update(m_rcInfo);
}

void CDlgProgram::buildInfoTexts(const tagPROGITEM& item)
{
    InfoTexts info;
    info.title = item.title;
    if (!item.subTitle.isEmpty())
        info.subTitle = QStringLiteral(" ～ %1 ～").arg(item.subTitle);
    info.summary = unescapeLines(item.summary);
    if (!item.year.isEmpty())
        info.year = QStringLiteral("%1年制作").arg(item.year);
    QString caption;
    if (item.type == u"BGV")
        caption = QStringLiteral("曲"), info.creditValue = item.music;
    else if (item.artist.isEmpty())
        caption = QStringLiteral("シナリオ・ナレーション"), info.creditValue = item.narrator;
    else
        caption = item.artWork, info.creditValue = item.artist;
    info.creditLabel = caption + QStringLiteral("：");
    if (!item.org.isEmpty())
        info.creditValue += QStringLiteral("（%1）").arg(item.org);
    // a block with nothing to say is not drawn, not even its mark
    if (!item.profile.isEmpty())
        info.profile = QStringLiteral("★") + unescapeLines(item.profile);
    if (!item.orgInfo.isEmpty())
        info.organisation = QStringLiteral("☆%1\r\n%2").arg(item.org, unescapeLines(item.orgInfo));
    m_info = info;
}

void CDlgProgram::OnEnterKey()
{
    // Enter is routed by the control that has the focus
    m_nScrlPos = topIndex();
    const QWidget* focus = focusWidget();
    if (focus == list() || focus == GetDlgItem(IDC_PRG_BTN_OK))
        openSelected();
    else if (focus == GetDlgItem(IDC_PRG_BTN_CLOSE))
        OnCancel();
    else if (focus == GetDlgItem(IDC_PRG_BTN_DELETE))
        OnBnClickedPrgBtnDelete();
    else if (focus == GetDlgItem(ID_HELP))
        platform::SendMessage(platform::MainWindow(), platform::WM_COMMAND, ID_HELP, 0);
    else
        EndDialog(platform::IDOK);
}

void CDlgProgram::OnOK() { OnEnterKey(); }

void CDlgProgram::OnBnClickedPrgBtnOk()
{
    // a click gives the button the focus, then runs as Enter
    if (QWidget* button = GetDlgItem(IDC_PRG_BTN_OK))
        button->setFocus();
    OnEnterKey();
}

void CDlgProgram::openSelected()
{
    QString kind, shortKind;
    if (CheckPrgFile(kind, shortKind)) {
        EndDialog(platform::IDOK);
        return;
    }
    // the texts live as long as the call
    platform::SendMessage(platform::MainWindow(), WM_PRGZSFNOTFOUND, reinterpret_cast<platform::WPARAM>(&kind),
                          reinterpret_cast<platform::LPARAM>(&shortKind));
}

void CDlgProgram::OnCancel()
{
    m_nScrlPos = topIndex();
    platform::SendMessage(platform::MainWindow(), WM_PRGCANCELLED, 0, 0);
    EndDialog(platform::IDCANCEL);
}

void CDlgProgram::OnLButtonDblClk(unsigned, const QPoint& point)
{
    QListWidget* l = list();
    if (!l || !l->geometry().contains(point))
        return;
    // as the list box answers LB_ITEMFROMPOINT: the nearest entry, and whether the point lies on no entry
    const QPoint inViewport = l->viewport()->mapFrom(this, point);
    const QModelIndex at = l->indexAt(inViewport);
    const bool outside = !at.isValid() || !l->viewport()->rect().contains(inViewport);
    int index = 0;
    if (at.isValid())
        index = at.row();
    else if (l->count() > 0)
        index = inViewport.y() < 0 ? topIndex() : l->count() - 1;
    if (!outside && index < l->count()) {
        selectSilently(index);
        OnLbnSelchangePrgLstProgram();
        m_nScrlPos = topIndex();
        openSelected();
        return;
    }
    platform::MessageBox(this, QStringLiteral("bOut = %1, uClicked = %2").arg(outside ? 1 : 0).arg(index), platform::MB_OK);
}

void CDlgProgram::OnBnClickedPrgBtnDelete()
{
    const int index = list() ? list()->currentRow() : -1;
    if (index < 0 || index >= m_arrProgram.size())
        return;
    const tagPROGITEM item = m_arrProgram[index];
    if (item.isSystem)
        return;
    // the one folder the delete may remove; a script that names no program folder of its own is refused
    const QString programFolder = CProgramListFile::ProgramFolder(m_strUserPrgPath, item.script);
    if (platform::MessageBox(this, platform::LoadString(IDS_DELETE_QUESTION).replace(QStringLiteral("%1"), item.title),
                             platform::MB_OKCANCEL | platform::MB_ICONASTERISK) != platform::IDOK)
        return;

    // the list is read, filtered and replaced under its lock, let go before any box or folder removal
    const std::optional<int> count =
        programFolder.isEmpty() ? std::nullopt : CProgramListFile::RemoveProgram(m_strUserPrgPath, item.progNum, item.script);
    // a list that cannot be replaced stays whole, and nothing else changes
    if (!count) {
        platform::MessageBox(this, platform::LoadString(IDS_PRGLIST_FAILED), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }

    CCommonFile::DeleteDirectory(programFolder, 1);
    if (*count < 1)
        CCommonFile::DeleteDirectory(CCommonFile::GetPathName(m_strUserPrgPath), 1);  // the list file goes with it

    const int previous = m_nProgNum;
    m_arrProgram.removeAt(index);
    ReadProgramList();
    m_lstProgram->UpdateScrollRange();
    m_nProgNum = std::max(0, previous - 1);
    selectSilently(m_nProgNum);
    OnLbnSelchangePrgLstProgram();
    if (parentWidget())
        platform::SendMessage(parentWidget(), WM_PRGLISTCHANGED, 1, 0);
}

void CDlgProgram::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return CZntDialog::mousePressEvent(e);
    // the dialog has no title bar: its surface moves it
    m_bDragging = 1;
    m_ptDragOrigin = e->position().toPoint();
    grabMouse();
}

void CDlgProgram::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_bDragging)
        return CZntDialog::mouseMoveEvent(e);
    move(pos() + e->position().toPoint() - m_ptDragOrigin);
    // top-most and shown, as the drag places it; the window's own flags change, so the dialog stays up
    if (QWindow* window = windowHandle(); window && !(window->flags() & Qt::WindowStaysOnTopHint))
        window->setFlags(window->flags() | Qt::WindowStaysOnTopHint);
    show();
    raise();
}

void CDlgProgram::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_bDragging || e->button() != Qt::LeftButton)
        return CZntDialog::mouseReleaseEvent(e);
    m_bDragging = 0;
    releaseMouse();
}

void CDlgProgram::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    dc.fillRect(rect(), kClientColour);
    dc.drawImage(kMargin, kMargin, m_pArt->Title());
    const QRect picture(QPoint(kMargin, kListTop), QPoint(width() - kMargin - 1, height() - kBottomBand - 1));
    dc.drawImage(picture.topLeft(), m_pArt->Background(), picture);
    m_pArt->DrawFrame(dc, size());
    if (m_nProgNum >= 0 && m_nProgNum < m_arrProgram.size())
        drawInfo(dc);
    // the list paints itself over this, after it
}

void CDlgProgram::drawInfo(QPainter& dc) const
{
    const InfoTexts& info = m_info;
    const int wrap = Qt::TextWordWrap;
    dc.save();
    dc.setPen(Qt::black);
    QRect r = m_rcInfo.adjusted(30, 10, -30, -10);
    // a text with the painter's font: the height it took
    const auto draw = [&](const QFont& font, const QString& text, int format) {
        dc.setFont(font);
        QRect drawn;
        dc.drawText(r, format, text, &drawn);
        return drawn.height();
    };
    // title, sub-title and credit keep to their lines; only the blocks below them wrap
    r.setTop(r.top() + 5 + draw(m_fontInfo[FontTitle], info.title, Qt::AlignHCenter));
    if (!info.subTitle.isEmpty())
        r.setTop(r.top() + draw(m_fontInfo[FontSubTitle], info.subTitle, Qt::AlignHCenter));
    dc.drawLine(r.left(), r.top() + 5, r.right(), r.top() + 5);

    const QFont& body = m_fontInfo[FontBody];
    r.setTop(r.top() + 15);
    r.setTop(r.top() + CProgramArt::DrawTextLeading(&dc, &body, info.summary, &r, Qt::AlignLeft | wrap, 1.3));
    if (!info.year.isEmpty())
        r.setTop(r.top() + draw(body, info.year, Qt::AlignRight | wrap));
    // the credit on one line when it fits, else its label above the value at the right
    r.setTop(r.top() + 15);
    const QString lineBreak = QStringLiteral("\r\n");
    int credit = 0;
    if (QFontMetrics(body).horizontalAdvance(info.creditLabel + info.creditValue) <= r.width()) {
        credit = draw(body, info.creditLabel + info.creditValue + lineBreak, Qt::AlignLeft);
    } else {
        r.setTop(r.top() + 3 + draw(body, info.creditLabel, Qt::AlignLeft));
        credit = draw(body, info.creditValue + lineBreak, Qt::AlignRight);
    }

    const QFont& small = m_fontInfo[FontProfile];
    int profile = 0;
    bool indented = false;
    if (!info.profile.isEmpty()) {
        r.setTop(r.top() + credit);
        r.setLeft(r.left() + 10);
        indented = true;
        profile = CProgramArt::DrawTextLeading(&dc, &small, info.profile, &r, Qt::AlignLeft | wrap, 1.1);
    }
    if (!info.organisation.isEmpty()) {
        if (!indented)
            r.setLeft(r.left() + 10);
        r.setTop(r.top() + 15 + profile);
        CProgramArt::DrawTextLeading(&dc, &small, info.organisation, &r, Qt::AlignLeft | wrap, 1.1);
    }

    const QFont& notice = m_fontInfo[FontNotice];
    r.setTop(m_rcInfo.y() + m_rcInfo.height() - 3 * CProgramArt::LineHeight(notice));
    CProgramArt::DrawTextLeading(&dc, &notice, NoticeText(), &r, Qt::AlignLeft | Qt::AlignBottom | wrap, 1.1);
    dc.restore();
}

void CDlgProgram::OnDrawItem(int id, const ZntDrawItem& item)
{
    if (id != IDC_PRG_LST_PROGRAM || item.itemID < 0 || item.itemID >= m_arrProgram.size() || !list())
        return;
    const tagPROGITEM& program = m_arrProgram[item.itemID];
    QPainter& dc = *item.pDC;
    const QRect& e = item.rcItem;
    const int right = e.x() + e.width();
    dc.save();
    if (item.selected) {
        CProgramArt::DrawMasked(dc, e.topLeft() + QPoint(5, 1), m_pArt->HighlightMask(), m_pArt->Highlight());
    } else {
        // the dialog's picture where the entry lies: the entry looks transparent
        const QPoint onDialog = list()->viewport()->mapTo(this, e.topLeft());
        dc.drawImage(e.topLeft(), m_pArt->Background(), QRect(onDialog, e.size()));
    }
    if (program.icon && program.iconMask)
        CProgramArt::DrawMasked(dc, QPoint(e.x() + 20, (e.y() + e.y() + e.height()) / 2 - 16), *program.iconMask,
                                *program.icon);
    dc.setPen(kListText);

    // the title twice, one pixel apart, for a bold look
    dc.setFont(m_fontSystem);
    const QRect title(e.x() + 60, e.y() + 8, right - e.x() - 60, CProgramArt::LineHeight(m_fontSystem));
    const int oneLine = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    dc.drawText(title, oneLine, program.title);
    dc.drawText(title.translated(1, 0), oneLine, program.title);
    int bottom = title.y() + title.height();

    const QFont& gui = font();
    dc.setFont(gui);
    const int line = CProgramArt::LineHeight(gui);
    for (const EntryLine& text : entryLines(program)) {
        const QRect r(e.x() + 70, bottom + text.gap, right - e.x() - 70, line);
        dc.drawText(r, oneLine, text.text);
        bottom = r.y() + r.height();
    }
    dc.restore();
}

QList<CDlgProgram::EntryLine> CDlgProgram::entryLines(const tagPROGITEM& program) const
{
    QList<EntryLine> lines;
    if (program.type == u"Program")
        lines.append({4, QStringLiteral("上映時間：%1分%2秒")
                             .arg(program.time / 60, 2, 10, QLatin1Char('0'))
                             .arg(program.time % 60, 2, 10, QLatin1Char('0'))});
    else if (program.type == u"Today")
        lines.append({4, QStringLiteral("解説する日：") + m_strDate});
    if (program.type == u"BGV")
        lines.append({3, QStringLiteral("曲：") + program.music});
    else if (program.artist.isEmpty())
        lines.append({3, QStringLiteral("シナリオ・ナレーション：") + program.narrator});
    else
        lines.append({3, program.artWork + QStringLiteral("：") + program.artist});
    return lines;
}

QString CDlgProgram::EntryDescription(int index) const
{
    if (index < 0 || index >= m_arrProgram.size())
        return {};
    QStringList texts;
    for (const EntryLine& text : entryLines(m_arrProgram[index]))
        texts.append(text.text);
    return texts.join(u'\n');
}
