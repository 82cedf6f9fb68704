#include "platform/MessageBox.h"

#include "platform/HostWindows.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <vector>

namespace platform {
namespace {

MessageBoxHandler& handler()
{
    static MessageBoxHandler h;
    return h;
}

// the buttons of a style, in the order Windows shows them
std::vector<int> buttonsOf(unsigned style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

QMessageBox::StandardButton standardButton(int id)
{
    switch (id) {
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(unsigned style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// A box opens centred on the window the user is working in, also when the
// dialog that asks is still being set up and not yet shown: Qt would centre it
// on that hidden dialog's unplaced geometry, at the screen's edge.
class PlacedBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);  // sizes the box to its text and buttons
        if (!event->spontaneous())
            CentreOn(this, parentWidget() ? parentWidget()->window() : nullptr);
    }
};

int showRealBox(QWidget* owner, const QString& text, unsigned style)
{
    const std::unique_ptr<QMessageBox> box = BuildMessageBox(owner, text, style);
    box->exec();
    return AnswerOf(*box, style);
}

}  // namespace

int AnswerOf(const QMessageBox& box, unsigned style)
{
    const auto clicked = box.standardButton(box.clickedButton());
    const std::vector<int> ids = buttonsOf(style);
    for (int id : ids)
        if (standardButton(id) == clicked)
            return id;
    return ids.size() == 1 ? IDOK : IDCANCEL;
}

std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* owner, const QString& text, unsigned style)
{
    std::unique_ptr<QMessageBox> box = std::make_unique<PlacedBox>(iconOf(style), ApplicationName(), text,
                                                                   QMessageBox::NoButton, WorkingWindow(owner));
    const std::vector<int> ids = buttonsOf(style);
    for (int id : ids)
        box->addButton(standardButton(id));
    box->setDefaultButton(standardButton(DefaultButton(style)));
    // Esc answers Cancel where there is one, and OK on a lone OK, as on Windows
    for (int id : ids)
        if (id == IDCANCEL || ids.size() == 1)
            box->setEscapeButton(standardButton(id));
    return box;
}

int DefaultButton(unsigned style)
{
    const std::vector<int> ids = buttonsOf(style);
    const size_t index = (style & MB_DEFMASK) >> 8;
    return index < ids.size() ? ids[index] : ids.front();
}

int MessageBox(QWidget* owner, const QString& text, unsigned style)
{
    // a box is answered with the arrow, whatever the caller was busy with (a wait cursor)
    struct ArrowWhileAsked {
        const bool shown = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
        ArrowWhileAsked()
        {
            if (shown)
                QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        }
        ~ArrowWhileAsked()
        {
            if (shown)
                QGuiApplication::restoreOverrideCursor();
        }
    } const arrow;
    if (handler())
        return handler()(owner, text, style);
    return showRealBox(owner, text, style);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler h)
{
    MessageBoxHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

}  // namespace platform
