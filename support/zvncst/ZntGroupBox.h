#pragma once
/// \file
/// A group frame of the template (CZntGroupBox).
#include "support/zvncst/ZntControl.h"

/// A group frame of the template; the dialog's skin draws it.
class CZntGroupBox : public CZntControl {};
