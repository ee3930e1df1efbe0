// The exported entry points. Every call holds one process-wide lock (the
// tool calls from its UI thread and a worker at once) and no exception ever
// crosses into the caller.
#include "reader/qvd_api.h"

#include "sim/core/Errors.h"
#include "sim/core/Hex.h"
#include "sim/core/Simulator.h"

#include <mutex>

namespace
{

std::mutex &libraryMutex()
{
    static std::mutex mutex;
    return mutex;
}

sim::Simulator &simulator()
{
    static sim::Simulator instance;
    return instance;
}

template <typename Fn> int guarded(Fn fn)
{
    const std::lock_guard<std::mutex> lock(libraryMutex());
    try {
        return fn(simulator());
    } catch (...) {
        return sim::kBenchUnreadable;
    }
}

} // namespace

#define QVD_UNSUPPORTED(name, ...)                                                                                     \
    int name(__VA_ARGS__)                                                                                              \
    {                                                                                                                  \
        return guarded([](sim::Simulator &) { return int(sim::kNotSupported); });                                      \
    }

extern "C" {

int rz_init(int port, int baud)
{
    const std::lock_guard<std::mutex> lock(libraryMutex());
    try {
        return simulator().init(port, baud);
    } catch (...) {
        return -1;
    }
}

int rz_exit(int h)
{
    return guarded([&](sim::Simulator &s) { return s.exit(h); });
}

int rz_getver(int h, char *version)
{
    return guarded([&](sim::Simulator &s) { return s.getVersion(h, version); });
}

int rz_beep(int h, int duration)
{
    return guarded([&](sim::Simulator &s) { return s.beep(h, duration); });
}

int rz_config_card(int h, unsigned char protocol)
{
    return guarded([&](sim::Simulator &s) { return s.configCard(h, protocol); });
}

int rz_reset(int h, unsigned short ms)
{
    return guarded([&](sim::Simulator &s) { return s.resetField(h, ms); });
}

int rz_request(int h, unsigned char mode, int *tagType)
{
    return guarded([&](sim::Simulator &s) { return s.request(h, mode, tagType); });
}

int rz_card(int h, unsigned char mode, unsigned int *serial)
{
    return guarded([&](sim::Simulator &s) { return s.card(h, mode, serial); });
}

int rz_anticoll(int h, unsigned char, unsigned int *serial)
{
    return guarded([&](sim::Simulator &s) { return s.anticoll(h, serial); });
}

int rz_select(int h, unsigned int serial, unsigned char *sak)
{
    return guarded([&](sim::Simulator &s) { return s.select(h, serial, sak); });
}

int rz_anticoll2(int h, unsigned char, unsigned int *serial2)
{
    return guarded([&](sim::Simulator &s) { return s.anticoll2(h, serial2); });
}

int rz_select2(int h, unsigned int serial2)
{
    return guarded([&](sim::Simulator &s) { return s.select2(h, serial2); });
}

int rz_halt(int h)
{
    return guarded([&](sim::Simulator &s) { return s.halt(h); });
}

int rz_load_key(int h, unsigned char keyMode, unsigned char sector, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.loadKey(h, keyMode, sector, key); });
}

int rz_authentication(int h, unsigned char keyMode, unsigned char sector)
{
    return guarded([&](sim::Simulator &s) { return s.authenticate(h, keyMode, sector); });
}

int rz_read(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.readBlock(h, block, data); });
}

int rz_write(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.writeBlock(h, block, data); });
}

int rz_read_S70(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.readBlock(h, block, data); });
}

int rz_write_S70(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.writeBlock(h, block, data); });
}

int rz_initval(int h, unsigned char block, int value)
{
    return guarded([&](sim::Simulator &s) { return s.initValue(h, block, value); });
}

int rz_readval(int h, unsigned char block, int *value)
{
    return guarded([&](sim::Simulator &s) { return s.readValue(h, block, value); });
}

int rz_increment(int h, unsigned char block, int value)
{
    return guarded([&](sim::Simulator &s) { return s.increment(h, block, value); });
}

int rz_decrement(int h, unsigned char block, int value)
{
    return guarded([&](sim::Simulator &s) { return s.decrement(h, block, value); });
}

int rz_transfer(int h, unsigned char block)
{
    return guarded([&](sim::Simulator &s) { return s.transfer(h, block); });
}

int rz_restore(int h, unsigned char block)
{
    return guarded([&](sim::Simulator &s) { return s.restore(h, block); });
}

int rz_changeb3(int h, unsigned char sector, unsigned char *keyA, unsigned char *controlWord, unsigned char,
                unsigned char *keyB)
{
    return guarded([&](sim::Simulator &s) { return s.changeTrailer(h, sector, keyA, controlWord, keyB); });
}

int rz_read_SerialNumberID(int h, unsigned char, unsigned char *number)
{
    return guarded([&](sim::Simulator &s) { return s.readIdNumber(h, number); });
}

int rz_request_b(int h, unsigned char, unsigned char, unsigned char, unsigned char *answer)
{
    return guarded([&](sim::Simulator &s) { return s.requestB(h, answer); });
}

int rz_attrib(int h, unsigned char *pupi, unsigned char)
{
    return guarded([&](sim::Simulator &s) { return s.attrib(h, pupi); });
}

int rz_inventory(int h, unsigned char flags, unsigned char afi, unsigned char maskLength, unsigned char *reply,
                 unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.inventory(h, flags, afi, maskLength, reply, uid); });
}

// Reads 2n hex digits into n bytes. On a non-hex character or a short text
// the bytes before the bad pair are converted, the rest left as they were.
int a_hex(unsigned char *bytes, char *text, int count)
{
    const std::lock_guard<std::mutex> lock(libraryMutex());
    if (!bytes || !text || count < 0)
        return sim::kBadArgument;
    return sim::hexToBytes(text, bytes, count) == count ? sim::kOk : sim::kBadArgument;
}

