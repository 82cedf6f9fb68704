#pragma once
#include <QString>

class CCommonNetwork {
public:
    // Whether the machine is on a network. The setting "Connected" of section
    // "General\Network" (1 or 0) decides when present; otherwise the system's
    // network information, and "connected" when the system cannot tell.
    static int IsConnected();

    // Service addresses, without a trailing "/": the setting "URL<n>" of
    // section "General\Network", else the built-in default. 3 is the content
    // library site; other numbers have no default.
    static QString GetURL(int kind);

    static constexpr int kContentsLibrary = 3;
};
