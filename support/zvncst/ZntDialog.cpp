#include "support/zvncst/ZntDialog.h"

#include "platform/HostWindows.h"
#include "platform/MessageBox.h"
#include "platform/ResourceChain.h"
#include "support/zvncst/Skin.h"
#include "support/zvncst/ZntBitmapButton.h"
#include "support/zvncst/ZntListBox.h"
#include "support/zvncst/ZntProgressCtrl.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

platform::DialogTemplate findTemplate(int id)
{
    if (const platform::DialogTemplate* t = platform::FindDialogTemplate(id))
        return *t;
    qWarning("dialog template %d is not in the resource chain", id);
    platform::DialogTemplate empty;
    empty.id = id;
    return empty;
}

// What a screen reader says for a control's text: the mnemonic is a key, not a word,
// so "名前(&N)：" reads "名前：" and "&Open" reads "Open" ("&&" stays one "&").
QString spokenText(QString text)
{
    static const QRegularExpression group(QStringLiteral("[(（]&[^&][)）]"));
    static const QRegularExpression mark(QStringLiteral("&(.)"));
    return text.remove(group).replace(mark, QStringLiteral("\\1"));
}

// A control takes its accessible name from its own text or from the label before it; a
// tree's hidden header is read too, so it carries the same name rather than a column number.
void nameControl(QWidget* control, const QString& text)
{
    control->setAccessibleName(spokenText(text));
    if (auto* tree = qobject_cast<QTreeWidget*>(control))
        tree->setHeaderLabel(control->accessibleName());
}

// "MAKEWPARAM(id, code)" of a WM_COMMAND
int commandId(platform::WPARAM w) { return static_cast<int>(w & 0xFFFF); }
int commandCode(platform::WPARAM w) { return static_cast<int>(static_cast<qint16>((w >> 16) & 0xFFFF)); }

}  // namespace

CZntDialog::CZntDialog(int templateId, QWidget* parent, CCorZnt* host)
    : QDialog(parent),
      CZntDialogBase(host),
      m_template(findTemplate(templateId)),
      m_units(CDialogUnits::TemplateFont(m_template.fontFamily, m_template.fontPointSize))
{
    build();
}

CZntDialog::~CZntDialog() = default;

void CZntDialog::build()
{
    const QFont font = CDialogUnits::TemplateFont(m_template.fontFamily, m_template.fontPointSize);
    setFont(font);
    if (!m_bPlainStyle)
        setStyleSheet(skin::DialogStyleSheet(font));
    Qt::WindowFlags flags = Qt::Dialog;
    if (m_template.Has(QStringLiteral("popup")))
        flags |= Qt::FramelessWindowHint;
    else
        flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint
                 | (m_template.Has(QStringLiteral("sysmenu")) ? Qt::WindowCloseButtonHint : Qt::WindowFlags());
    setWindowFlags(flags);
    setWindowTitle(m_template.title);
    SetClientSize(m_units.X(m_template.width), m_units.Y(m_template.height));

    QWidget* label = nullptr;  // a label's mnemonic moves the focus to the control after it
    QGroupBox* group = nullptr;  // the last group box made: the controls after it may lie in it
    for (const platform::ControlTemplate& control : m_template.controls) {
        QWidget* widget = createControl(control);
        widget->setGeometry(m_units.Rect(control.x, control.y, control.width, control.height));
        fitText(widget, font);
        if (!control.text.isEmpty() && !qobject_cast<QLineEdit*>(widget) && !qobject_cast<QTextEdit*>(widget)
            && !qobject_cast<QPlainTextEdit*>(widget))
            nameControl(widget, control.text);  // an edit's text is its value, not its name
        if (auto* l = qobject_cast<QLabel*>(label); l && widget->focusPolicy() != Qt::NoFocus) {
            l->setBuddy(widget);
            nameControl(widget, l->text());
        }
        // a control no text names is named by its template ("name=…"), else by the group it lies in
        if (widget->accessibleName().isEmpty()) {
            for (const QString& flag : control.flags)
                if (flag.startsWith(QLatin1String("name=")))
                    nameControl(widget, flag.mid(5));
        }
        if (widget->accessibleName().isEmpty() && group && group->geometry().contains(widget->geometry()))
            nameControl(widget, group->title());
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            group = box;
        label = control.kind == u"static" ? widget : nullptr;
        widget->installEventFilter(this);  // the control answers the standard controls' messages
        // the first of a kind holds its id, as the first control with id -1 does on Windows
        if (!m_controls.contains(control.id)) {
            m_controls.insert(control.id, widget);
            widget->setObjectName(QStringLiteral("ctl%1").arg(control.id));
            connectNotifications(widget, control.id);
        }
    }
}

