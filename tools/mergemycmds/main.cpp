// mergemycmds "USERFILE" "TEMPLATE"
//
// Merges the commands and LISTs of TEMPLATE into USERFILE and rewrites USERFILE atomically, so
// that its modification time changes even when nothing was added: the program waits for that
// change to know that the user's file has been taken up. Exit status 0 on success; on any
// failure a message on standard error, status 1, and USERFILE as it was.
#include "writer/CommandFileMerge.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mergemycmds USERFILE TEMPLATE\n";
        return 1;
    }
    try {
        vocabrella::mergeCommandFileInto(argv[1], argv[2]);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "mergemycmds: " << e.what() << '\n';
        return 1;
    }
}
