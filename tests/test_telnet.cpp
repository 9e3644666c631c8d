// Telnet of serial device servers: data with 0xFF, commands split anywhere, option answers.
#include <gtest/gtest.h>

#include "link/telnet.h"

using namespace telnet;

namespace {
std::string b(std::initializer_list<int> v) {
    std::string s;
    for (int x : v) s += static_cast<char>(x);
    return s;
}
}  // namespace

// One stream with data 0xFF, an option verb and a COM-port answer whose value holds 0xFF,
// fed whole and cut at every place: the same data and commands come out.
TEST(Telnet, DataAPrikazyRozdeleneKdekoli) {
    std::string data_ven = b({0x02, 0xFF, 'A', 0xFF, 0xFF, '\r'});
    std::string proud;
    pridej_data(proud, reinterpret_cast<const uint8_t*>(data_ven.data()), data_ven.size());
    EXPECT_EQ(proud, b({0x02, 0xFF, 0xFF, 'A', 0xFF, 0xFF, 0xFF, 0xFF, '\r'}));
    proud = b({'x'}) + volba(WILL, BINARY) + proud.substr(0, 3) +
            com_port(ODPOVED + SET_BAUDRATE, cislo32(0x0000FFFF)) +
            b({IAC, 241}) + proud.substr(3);  // NOP carries nothing
    for (size_t rez = 0; rez <= proud.size(); ++rez) {
        Dekoder d;
        std::string data;
        std::vector<Prikaz> p;
        const auto* u = reinterpret_cast<const uint8_t*>(proud.data());
        d.vstup(u, rez, data, p);
        d.vstup(u + rez, proud.size() - rez, data, p);
        ASSERT_EQ(data, "x" + data_ven) << rez;
        ASSERT_EQ(p.size(), 2u) << rez;
        EXPECT_EQ(b({p[0].sloveso, p[0].moznost, p[1].sloveso, p[1].moznost}) + p[1].hodnota,
                  b({WILL, BINARY, SB, COM_PORT, ODPOVED + SET_BAUDRATE, 0, 0, 0xFF, 0xFF}));
        EXPECT_EQ(cislo32(p[1].hodnota.substr(1)), 0xFFFFu);
    }
}

// Requests are confirmed without an answer, unwanted options refused, and a
// confirmed state is never answered again (two ends cannot loop).
TEST(Telnet, Vyjednavani) {
    Vyjednavani v({COM_PORT, BINARY}, {BINARY});
    EXPECT_EQ(v.zacatek(), volba(WILL, COM_PORT) + volba(WILL, BINARY) + volba(DO, BINARY));
    EXPECT_EQ(v.odpoved(DO, COM_PORT), "");
    EXPECT_EQ(v.odpoved(DO, COM_PORT), "");
    EXPECT_TRUE(v.u_sebe(COM_PORT));
    EXPECT_EQ(v.odpoved(WILL, ECHO), volba(DONT, ECHO));
    EXPECT_EQ(v.odpoved(DO, ECHO), volba(WONT, ECHO));
    EXPECT_EQ(v.odpoved(DONT, BINARY), "");  // our offer refused
    EXPECT_TRUE(v.odmitnuto(BINARY));
    EXPECT_EQ(v.odpoved(WILL, BINARY), "");
    EXPECT_EQ(v.odpoved(WONT, BINARY), volba(DONT, BINARY));
    EXPECT_FALSE(v.u_druheho(BINARY));
}
