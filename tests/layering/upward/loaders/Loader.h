#pragma once
// A loader's header: a lower floor must not include it.
#include "run/Run.h"
