#include "frame/CheckListItem.h"

CCheckListItem::CCheckListItem() : m_nValue1(0), m_nValue2(0) {}

CCheckListItem::CCheckListItem(const CCheckListItem& other) = default;

CCheckListItem& CCheckListItem::operator=(const CCheckListItem& other) = default;

CCheckListItem::~CCheckListItem() = default;
