#pragma once
// Data the PCB module owns and the host application reads through the
// module's headers (the layouts, the document, the option tables). On
// Windows the module is a DLL and the program a separate image: a variable
// defined in a header (inline, or a function-local static in an inline
// function) would be made twice, once in each, and the program would read
// its own empty copy. Such data is defined once, in the module's sources,
// and marked MORVIK_DATA where it is declared: exported from Morvik.dll,
// imported by everything built against it. Elsewhere the shared object's
// symbols are shared as they are.
#if defined(_WIN32)
#if defined(Morvik_EXPORTS)
#define MORVIK_DATA __declspec(dllexport)
#else
#define MORVIK_DATA __declspec(dllimport)
#endif
#else
#define MORVIK_DATA
#endif
