// Every host PCB module function the importer binds, in one list. Each
// `.def` file is a group of PCBAPI(result, name, (params), default, form)
// lines; define PCBAPI, include this file, undefine PCBAPI. No include guard:
// the list is expanded once per use.
#ifndef PCBAPI
#error "define PCBAPI(result, name, params, default, form) before including PcbApiList.h"
#endif
#include "PcbApiCore.def"
#include "PcbApiObjects.def"
#include "PcbApiBoard.def"
