// OFL::Logic::Ternary: a yes / no / undecided answer carried as a signed
// 32-bit number. Its values are assigned by the programs that exchange it;
// this layer only keeps and transports them.
#ifndef OFL_LOGIC_H_
#define OFL_LOGIC_H_

#include <cstdint>

namespace OFL::Logic {

enum Ternary : int32_t {};

}  // namespace OFL::Logic

#endif  // OFL_LOGIC_H_
