// kaslnk: data exchange with an ER-A227E cash register over RS-232.
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/spusteni.h"

int main(int argc, char** argv) {
    nuluj_globalni_stav();
    return spust(std::vector<std::string>(argv, argv + argc));
}
