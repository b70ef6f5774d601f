#pragma once
// Types that appear in the host PCB module's function signatures.
#include <cstdint>

#include "ShortString.h"
#include "platform/CallConv.h"
