#pragma once
// What the share's result and error dialogs share: the system's information
// icon on the template's icon control (the first with id -1).
class CZntDialog;

void ShowInformationIcon(CZntDialog& dialog);