QWidget* CZntDialog::createControl(const platform::ControlTemplate& c)
{
    const QString& kind = c.kind;
    if (kind == u"button" || kind == u"defbutton") {
        auto* button = new QPushButton(c.text, this);
        button->setAutoDefault(false);
        button->setDefault(kind == u"defbutton");
        return button;
    }
    if (kind == u"bitmapbutton")
        return new CZntBitmapButton(c.text, this);
    if (kind == u"check")
        return new QCheckBox(c.text, this);
    if (kind == u"edit") {
        if (c.Has(QStringLiteral("multiline"))) {
            auto* edit = new QPlainTextEdit(c.text, this);
            edit->setReadOnly(c.Has(QStringLiteral("readonly")));
            return edit;
        }
        auto* edit = new QLineEdit(c.text, this);
        edit->setReadOnly(c.Has(QStringLiteral("readonly")));
        if (c.Has(QStringLiteral("password")))
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    if (kind == u"richedit") {
        auto* edit = new QTextEdit(this);
        edit->setAcceptRichText(false);
        edit->setPlainText(c.text);
        edit->setReadOnly(c.Has(QStringLiteral("readonly")));
        edit->setTabChangesFocus(true);
        edit->setVerticalScrollBarPolicy(c.Has(QStringLiteral("vscroll")) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        return edit;
    }
    if (kind == u"list") {
        auto* list = new CZntListBox(this);
        list->setVerticalScrollBarPolicy(c.Has(QStringLiteral("vscroll")) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        if (c.Has(QStringLiteral("ownerdraw")))
            list->SetOwnerDraw([this, id = c.id](const ZntDrawItem& item) { OnDrawItem(id, item); });
        return list;
    }
    if (kind == u"tree") {
        auto* tree = new QTreeWidget(this);
        tree->setHeaderHidden(true);
        tree->setColumnCount(1);
        return tree;
    }
    if (kind == u"progress")
        return new CZntProgressBar(this);
    if (kind == u"group")
        return new QGroupBox(c.text, this);
    if (kind == u"picture" || kind == u"icon") {  // blank: its dialog gives it its image
        auto* picture = new QLabel(this);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    if (kind == u"browser") {
        auto* frame = new QFrame(this);  // the page's view is placed into it by its dialog
        frame->setFrameShape(QFrame::NoFrame);
        return frame;
    }
    auto* label = new QLabel(c.text, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment((c.Has(QStringLiteral("center")) ? Qt::AlignHCenter
                         : c.Has(QStringLiteral("right")) ? Qt::AlignRight
                                                          : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

void CZntDialog::fitText(QWidget* widget, const QFont& templateFont)
{
    // Substitute fonts are wider than the template font was: a one-line text
    // that would be cut off is drawn a little smaller instead, down to 7 points.
    int room = widget->width();
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (widget->height() >= 2 * QFontMetrics(templateFont).height())
            return;  // room for more lines: it wraps
        label->setWordWrap(false);
        text = label->text();
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        text = check->text();
        room -= 20;  // the box and its gap
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        text = button->text();
        room -= 18;  // frame and padding
    } else {
        return;
    }
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));  // mnemonic marks take no room
    QFont font = templateFont;
    while (QFontMetrics(font).horizontalAdvance(text) > room && font.pointSizeF() > 7.0)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != templateFont)
        widget->setFont(font);
}

void CZntDialog::connectNotifications(QWidget* widget, int id)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { DispatchCommand(BN_CLICKED, id); });
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        connect(line, &QLineEdit::textChanged, this, [this, id] { DispatchCommand(EN_CHANGE, id); });
    } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        connect(text, &QTextEdit::textChanged, this, [this, id] { DispatchCommand(EN_CHANGE, id); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(plain, &QPlainTextEdit::textChanged, this, [this, id] { DispatchCommand(EN_CHANGE, id); });
    } else if (auto* list = qobject_cast<CZntListBox*>(widget)) {
        connect(list, &CZntListBox::selChange, this, [this, id] { DispatchCommand(LBN_SELCHANGE, id); });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { DispatchCommand(LBN_DBLCLK, id); });
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        connect(tree, &QTreeWidget::currentItemChanged, this, [this, id] { DispatchCommand(TVN_SELCHANGED, id); });
        connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, id] { DispatchCommand(NM_DBLCLK, id); });
    }
}

