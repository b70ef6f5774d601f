// The heap of the host's programs. Where they are linked with mimalloc
// (PCB9_MIMALLOC), every allocation of the process goes through it, the
// PCB module's and the plug-in's included, and it is asked here, in the
// running process, to back its memory with large pages: 2 MiB pages where
// the system keeps some, else transparent huge pages where the system allows
// them. A board of a few hundred thousand objects spends much of its import
// on page faults and address-translation misses with 4 KiB pages.
#include "HostSystem.h"

#if defined(PCB9_MIMALLOC)
#include <mimalloc.h>
#endif

namespace pcb9host::hostsystem {

void UseLargePages() {
#if defined(PCB9_MIMALLOC)
  // Only memory the allocator takes from the system from now on; called
  // first in main, before anything large is allocated.
  mi_option_set_enabled(mi_option_large_os_pages, true);
#endif
}

}  // namespace pcb9host::hostsystem
