#pragma once
#include "frame/Zvnd06Export.h"

#include <QString>
#include <cstdint>

// A plain record of the exported surface: two numbers and a text.
class ZVND06_EXPORT CCheckListItem {
public:
    CCheckListItem();
    CCheckListItem(const CCheckListItem& other);
    CCheckListItem& operator=(const CCheckListItem& other);
    ~CCheckListItem();

    int32_t m_nValue1;
    int32_t m_nValue2;
    QString m_strText;
};
