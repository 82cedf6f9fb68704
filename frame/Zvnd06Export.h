#pragma once
/// \file
/// The module hides every symbol but the surface a host uses.

/// Marks a class or function of the host's surface: exported from
/// libzvnd06.so, where everything else is hidden.
#define ZVND06_EXPORT __attribute__((visibility("default")))
