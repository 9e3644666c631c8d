#include "core/prikazovy_soubor.h"

std::string CMDbuf;
int CMDbufExist = 0;

void uvolni_cmd_buffer() {
    CMDbuf.clear();
    CMDbuf.shrink_to_fit();
    CMDbufExist = 0;
}
