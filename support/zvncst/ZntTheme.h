#pragma once
class QWidget;

class CZntTheme {
public:
    // Switches the window's visual style off (the classic look), as the
    // skinned dialogs do for their text, tree and list controls. 1 on success.
    static int SetWindowTheme(QWidget* window, const wchar_t* subApp, const wchar_t* idList);
};
