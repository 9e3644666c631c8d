// Sending to the register: the send operation (command digit 1) and the raw send of a
// work02.tmp that is already in place.
#pragma once

#include "link/sezeni.h"

// Builds work02.tmp from the data file and its FDS file and sends it. With nokomun it
// stops after building (work02.tmp stays); otherwise work02.tmp is deleted after the
// send unless debug. Port: 92/2.
void posli_data(Sezeni& s);

// Sends work02.tmp as it stands (raw upload); it is not deleted. Port: 92/4. With
// nokomun nothing is sent.
void posli_data2(Sezeni& s);
