// Shared test helpers: err() ends the process through the exit hook, which the tests
// replace by one that throws, and a fixture that runs each test in a fresh directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "core/chyby.h"
#include "core/globals.h"

struct KonecProcesu {
    int kod;
};

using Chyba = std::pair<int, int>;  // ERROR1, ERROR2; {0, 0} when nothing failed

// Runs the code and returns the error it ended with.
inline Chyba chyba_z(const std::function<void()>& kod) {
    try {
        kod();
    } catch (const KonecProcesu&) {
        return {ERROR1, ERROR2};
    }
    return {0, 0};
}

class VAdresari : public ::testing::Test {
protected:
    std::filesystem::path adresar;

    void SetUp() override {
        nuluj_globalni_stav();
        ShowProgress = 0;
        nastav_exit_hook([](int kod) { throw KonecProcesu{kod}; });
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        adresar = std::filesystem::temp_directory_path() /
                  (std::string("kaslnk-") + test->test_suite_name() + "-" + test->name() + "-" +
                   std::to_string(std::random_device{}()));
        std::filesystem::remove_all(adresar);
        std::filesystem::create_directories(adresar);
        fullpath = 1;
        tt.adresar_programu = adresar.string() + "/";
    }

    void TearDown() override {
        nastav_exit_hook(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(adresar, ec);
    }

    std::string cesta(const std::string& jmeno) const { return (adresar / jmeno).string(); }

    void zapis(const std::string& jmeno, const std::string& obsah) const {
        std::ofstream(cesta(jmeno), std::ios::binary) << obsah;
    }

    std::string precti(const std::string& jmeno) const {
        std::ifstream f(cesta(jmeno), std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    bool existuje(const std::string& jmeno) const { return std::filesystem::exists(cesta(jmeno)); }
};
