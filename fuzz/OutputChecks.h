#pragma once
// What the fuzzer holds the host's outputs to: each check says whether a
// text is well formed and, when it is not, why.
#include <string>
#include <string_view>

namespace pcb9fuzz {

// The text parses as JSON.
bool JsonWellFormed(std::string_view text, std::string& why);

// The text is a well-formed XML document (one root element, every element
// closed in order, attributes quoted and unique, known entities, valid
// UTF-8 and XML characters).
bool XmlWellFormed(std::string_view text, std::string& why);

// The text is one S-expression list: parentheses balance, every string ends
// on its line's terms (no raw control byte inside), nothing follows the
// list, and the board's net declarations (the root's `net` children) name
// every net differently: KiCad joins nets of one name.
bool KicadWellFormed(std::string_view text, std::string& why);

// The checks on texts whose verdict is known; the first misjudged sample,
// or empty when every check judges as it must.
std::string MisjudgedSample();

}  // namespace pcb9fuzz
