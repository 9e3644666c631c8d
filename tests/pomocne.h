// Shared test helpers: err() ends in an exception instead of the process, and every test
// runs with fresh globals in its own temporary program directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/zpravy.h"

struct KonecProcesu {
    int kod;
};

inline void hazej_konec(int kod) { throw KonecProcesu{kod}; }

inline std::string precti_soubor(const std::filesystem::path& cesta) {
    std::ifstream f(cesta, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void zapis_soubor(const std::filesystem::path& cesta, const std::string& obsah) {
    std::ofstream f(cesta, std::ios::binary);
    f << obsah;
}

class ProstrediTestu : public ::testing::Test {
protected:
    std::filesystem::path adresar;

    void SetUp() override {
        nuluj_globalni_stav();
        static int poradi = 0;
        for (std::error_code ec;;) {
            adresar = std::filesystem::temp_directory_path() /
                      ("kaslnk-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++poradi));
            if (std::filesystem::create_directory(adresar, ec)) break;
        }
        fullpath = 1;
        tt.adresar_programu = adresar.string() + "/";
        nastav_exit_hook(hazej_konec);
        nastav_box_sink(zachyt_box);
        zpravy().clear();
    }

    void TearDown() override {
        nastav_exit_hook(nullptr);
        nastav_box_sink(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(adresar, ec);
    }

    // Message boxes shown during the test.
    static std::string& zpravy() {
        static std::string z;
        return z;
    }
    static int zachyt_box(const std::string& text, uint32_t) {
        zpravy() += text + "\n";
        return 1;
    }
};

// Runs f, which must end in err(kod, podkod); podkod -1: any subcode.
template <class F>
void ocekavej_chybu(F&& f, int kod, int podkod) {
    try {
        f();
        ADD_FAILURE() << "expected error " << kod << "/" << podkod;
    } catch (const KonecProcesu& konec) {
        EXPECT_EQ(konec.kod, 1);
        EXPECT_EQ(ERROR1, kod);
        if (podkod >= 0) {
            EXPECT_EQ(ERROR2, podkod);
        }
    }
}
#define OCEKAVEJ_CHYBU(prikaz, kod, podkod) \
    do {                                    \
        SCOPED_TRACE(#prikaz);              \
        ocekavej_chybu([&] { prikaz; }, (kod), (podkod)); \
    } while (0)
