// The port of a session that may be cancelled: a read that may wait long (seconds for the
// register's answer) waits in slices, and between them looks whether the caller cancelled
// the work. The time-outs the link sets are kept here and applied slice by slice through
// the Win32 forms every port knows (platform/serial.h): "return as soon as a byte is there,
// waiting up to the slice for it", and "return at once with what is there".
#include <algorithm>
#include <chrono>
#include <memory>

#include "core/prenos.h"
#include "link/port.h"

namespace {

constexpr uint32_t BEZ_MEZE = LhutaCteni::BEZ_MEZE;

int64_t ted_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class ZrusitelnyPort : public Port {
public:
    ZrusitelnyPort(SezeniJadra& s, std::unique_ptr<Port> p) : s_(s), p_(std::move(p)) {}

    bool fronty(uint32_t vstup, uint32_t vystup) override { return p_->fronty(vstup, vystup); }
    bool maska_udalosti(bool znak) override { return p_->maska_udalosti(znak); }
    bool vycisti() override { return p_->vycisti(); }
    bool nastav_linku(const SerialLine& linka) override { return p_->nastav_linku(linka); }
    bool nastav_casy(const SerialTimeouts& casy) override {
        casy_ = casy;
        return pouzij(casy);
    }
    bool zapis(const uint8_t* data, size_t pocet) override {
        kontroluj_zruseni(s_);
        pouzij(casy_);  // the write time-outs as set
        return p_->zapis(data, pocet);
    }
    bool zapis_vyprsel() override { return p_->zapis_vyprsel(); }
    uint32_t vymaz_chyby() override { return p_->vymaz_chyby(); }
    bool dtr(bool zapnout) override { return p_->dtr(zapnout); }
    bool stav_modemu(uint32_t& stav) override {
        kontroluj_zruseni(s_);
        return p_->stav_modemu(stav);
    }

    long cti(uint8_t* data, size_t max) override {
        if (max == 0 || specialni()) return p_->cti(data, max);
        LhutaCteni lhuta(casy_, max, ted_ms());
        size_t precteno = 0;
        while (precteno < max) {
            kontroluj_zruseni(s_);
            int64_t cekat = lhuta.cekani(ted_ms(), precteno);
            int64_t dil = dil_cekani(cekat);
            pouzij(prvni_bajt(dil));
            long n = p_->cti(data + precteno, max - precteno);
            if (n < 0) return precteno ? static_cast<long>(precteno) : -1;
            if (n > 0) {
                precteno += static_cast<size_t>(n);
                lhuta.prijato(ted_ms());
            } else if (dil == cekat) {
                break;  // the read's own time-out ran out
            }
        }
        return static_cast<long>(precteno);
    }

    // Each byte is waited for as a one-byte read starting at the previous one would be.
    size_t cti_do(uint8_t* data, size_t max, uint8_t konec, bool& selhalo) override {
        selhalo = false;
        if (specialni()) return p_->cti_do(data, max, konec, selhalo);
        size_t precteno = 0;
        int64_t posledni = ted_ms();
        while (precteno < max && !(precteno && data[precteno - 1] == konec)) {
            kontroluj_zruseni(s_);
            int64_t pred = ted_ms();
            int64_t cekat = LhutaCteni(casy_, 1, posledni).cekani(pred, 0);
            int64_t dil = dil_cekani(cekat);
            SerialTimeouts c = casy_;
            c.read_interval = dil ? 0 : BEZ_MEZE;
            c.read_total_multiplier = 0;
            c.read_total_constant = static_cast<uint32_t>(dil);
            pouzij(c);
            size_t n = p_->cti_do(data + precteno, max - precteno, konec, selhalo);
            precteno += n;
            if (selhalo) break;
            if (n > 0)
                // It stopped after waiting `dil` in vain for the byte after the last one.
                posledni = std::max(pred, ted_ms() - dil);
            else if (dil == cekat)
                break;
        }
        return precteno;
    }

private:
    // The Win32 special forms pass as they are: they never wait long.
    bool specialni() const { return casy_.read_interval == BEZ_MEZE; }
    // One slice of a wait of `cekat` ms (-1: without a limit).
    static int64_t dil_cekani(int64_t cekat) {
        return cekat < 0 || cekat > ZRUSENI_DIL_MS ? ZRUSENI_DIL_MS : cekat;
    }
    // Up to `dil` ms for the first byte, then what is there; 0: only what is there.
    SerialTimeouts prvni_bajt(int64_t dil) const {
        SerialTimeouts c = casy_;
        c.read_interval = BEZ_MEZE;
        c.read_total_multiplier = dil ? BEZ_MEZE : 0;
        c.read_total_constant = static_cast<uint32_t>(dil);
        return c;
    }
    bool pouzij(const SerialTimeouts& c) {
        if (platne_ && c.read_interval == pouzite_.read_interval &&
            c.read_total_multiplier == pouzite_.read_total_multiplier &&
            c.read_total_constant == pouzite_.read_total_constant &&
            c.write_total_multiplier == pouzite_.write_total_multiplier &&
            c.write_total_constant == pouzite_.write_total_constant)
            return true;
        platne_ = p_->nastav_casy(c);
        pouzite_ = c;
        return platne_;
    }

    SezeniJadra& s_;
    std::unique_ptr<Port> p_;
    SerialTimeouts casy_;     // as the link set them
    SerialTimeouts pouzite_;  // as the port has them now
    bool platne_ = false;
};

}  // namespace

std::unique_ptr<Port> zrusitelny_port(SezeniJadra& s, std::unique_ptr<Port> port) {
    return std::make_unique<ZrusitelnyPort>(s, std::move(port));
}
