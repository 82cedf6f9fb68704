#pragma once
#include "frame/Zvnd06Export.h"

#include <QString>
#include <cstdint>

/// \file
/// A record of the exported surface (CCheckListItem).

/// A plain record of the exported surface: two numbers and a text.
class ZVND06_EXPORT CCheckListItem {
public:
    /// Both numbers 0 and the text empty.
    CCheckListItem();
    /// A copy of `other`: its numbers and text.
    CCheckListItem(const CCheckListItem& other);
    /// Takes the numbers and text of `other`.
    CCheckListItem& operator=(const CCheckListItem& other);
    /// Nothing to release beyond the text.
    ~CCheckListItem();

    /// The first number (0 in a new record).
    int32_t m_nValue1;
    /// The second number (0 in a new record).
    int32_t m_nValue2;
    /// The text (empty in a new record).
    QString m_strText;
};
