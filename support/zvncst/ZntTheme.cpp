#include "support/zvncst/ZntTheme.h"

#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <memory>

int CZntTheme::SetWindowTheme(QWidget* window, const wchar_t*, const wchar_t*)
{
    // one classic style for every window that asks; it lives as long as the library
    static const std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    if (!window || !classic)
        return 0;
    window->setStyle(classic.get());
    return 1;
}
