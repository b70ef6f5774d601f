#pragma once
// Arc, via and fill records: three small primitive kinds with the shape of
// the track records. The group loaders add to the component when one is
// given (its sub-groups "a", "v", "f"), else to the board ("A", "V", "F").
#include <cstdint>

namespace pcb9 {

class TPcbComponent;

// Read one record each and return the handle of the new host object.
uint32_t LoadArc();
uint32_t LoadVia();
uint32_t LoadFill();

void LoadArcGroup(TPcbComponent* component);
void LoadViaGroup(TPcbComponent* component);
void LoadFillGroup(TPcbComponent* component);

// The file layer codes of a via layer pair (the low byte of the register):
// pairs 1..8 join neighbouring signal layers, any other pair is a through
// via from the top (1) to the bottom (16).
uint8_t ViaPairStartLayer(uint8_t pair);
uint8_t ViaPairEndLayer(uint8_t pair);

}  // namespace pcb9
