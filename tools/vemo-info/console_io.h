// The command line and the output of the command-line tools, in UTF-8 whatever the
// system. Linux hands both over as the bytes they are. Windows would hand over the
// arguments in its 8-bit code page, with "?" for any letter outside it: they are taken
// from the wide command line. A console shows UTF-8 bytes in that code page too, so text
// for a console goes out wide; redirected output stays UTF-8 bytes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::cli {

// The program's arguments, argv[0] first.
std::vector<std::string> Arguments(int argc, char** argv);

// Writes UTF-8 text to stdout or stderr.
void Write(std::FILE* stream, std::string_view utf8);

}  // namespace vemo::cli
