#pragma once
// Calling convention of every function that crosses a module boundary:
// the plug-in's exports, the host PCB module's functions and the host
// application's services. __stdcall on 32-bit Windows, the platform default
// everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#define PCB9_CALL __stdcall
#else
#define PCB9_CALL
#endif

#if defined(_WIN32)
#define PCB9_EXPORT __declspec(dllexport)
#else
#define PCB9_EXPORT __attribute__((visibility("default")))
#endif

// The plug-in's own exports. On Windows the module definition file exports
// them by their plain names; marking them as well would add the decorated
// names a second time.
#if defined(_WIN32)
#define PCB9_PLUGIN_EXPORT
#else
#define PCB9_PLUGIN_EXPORT PCB9_EXPORT
#endif
