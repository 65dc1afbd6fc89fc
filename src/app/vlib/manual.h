// vlib's manual page (roff, section 1), made from the registered commands and their help, so
// that the page installed with the program lists every command it has.
#pragma once

#include <string>

namespace vlib {

std::string manualPage();

}  // namespace vlib
