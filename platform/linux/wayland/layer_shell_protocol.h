// The layer-shell protocol's generated client header, which names an argument `namespace`:
// a keyword in C++.
#pragma once

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace
