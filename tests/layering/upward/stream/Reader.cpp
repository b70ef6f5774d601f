// A reader that reaches up into the loaders: the include the check must find.
#include "Reader.h"
#include "loaders/Loader.h"
#include "run/Run.h"
