#include "support/zvncst/ZntBitmapButton.h"

#include "platform/ResourceChain.h"

#include <QPainter>

CZntBitmapButton::CZntBitmapButton(const QString& caption, QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(caption);
    LoadBitmaps(caption);
}

int CZntBitmapButton::LoadBitmaps(const QString& caption)
{
    m_up = platform::LoadBitmap(caption + u'U');
    m_down = platform::LoadBitmap(caption + u'D');
    m_focused = platform::LoadBitmap(caption + u'F');
    m_disabled = platform::LoadBitmap(caption + u'X');
    update();
    return !m_up.isNull() && !m_down.isNull() && !m_focused.isNull() && !m_disabled.isNull();
}

QSize CZntBitmapButton::sizeHint() const { return m_up.isNull() ? QSize(107, 49) : m_up.size(); }

void CZntBitmapButton::paintEvent(QPaintEvent*)
{
    const QImage& image = !isEnabled() ? m_disabled : isDown() ? m_down : hasFocus() ? m_focused : m_up;
    QPainter painter(this);
    if (!image.isNull())
        painter.drawImage(0, 0, image);
    else
        painter.drawText(rect(), Qt::AlignCenter, accessibleName());
}
