#include "core/prikazovy_radek.h"

#include "core/globals.h"

std::string pridej_path(const std::string& jmeno) {
    if (!fullpath) return jmeno;
    return tt.adresar_programu + jmeno;
}
