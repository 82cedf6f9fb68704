#pragma once
// The module hides every symbol but the surface a host uses.
#define ZVND06_EXPORT __attribute__((visibility("default")))
