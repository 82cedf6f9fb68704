#include "program/DlgProgram.h"

#include "frame/CorZnt.h"
#include "frame/ModuleMessages.h"
#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "platform/Text.h"
#include "program/ProgramListFile.h"
#include "program/ProgramListReader.h"
#include "support/zvncom/CommonFile.h"
#include "support/zvndcm/ParamFile.h"

#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWindow>

namespace {

constexpr int IDD_PROGRAM = 16103;
constexpr int IDS_PROGRAM_SECTION = 16055;
constexpr int IDS_DELETE_QUESTION = 16007;
constexpr int IDS_PRGLIST_FAILED = 16008;
constexpr int IDC_PRG_LST_PROGRAM = 1015;
constexpr int IDC_PRG_BTN_OK = 1018;
constexpr int IDC_PRG_BTN_CLOSE = 1019;
constexpr int IDC_PRG_BTN_DELETE = 1020;

QString unescapeLines(QString text) { return text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\r\n")); }

}  // namespace

CDlgProgram::CDlgProgram(QWidget* parent) : CZntDialog(IDD_PROGRAM, parent)
{
    LoadSettingsSection(IDS_PROGRAM_SECTION);
}

CDlgProgram::CDlgProgram(const QString& systemList, const QString& userList, QWidget* parent)
    : CZntDialog(IDD_PROGRAM, parent), m_strSysPrgPath(systemList), m_strUserPrgPath(userList)
{
}

CDlgProgram::CDlgProgram(const QString& systemList, const QString& userList, CCorZnt* host, QWidget* parent)
    : CZntDialog(IDD_PROGRAM, parent, host), m_strSysPrgPath(systemList), m_strUserPrgPath(userList)
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

QListWidget* CDlgProgram::list() const { return qobject_cast<QListWidget*>(GetDlgItem(IDC_PRG_LST_PROGRAM)); }

const MessageMap& CDlgProgram::GetMessageMap() const
{
    static const MessageMap map = {
        MapCommand(LBN_SELCHANGE, IDC_PRG_LST_PROGRAM, &CDlgProgram::OnLbnSelchangePrgLstProgram),
        MapCommand(BN_CLICKED, IDC_PRG_BTN_OK, &CDlgProgram::OnBnClickedPrgBtnOk),
        MapCommand(BN_CLICKED, IDC_PRG_BTN_CLOSE, &CDlgProgram::OnCancel),
        MapCommand(BN_CLICKED, IDC_PRG_BTN_DELETE, &CDlgProgram::OnBnClickedPrgBtnDelete),
    };
    return map;
}

int CDlgProgram::OnInitDialog()
{
    CZntDialog::OnInitDialog();
    // the dialog's own surface colour, which its bitmaps are drawn on
    if (!m_bPlainStyle)
        setStyleSheet(styleSheet() + QStringLiteral("QDialog { background: #353a42; }"));
    if (QListWidget* l = list()) {
        l->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        connect(l->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
            if (m_nPendingTop >= 0)
                setTopIndex(m_nPendingTop);
        });
        l->viewport()->installEventFilter(this);
        l->installEventFilter(this);
    }
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
    selectSilently(m_nProgNum);
    OnLbnSelchangePrgLstProgram();
    setTopIndex(m_nScrlPos);
    return 1;
}

int CDlgProgram::ReadProgramList()
{
    m_arrProgram.clear();
    if (QListWidget* l = list()) {
        const QSignalBlocker quiet(l);
        l->clear();
    }
    return CProgramListReader::ReadLists(m_strSysPrgPath, m_strUserPrgPath,
                                         [this](CParamFile* file, int isSystem) { return DoReadProgramList(file, isSystem); });
}

int CDlgProgram::DoReadProgramList(CParamFile* file, int isSystem)
{
    const qsizetype first = m_arrProgram.size();
    const int result = CProgramListReader(m_bmpIcons).DoRead(file, isSystem, m_arrProgram);
    // list box index equals array index
    if (QListWidget* l = list()) {
        const QSignalBlocker quiet(l);
        for (qsizetype i = first; i < m_arrProgram.size(); ++i)
            l->addItem(m_arrProgram[i].title);
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

int CDlgProgram::topIndex() const
{
    const QListWidget* l = list();
    return l ? l->verticalScrollBar()->value() : 0;
}

void CDlgProgram::setTopIndex(int index)
{
    QListWidget* l = list();
    if (!l)
        return;
    l->verticalScrollBar()->setValue(index);
    // a list not laid out yet has no scroll range: the position is taken once it has one
    m_nPendingTop = l->verticalScrollBar()->value() == index ? -1 : index;
}

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
    update();
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

    QFile source(m_strUserPrgPath);
    if (programFolder.isEmpty() || !source.open(QIODevice::ReadOnly)) {
        platform::MessageBox(this, platform::LoadString(IDS_PRGLIST_FAILED), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    const QByteArray filtered = CProgramListFile::RemoveSectionAfterwards(source.readAll(), item.progNum);
    source.close();
    // a list that cannot be replaced stays whole, and nothing else changes
    if (!CProgramListFile::ReplaceList(m_strUserPrgPath, filtered)) {
        platform::MessageBox(this, platform::LoadString(IDS_PRGLIST_FAILED), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    const int count = CProgramListFile::DecrementCount(m_strUserPrgPath);

    CCommonFile::DeleteDirectory(programFolder, 1);
    if (count < 1)
        CCommonFile::DeleteDirectory(CCommonFile::GetPathName(m_strUserPrgPath), 1);  // the list file goes with it

    const int previous = m_nProgNum;
    m_arrProgram.removeAt(index);
    ReadProgramList();
    m_nProgNum = std::max(0, previous - 1);
    selectSilently(m_nProgNum);
    OnLbnSelchangePrgLstProgram();
    if (parentWidget())
        platform::SendMessage(parentWidget(), WM_PRGLISTCHANGED, 1, 0);
}

bool CDlgProgram::eventFilter(QObject* watched, QEvent* e)
{
    QListWidget* l = list();
    if (l && (watched == l || watched == l->viewport()) && e->type() == QEvent::MouseButtonDblClick) {
        // the list hands its double-clicks to the dialog, in the dialog's coordinates
        auto* mouse = static_cast<QMouseEvent*>(e);
        OnLButtonDblClk(0, static_cast<QWidget*>(watched)->mapTo(this, mouse->position().toPoint()));
        return true;
    }
    return CZntDialog::eventFilter(watched, e);
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

void CDlgProgram::paintEvent(QPaintEvent* e)
{
    CZntDialog::paintEvent(e);
    if (m_nProgNum < 0 || m_info.title.isEmpty() || !list())
        return;
    // the selected program's description beside the list
    QPainter p(this);
    QRect r(list()->geometry().right() + 20, list()->geometry().top(), width() - list()->geometry().right() - 30,
            list()->geometry().height());
    p.setPen(QColor(0xE8, 0xEC, 0xF2));
    QFont title = font();
    title.setPointSize(14);
    title.setBold(true);
    p.setFont(title);
    QRect drawn;
    p.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_info.title, &drawn);
    const QRect rest(r.left(), drawn.bottom() + 8, r.width(), r.bottom() - drawn.bottom() - 8);
    p.setFont(font());
    QString body;
    for (const QString& text : {m_info.subTitle, m_info.summary, m_info.year, m_info.creditLabel + m_info.creditValue,
                                m_info.profile, m_info.organisation})
        if (!text.isEmpty())
            body += text + QStringLiteral("\n\n");
    p.drawText(rest, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, body);
}
