// Text on POSIX systems: the bytes as they are.
#include "platform/console.h"

namespace velda {

bool WriteText(std::FILE* stream, const std::string& text) { return std::fputs(text.c_str(), stream) >= 0; }

}  // namespace velda
