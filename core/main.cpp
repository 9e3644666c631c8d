// kaslnk: data exchange with an ER-A227E cash register over RS-232.
#include <cstdio>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/prikazovy_radek.h"

int main(int argc, char** argv) {
    std::vector<std::string> argumenty(argv, argv + argc);
    for (const std::string& a : argumenty) {
        if (a == "--version") {
            std::printf("kaslnk %s\n", VERZE);
            return 0;
        }
    }
    nuluj_globalni_stav();
    return 0;
}