bool CZntDialog::controlMessage(QWidget* control, platform::WindowMessageEvent* m)
{
    const auto image = [](platform::WPARAM handle) {
        const auto* picture = reinterpret_cast<const QImage*>(handle);
        return picture ? QPixmap::fromImage(*picture) : QPixmap();
    };
    auto* label = qobject_cast<QLabel*>(control);
    if (label && m->message() == platform::STM_SETICON) {
        label->setPixmap(image(m->wParam()));
        return true;
    }
    if (label && m->message() == platform::STM_SETIMAGE) {
        label->setPixmap(image(static_cast<platform::WPARAM>(m->lParam())));
        if (!label->hasScaledContents())
            label->resize(label->pixmap().size());  // a static picture takes its image's size
        return true;
    }
    if (auto* button = qobject_cast<QPushButton*>(control); button && m->message() == platform::BM_SETSTYLE) {
        button->setDefault((m->wParam() & 0xF) == platform::BS_DEFPUSHBUTTON);
        return true;
    }
    if (auto* edit = qobject_cast<QTextEdit*>(control); edit && m->message() == platform::EM_SETBKGNDCOLOR) {
        const auto bgr = static_cast<quint32>(m->lParam());
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
        edit->setPalette(palette);
        return true;
    }
    return false;
}

bool CZntDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == platform::WindowMessageEvent::eventType()) {
        if (auto* control = qobject_cast<QWidget*>(watched); control && control->parentWidget() == this)
            return controlMessage(control, static_cast<platform::WindowMessageEvent*>(e));
    }
    const bool edit = qobject_cast<QLineEdit*>(watched) || qobject_cast<QTextEdit*>(watched)
                      || qobject_cast<QPlainTextEdit*>(watched);
    if (edit && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)) {
        const int id = m_controls.key(qobject_cast<QWidget*>(watched), -1);
        if (id != -1)
            DispatchCommand(e->type() == QEvent::FocusIn ? EN_SETFOCUS : EN_KILLFOCUS, id);
    }
    return QDialog::eventFilter(watched, e);
}

QWidget* CZntDialog::GetDlgItem(int id) const { return m_controls.value(id, nullptr); }

QString CZntDialog::GetDlgItemText(int id) const
{
    QWidget* w = GetDlgItem(id);
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->text();
    if (auto* text = qobject_cast<QTextEdit*>(w))
        return text->toPlainText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return plain->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    return {};
}

void CZntDialog::SetDlgItemText(int id, const QString& value)
{
    QWidget* w = GetDlgItem(id);
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setText(value);
    else if (auto* text = qobject_cast<QTextEdit*>(w))
        text->setPlainText(value);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->setPlainText(value);
    else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(value);
        nameControl(label, value);
        if (label->buddy())
            nameControl(label->buddy(), value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(value);
        nameControl(button, value);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(value);
        nameControl(group, value);
    }
}

int CZntDialog::IsDlgButtonChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    return button && button->isChecked() ? 1 : 0;
}

void CZntDialog::CheckDlgButton(int id, int check)
{
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id)))
        button->setChecked(check != 0);
}

int CZntDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return 1;
}

void CZntDialog::DoDataExchange(CDataExchange*) {}

void CZntDialog::LoadSettingsSection(int stringId) { m_strSection = platform::LoadString(stringId); }

const MessageMap& CZntDialog::GetMessageMap() const
{
    static const MessageMap none;
    return none;
}

bool CZntDialog::DispatchCommand(int code, int id)
{
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (entry.kind == MessageMapEntry::Command && entry.code == code && entry.id == id) {
            entry.call(*this, 0, 0);
            return true;
        }
    }
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case 1: OnOK(); return true;
    case 2: OnCancel(); return true;
    case IDC_HELP_COMMAND: OnHelp(); return true;
    default: return false;
    }
}

int CZntDialog::OnInitDialog()
{
    UpdateData(false);
    return 1;
}

void CZntDialog::AttachControls() {}

void CZntDialog::OnDrawItem(int, const ZntDrawItem&) {}

void CZntDialog::OnOK()
{
    UpdateData(true);
    done(1);
}

void CZntDialog::OnCancel() { done(2); }

void CZntDialog::OnHelp() { platform::SendMessage(platform::MainWindow(), platform::WM_COMMAND, IDC_HELP_COMMAND, 0); }

void CZntDialog::OnEnterKey()
{
    const int focused = m_controls.key(focusWidget(), -1);
    if (focused != -1 && qobject_cast<QPushButton*>(focusWidget())) {
        DispatchCommand(BN_CLICKED, focused);
        return;
    }
    if (!m_bEnterClaimed)
        DispatchCommand(BN_CLICKED, defaultButtonId());
}

int CZntDialog::defaultButtonId() const
{
    for (const platform::ControlTemplate& control : m_template.controls)
        if (control.kind == u"defbutton")
            return control.id;
    return platform::IDOK;
}

