#include "support/zvncst/ZntProgressCtrl.h"

#include <algorithm>

namespace {

int setPosition(QProgressBar* bar, int position)
{
    const int previous = bar->value() < bar->minimum() ? bar->minimum() : bar->value();
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    return previous;
}

}  // namespace

CZntProgressBar::CZntProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

bool CZntProgressBar::event(QEvent* e)
{
    if (e->type() != platform::WindowMessageEvent::eventType())
        return QProgressBar::event(e);
    auto* message = static_cast<platform::WindowMessageEvent*>(e);
    switch (message->message()) {
    case PBM_SETRANGE:
        setRange(static_cast<qint16>(message->lParam() & 0xFFFF), static_cast<qint16>((message->lParam() >> 16) & 0xFFFF));
        return true;
    case PBM_SETPOS:
        message->setResult(setPosition(this, static_cast<int>(message->wParam())));
        return true;
    case PBM_GETPOS:
        message->setResult(value());
        return true;
    default:
        return false;
    }
}

void CZntProgressCtrl::SetRange(int minimum, int maximum)
{
    if (auto* bar = qobject_cast<QProgressBar*>(GetWnd()))
        bar->setRange(minimum, maximum);
}

int CZntProgressCtrl::SetPos(int position)
{
    auto* bar = qobject_cast<QProgressBar*>(GetWnd());
    return bar ? setPosition(bar, position) : 0;
}

int CZntProgressCtrl::GetPos() const
{
    auto* bar = qobject_cast<QProgressBar*>(GetWnd());
    return bar ? bar->value() : 0;
}
