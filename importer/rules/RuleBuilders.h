#pragma once
// Builders of single design rules on the board: each creates one host rule
// of its kind, names and scopes it, adds it to the board and stores its
// constraint values. None keeps state or checks a result.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pcb9 {

class TPcbBoard;

// The kind's name for index 0, else the name, "_" and the index.
std::string MakeRuleName(uint8_t Kind, int32_t Index);
// Scope expression of a primitive code 1..6 ("IsWire" .. "InPoly"); empty
// for any other code.
std::string PrimitiveScope(uint8_t PrimitiveCode);
// "HasPad('P')" / "InNet('N')", a quote in the name written twice; a name
// too long for the scope's 255 characters is cut before the closing "')".
// Empty for an empty name.
std::string HasPadScope(std::string_view PadName);
std::string InNetScope(std::string_view NetName);

void AddUnroutedNetRule(TPcbBoard& Board, int32_t Index);
void AddShortCircuitRule(TPcbBoard& Board, uint8_t Flag, int32_t Index);
void AddClearanceRule(TPcbBoard& Board, int32_t Gap, int32_t Index);
void AddKindClearanceRule(TPcbBoard& Board, uint8_t PrimitiveCode1, uint8_t PrimitiveCode2,
                          int32_t Index, int32_t Gap);
// Directions[0..31] are the host layers 1..32.
void AddRoutingLayersRule(TPcbBoard& Board, const std::array<uint8_t, 32>& Directions,
                          int32_t Index);
void AddWidthRule(TPcbBoard& Board, std::string_view NetName, int32_t Width, int32_t Index);
void AddViaStyleRule(TPcbBoard& Board, std::string_view NetName, int32_t ViaSize, int32_t Index,
                     uint8_t ViaFlag, int32_t ViaOtherSize);
void AddSolderMaskRule(TPcbBoard& Board, std::string_view PadName, int32_t Expansion,
                       int32_t Index);
void AddPasteMaskRule(TPcbBoard& Board, std::string_view PadName, int32_t Expansion,
                      int32_t Index);
void AddPlaneClearanceRule(TPcbBoard& Board, std::string_view PadName, int32_t Expansion,
                           int32_t Index);
void AddPlaneConnectRule(TPcbBoard& Board, std::string_view PadName, uint8_t ConnectStyle,
                         int32_t Index, int32_t Expansion, int32_t ConnectParam1,
                         int32_t ConnectParam2, int32_t ConnectParam3);
void AddPriorityRule(TPcbBoard& Board, std::string_view NetName, int32_t Priority, int32_t Index);
void AddTopologyRule(TPcbBoard& Board, std::string_view NetName, uint8_t Topology, int32_t Index);

}  // namespace pcb9
