// The controls library joins the resource chain when it is loaded, so that
// its own bitmaps (8014, the scroll bar skin) are found like any other.
#include "platform/ResourceChain.h"

namespace {

struct ControlsLibraryResources {
    ControlsLibraryResources() { platform::RegisterResourceModule(QStringLiteral("zvncst"), QStringLiteral(":/zvncst")); }
    ~ControlsLibraryResources() { platform::UnregisterResourceModule(QStringLiteral("zvncst")); }
};

const ControlsLibraryResources resources;

}  // namespace
