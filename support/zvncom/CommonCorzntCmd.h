#pragma once
class CCorZnt;

class CCommonCorzntCmd {
public:
    // Turns the view's logo overlay on (1) or off (0) with the host command
    // "Logo.Visible = TRUE" / "FALSE". 0 without a host control, else 1.
    static int ShowLogoImage(int show, CCorZnt* host);
};
