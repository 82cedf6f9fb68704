#include "support/zvncst/ZntDialog.h"

#include "platform/HostWindows.h"
#include "platform/ResourceChain.h"
#include "support/zvncst/Skin.h"
#include "support/zvncst/ZntBitmapButton.h"
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
#include <QStyle>
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
    const QSize client(m_units.X(m_template.width), m_units.Y(m_template.height));
    if (m_template.Has(QStringLiteral("resizable")))
        resize(client);
    else
        setFixedSize(client);

    QWidget* label = nullptr;  // a label's mnemonic moves the focus to the control after it
    for (const platform::ControlTemplate& control : m_template.controls) {
        QWidget* widget = createControl(control);
        widget->setGeometry(m_units.Rect(control.x, control.y, control.width, control.height));
        fitText(widget, font);
        if (auto* l = qobject_cast<QLabel*>(label); l && widget->focusPolicy() != Qt::NoFocus)
            l->setBuddy(widget);
        label = control.kind == u"static" ? widget : nullptr;
        if (control.id != -1 && !m_controls.contains(control.id)) {
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
        auto* list = new QListWidget(this);
        list->setVerticalScrollBarPolicy(c.Has(QStringLiteral("vscroll")) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
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
    if (kind == u"picture" || kind == u"icon") {
        auto* picture = new QLabel(this);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (kind == u"icon") {
            const auto icon = c.text == u"exclamation" ? QStyle::SP_MessageBoxWarning
                              : c.text == u"error"     ? QStyle::SP_MessageBoxCritical
                                                       : QStyle::SP_MessageBoxInformation;
            picture->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
        }
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
        line->installEventFilter(this);
    } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        connect(text, &QTextEdit::textChanged, this, [this, id] { DispatchCommand(EN_CHANGE, id); });
        text->installEventFilter(this);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(plain, &QPlainTextEdit::textChanged, this, [this, id] { DispatchCommand(EN_CHANGE, id); });
        plain->installEventFilter(this);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::currentRowChanged, this, [this, id] { DispatchCommand(LBN_SELCHANGE, id); });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { DispatchCommand(LBN_DBLCLK, id); });
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        connect(tree, &QTreeWidget::currentItemChanged, this, [this, id] { DispatchCommand(TVN_SELCHANGED, id); });
        connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, id] { DispatchCommand(NM_DBLCLK, id); });
    }
}

bool CZntDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
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
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(value);
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
    AttachControls();
    UpdateData(false);
    return 1;
}

void CZntDialog::AttachControls() {}

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
        DispatchCommand(BN_CLICKED, 1);
}

void CZntDialog::initOnce()
{
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    m_bInInit = true;
    OnInitDialog();
    m_bInInit = false;
}

int CZntDialog::exec()
{
    initOnce();
    // a dialog that ended while it set itself up is never shown
    if (m_bEndedInInit) {
        m_bEndedInInit = false;
        return result();
    }
    return QDialog::exec();
}

void CZntDialog::setVisible(bool visible)
{
    if (visible) {
        initOnce();
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