void CZntDialog::destroyControls()
{
    // every child window goes with the dialog's window, also those its set-up made
    const QList<QWidget*> children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        if (!child->isWindow())
            delete child;
    m_controls.clear();
}

void CZntDialog::makeWindow()
{
    if (!m_bFresh) {
        destroyControls();
        build();
    }
    m_bFresh = false;
    m_bWindowUp = true;
    m_bEnterClaimed = false;
    m_bEndedInInit = false;
    m_bInInit = true;
    // a new window has no place of its own until its set-up gives it one (a saved placement)
    setAttribute(Qt::WA_Moved, false);
    const int focusFirst = OnInitDialog();
    m_bInInit = false;
    if (!testAttribute(Qt::WA_Moved))
        centreOnOwner();
    // a set-up that answers nonzero leaves the focus to the system: the first control
    // that takes it, given here and not only when the window is activated, which a
    // compositor with no keyboard seat never does
    if (focusFirst && !m_bEndedInInit && !focusWidget())
        focusFirstControl();
}

void CZntDialog::focusFirstControl()
{
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (w->window() == this && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

void CZntDialog::centreOnOwner()
{
    // The owner of a dialog made with no parent, or with one not shown yet, is the
    // window the user is working in. Qt itself would centre such a dialog on the
    // screen, and one with a parent off by the frame it guesses.
    QWidget* owner = platform::WorkingWindow(parentWidget());
    platform::CentreOn(this, owner == this ? nullptr : owner);
}


int CZntDialog::Create(QWidget* parent)
{
    if (parent != parentWidget())
        setParent(parent, windowFlags());
    setModal(false);
    makeWindow();
    if (m_bEndedInInit)
        return 0;
    QDialog::setVisible(true);
    return 1;
}

void CZntDialog::DestroyWindow()
{
    QDialog::setVisible(false);
    destroyControls();
    m_bFresh = false;
    m_bWindowUp = false;
}

void CZntDialog::MoveWindow(int x, int y, int width, int height)
{
    move(x, y);
    SetClientSize(width, height);
}

void CZntDialog::SetClientSize(int width, int height)
{
    // the user may not resize a dialog whose template says so; its own code may
    if (m_template.Has(QStringLiteral("resizable")))
        resize(width, height);
    else
        setFixedSize(width, height);
}

int CZntDialog::exec()
{
    makeWindow();
    // a dialog that ended while it set itself up is never shown
    const int result = m_bEndedInInit ? QDialog::result() : QDialog::exec();
    m_bWindowUp = false;  // the next DoModal or show makes a new window
    return result;
}

void CZntDialog::setVisible(bool visible)
{
    if (visible) {
        if (!m_bWindowUp)  // a show() that no DoModal or Create prepared
            makeWindow();
        if (m_bEndedInInit)
            return;
    }
    QDialog::setVisible(visible);
}

void CZntDialog::done(int result)
{
    if (m_bInInit)
        m_bEndedInInit = true;
    QDialog::done(result);
}

bool CZntDialog::event(QEvent* e)
{
    if (e->type() != platform::WindowMessageEvent::eventType())
        return QDialog::event(e);
    auto* message = static_cast<platform::WindowMessageEvent*>(e);
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (entry.kind == MessageMapEntry::Message && entry.message == message->message()) {
            message->setResult(entry.call(*this, message->wParam(), message->lParam()));
            return true;
        }
    }
    if (message->message() == platform::WM_COMMAND) {
        DispatchCommand(commandCode(message->wParam()), commandId(message->wParam()));
        return true;
    }
    if (message->message() == WM_ZNTDIALOG) {
        m_bEnterClaimed = message->wParam() == 0;
        return true;
    }
    return false;
}

void CZntDialog::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        DispatchCommand(BN_CLICKED, 2);
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier)) {
        OnEnterKey();
        return;
    }
    QWidget::keyPressEvent(e);  // not QDialog's: it would answer Esc and Enter itself
}

void CZntDialog::closeEvent(QCloseEvent* e)
{
    // the window's close box is Cancel, as on Windows; the handler decides whether to end
    e->ignore();
    DispatchCommand(BN_CLICKED, 2);
}

void CZntDialog::reject() { DispatchCommand(BN_CLICKED, 2); }

// ---- data exchange ---------------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int id, QString& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    else
        pDX->m_pDlgWnd->SetDlgItemText(id, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(id).trimmed().toInt();
    else
        pDX->m_pDlgWnd->SetDlgItemText(id, QString::number(value));
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->IsDlgButtonChecked(id);
    else
        pDX->m_pDlgWnd->CheckDlgButton(id, value);
}
