#pragma once
// The SVG elements of each kind of board object, appended to the group of
// the layer the object lies on.
#include <cstdint>

#include "Document.h"
#include "SvgCanvas.h"

namespace pcb9host::svg {

using TDrawObject = void (*)(const morvik::TObject& object, TCanvas& canvas);

// How objects of a kind are drawn; null for kinds that show nothing of
// their own (nets, rules, components: a component's parts and texts are
// objects of their own).
TDrawObject DrawerOfKind(uint8_t kind);

}  // namespace pcb9host::svg