int hex_a(char *text, unsigned char *bytes, int digits)
{
    const std::lock_guard<std::mutex> lock(libraryMutex());
    if (!text || !bytes || digits < 0)
        return sim::kBadArgument;
    sim::bytesToHex(bytes, digits, text);
    return sim::kOk;
}

// Card families whose simulated cards come later.
QVD_UNSUPPORTED(rz_request_ultralt, int, unsigned char)
QVD_UNSUPPORTED(rz_anticall_ultralt, int, unsigned int *)
QVD_UNSUPPORTED(rz_select_ultralt, int, unsigned int)
QVD_UNSUPPORTED(rz_read_ultralt, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_write_ultralt, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_halt_ultralt, int)
QVD_UNSUPPORTED(rz_ultralt_C_authen, int, unsigned char *)
QVD_UNSUPPORTED(rz_ultralt_C_setSafePage, int, unsigned char, unsigned char)
QVD_UNSUPPORTED(rz_ultralt_C_lockPage, int, unsigned char)
QVD_UNSUPPORTED(rz_ultralt_C_changePwd, int, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_pro_reset, int, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_pro_commandlink, int, unsigned char, unsigned char *, unsigned char *, unsigned char *,
                unsigned char, unsigned char)
QVD_UNSUPPORTED(rz_reset_mifarepro, int, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_apdu_mifarepro, int, unsigned char, unsigned char *, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_halt_mifarepro, int)
QVD_UNSUPPORTED(rz_MFPlusL0_WritePerso, int, unsigned char *, unsigned short)
QVD_UNSUPPORTED(rz_MFPlusL0_CommitPerso, int)
QVD_UNSUPPORTED(rz_MFPlusL1_AuthenKeyL1, int, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL1_SwitchToL2, int, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL1_SwitchToL3, int, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL2_SwitchToL3, int, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_AuthenL3Key, int, unsigned char *, unsigned short)
QVD_UNSUPPORTED(rz_MFPlusL3_AuthenSectorKey, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_ReadWithPlain, int, unsigned short, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_WriteWithPlain, int, unsigned short, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_ReadWithEncrypt, int, unsigned short, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_WriteWithEncrypt, int, unsigned short, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_UpdateKey, int, unsigned short, unsigned char *)
QVD_UNSUPPORTED(rz_MFPlusL3_InitVal, int, unsigned char, int)
QVD_UNSUPPORTED(rz_MFPlusL3_ReadVal, int, unsigned char, int *)
QVD_UNSUPPORTED(rz_MFPlusL3_Increment, int, unsigned char, int)
QVD_UNSUPPORTED(rz_MFPlusL3_Decrement, int, unsigned char, int)
QVD_UNSUPPORTED(rz_get_systeminfo, int, unsigned char, unsigned char *, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_readblock, int, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *,
                unsigned char *)
QVD_UNSUPPORTED(rz_writeblock, int, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char,
                unsigned char *)
QVD_UNSUPPORTED(rz_lock_block, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_write_afi, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_lock_afi, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_write_dsfid, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_lock_dsfid, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_get_securityinfo, int, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *,
                unsigned char *)
QVD_UNSUPPORTED(rz_reset_to_ready, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_select_uid, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_stay_quiet, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_check_at, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_changekey_at, int, unsigned char *)
QVD_UNSUPPORTED(rz_CommandLink_at, int, unsigned char *, unsigned char, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_read_at, int, unsigned char, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_write_at, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_lock_at, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_count_at, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_halt_at, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_cntReadError_4442, int, unsigned char *)
QVD_UNSUPPORTED(rz_authentikey_4442, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_changkey_4442, int, unsigned char, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_read_4442, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_write_4442, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_getProtectData_4442, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_setProtectData_4442, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_authentikey_4428, int, unsigned char *)
QVD_UNSUPPORTED(rz_changkey_4428, int, unsigned char *)
QVD_UNSUPPORTED(rz_read_4428, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_write_4428, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_getProtectData_4428, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_setProtectData_4428, int, int, unsigned char *, int)
QVD_UNSUPPORTED(rz_check_24c64, int)
QVD_UNSUPPORTED(rz_read_24c64, int, int, int, unsigned char *)
QVD_UNSUPPORTED(rz_write_24c64, int, int, int, unsigned char *)
QVD_UNSUPPORTED(rz_setcpu, int, unsigned char)
QVD_UNSUPPORTED(rz_cpureset, int, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_setcpupara, int, unsigned char, unsigned char, unsigned char)
QVD_UNSUPPORTED(rz_cpuapdu, int, int, unsigned char *, unsigned char *, unsigned char *)
QVD_UNSUPPORTED(rz_cpudown, int, unsigned char)
QVD_UNSUPPORTED(rz_ctl_mode, int, unsigned char)
QVD_UNSUPPORTED(rz_disp_mode, int, unsigned char)
QVD_UNSUPPORTED(rz_settime, int, unsigned char *)
QVD_UNSUPPORTED(rz_LED_disp8, int, unsigned char, unsigned char *)
QVD_UNSUPPORTED(rz_lcd_setbright, int, unsigned char)
QVD_UNSUPPORTED(rz_lcd_dispstr, int, char *)
QVD_UNSUPPORTED(rz_lcd_dispclear, int)
QVD_UNSUPPORTED(rz_srd_eeprom, int, int, int, unsigned char *)
QVD_UNSUPPORTED(rz_swr_eeprom, int, int, int, unsigned char *)
QVD_UNSUPPORTED(rz_des, char *, char *, char *, int)

} // extern "C"
