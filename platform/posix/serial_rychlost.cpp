// Line speeds without a B-constant (56000, 128000, 256000 bit/s of the speed table).
// Linux sets any speed through termios2; this file keeps the kernel's termios apart from
// the C library's, which cannot share a translation unit.
#include <cstdint>

#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long pozadavek, ...);

bool ser_nastav_jinou_rychlost(int fd, uint32_t rychlost) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = rychlost;
    t.c_ospeed = rychlost;
    return ioctl(fd, TCSETS2, &t) == 0;
}
#else
bool ser_nastav_jinou_rychlost(int, uint32_t) { return false; }
#endif
