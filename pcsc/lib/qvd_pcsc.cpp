// The exported entry points of libqvd-pcsc.so. Every call holds one
// process-wide lock (the tool calls from its UI thread and a worker at once)
// and no exception ever crosses into the caller.
#include "reader/qvd_api.h"

#include "dump/Hex.h"
#include "pcsc/core/Des.h"
#include "pcsc/core/Readers.h"
#include "pcsc/core/Results.h"

#include <mutex>

namespace
{

std::mutex &libraryMutex()
{
    static std::mutex mutex;
    return mutex;
}

pcsc::Readers &readers()
{
    static pcsc::Readers instance;
    return instance;
}

template <typename Fn> int guarded(Fn fn)
{
    const std::lock_guard<std::mutex> lock(libraryMutex());
    try {
        return fn(readers());
    } catch (...) {
        return pcsc::kTransmitFailed;
    }
}

// What PC/SC cannot do: 7 on an open reader, 6 on an unknown handle.
int unsupported(int h)
{
    return guarded([&](pcsc::Readers &s) { return s.isOpen(h) ? pcsc::kNotSupported : pcsc::kBadHandle; });
}

} // namespace

#define NOT_SERVED(name, ...)                                                                                          \
    int name(int h, ##__VA_ARGS__)                                                                                     \
    {                                                                                                                  \
        return unsupported(h);                                                                                         \
    }

extern "C" {

int rz_init(int port, int baud)
{
    const std::lock_guard<std::mutex> lock(libraryMutex());
    try {
        return readers().init(port, baud);
    } catch (...) {
        return pcsc::kNoReader;
    }
}

int rz_exit(int h)
{
    return guarded([&](pcsc::Readers &s) { return s.exit(h); });
}

int rz_getver(int h, char *version)
{
    return guarded([&](pcsc::Readers &s) { return s.getVersion(h, version); });
}

int rz_beep(int h, int duration)
{
    return guarded([&](pcsc::Readers &s) { return s.beep(h, duration); });
}

int rz_config_card(int h, unsigned char protocol)
{
    return guarded([&](pcsc::Readers &s) { return s.configCard(h, protocol); });
}

int rz_reset(int h, unsigned short ms)
{
    return guarded([&](pcsc::Readers &s) { return s.resetField(h, ms); });
}

int rz_request(int h, unsigned char mode, int *tagType)
{
    return guarded([&](pcsc::Readers &s) { return s.request(h, mode, tagType); });
}

int rz_card(int h, unsigned char mode, unsigned int *serial)
{
    return guarded([&](pcsc::Readers &s) { return s.card(h, mode, serial); });
}

int rz_anticoll(int h, unsigned char, unsigned int *serial)
{
    return guarded([&](pcsc::Readers &s) { return s.anticoll(h, serial); });
}

int rz_select(int h, unsigned int serial, unsigned char *sak)
{
    return guarded([&](pcsc::Readers &s) { return s.select(h, serial, sak); });
}

int rz_anticoll2(int h, unsigned char, unsigned int *serial2)
{
    return guarded([&](pcsc::Readers &s) { return s.anticoll2(h, serial2); });
}

int rz_select2(int h, unsigned int serial2)
{
    return guarded([&](pcsc::Readers &s) { return s.select2(h, serial2); });
}

int rz_halt(int h)
{
    return guarded([&](pcsc::Readers &s) { return s.halt(h); });
}

int rz_load_key(int h, unsigned char keyMode, unsigned char sector, unsigned char *key)
{
    return guarded([&](pcsc::Readers &s) { return s.loadKey(h, keyMode, sector, key); });
}

int rz_authentication(int h, unsigned char keyMode, unsigned char sector)
{
    return guarded([&](pcsc::Readers &s) { return s.authenticate(h, keyMode, sector); });
}

int rz_read(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](pcsc::Readers &s) { return s.readBlock(h, block, data); });
}

int rz_write(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](pcsc::Readers &s) { return s.writeBlock(h, block, data); });
}

int rz_read_S70(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](pcsc::Readers &s) { return s.readBlock(h, block, data); });
}

int rz_write_S70(int h, unsigned char block, unsigned char *data)
{
    return guarded([&](pcsc::Readers &s) { return s.writeBlock(h, block, data); });
}

int rz_initval(int h, unsigned char block, int value)
{
    return guarded([&](pcsc::Readers &s) { return s.initValue(h, block, value); });
}

int rz_readval(int h, unsigned char block, int *value)
{
    return guarded([&](pcsc::Readers &s) { return s.readValue(h, block, value); });
}

int rz_increment(int h, unsigned char block, int value)
{
    return guarded([&](pcsc::Readers &s) { return s.increment(h, block, value); });
}

int rz_decrement(int h, unsigned char block, int value)
{
    return guarded([&](pcsc::Readers &s) { return s.decrement(h, block, value); });
}

int rz_transfer(int h, unsigned char block)
{
    return guarded([&](pcsc::Readers &s) { return s.transfer(h, block); });
}

int rz_restore(int h, unsigned char block)
{
    return guarded([&](pcsc::Readers &s) { return s.restore(h, block); });
}

int rz_changeb3(int h, unsigned char sector, unsigned char *keyA, unsigned char *controlWord, unsigned char,
                unsigned char *keyB)
{
    return guarded([&](pcsc::Readers &s) { return s.changeTrailer(h, sector, keyA, controlWord, keyB); });
}

int rz_request_ultralt(int h, unsigned char mode)
{
    return guarded([&](pcsc::Readers &s) { return s.requestUltralight(h, mode); });
}

int rz_anticall_ultralt(int h, unsigned int *serial)
{
    return guarded([&](pcsc::Readers &s) { return s.anticollUltralight(h, serial); });
}

int rz_select_ultralt(int h, unsigned int serial)
{
    return guarded([&](pcsc::Readers &s) { return s.selectUltralight(h, serial); });
}

int rz_read_ultralt(int h, unsigned char page, unsigned char *data)
{
    return guarded([&](pcsc::Readers &s) { return s.readUltralight(h, page, data); });
}

int rz_write_ultralt(int h, unsigned char page, unsigned char *data)
{
    return guarded([&](pcsc::Readers &s) { return s.writeUltralight(h, page, data); });
}

int rz_halt_ultralt(int h)
{
    return guarded([&](pcsc::Readers &s) { return s.haltUltralight(h); });
}

int rz_pro_reset(int h, unsigned char *length, unsigned char *answer)
{
    return guarded([&](pcsc::Readers &s) { return s.proReset(h, length, answer); });
}

int rz_pro_commandlink(int h, unsigned char length, unsigned char *command, unsigned char *replyLength,
                       unsigned char *reply, unsigned char, unsigned char)
{
    return guarded([&](pcsc::Readers &s) { return s.proCommand(h, length, command, replyLength, reply); });
}

int rz_request_b(int h, unsigned char, unsigned char, unsigned char, unsigned char *answer)
{
    return guarded([&](pcsc::Readers &s) { return s.requestB(h, answer); });
}

int rz_attrib(int h, unsigned char *pupi, unsigned char)
{
    return guarded([&](pcsc::Readers &s) { return s.attrib(h, pupi); });
}

int rz_reset_mifarepro(int h, unsigned char *length, unsigned char *answer)
{
    return guarded([&](pcsc::Readers &s) { return s.proReset(h, length, answer); });
}

int rz_apdu_mifarepro(int h, unsigned char length, unsigned char *command, unsigned char *replyLength,
                      unsigned char *reply)
{
    return guarded([&](pcsc::Readers &s) { return s.proCommand(h, length, command, replyLength, reply); });
}

int rz_halt_mifarepro(int h)
{
    return guarded([&](pcsc::Readers &s) { return s.haltPro(h); });
}

int rz_cntReadError_4442(int h, unsigned char *errorCounter)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442ReadErrorCounter(h, errorCounter); });
}

int rz_authentikey_4442(int h, unsigned char, unsigned char length, unsigned char *psc)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442Authenticate(h, length, psc); });
}

int rz_changkey_4442(int h, unsigned char, unsigned char length, unsigned char *psc)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442ChangeKey(h, length, psc); });
}

int rz_read_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442Read(h, address, data, length); });
}

int rz_write_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442Write(h, address, data, length); });
}

int rz_getProtectData_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442ReadProtection(h, address, data, length); });
}

int rz_setProtectData_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4442WriteProtection(h, address, data, length); });
}

int rz_authentikey_4428(int h, unsigned char *psc)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4428Authenticate(h, psc); });
}

int rz_changkey_4428(int h, unsigned char *psc)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4428ChangeKey(h, psc); });
}

int rz_read_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4428Read(h, address, data, length); });
}

int rz_write_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4428Write(h, address, data, length); });
}

int rz_getProtectData_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4428ReadProtection(h, address, data, length); });
}

int rz_setProtectData_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](pcsc::Readers &s) { return s.sle4428WriteProtection(h, address, data, length); });
}

int rz_setcpu(int h, unsigned char slot)
{
    return guarded([&](pcsc::Readers &s) { return s.setCpuSlot(h, slot); });
}

int rz_cpureset(int h, unsigned char *length, unsigned char *answer)
{
    return guarded([&](pcsc::Readers &s) { return s.cpuReset(h, length, answer); });
}

int rz_setcpupara(int h, unsigned char slot, unsigned char, unsigned char)
{
    return guarded([&](pcsc::Readers &s) { return s.setCpuParameters(h, slot); });
}

int rz_cpuapdu(int h, int length, unsigned char *command, unsigned char *replyLength, unsigned char *reply)
{
    return guarded([&](pcsc::Readers &s) { return s.cpuApdu(h, length, command, replyLength, reply); });
}

int rz_cpudown(int h, unsigned char slot)
{
    return guarded([&](pcsc::Readers &s) { return s.cpuPowerDown(h, slot); });
}

int rz_des(char *keyHex, char *dataHex, char *resultHex, int encrypt)
{
    return pcsc::desHex(keyHex, dataHex, resultHex, encrypt != 0);
}

int a_hex(unsigned char *bytes, char *text, int count)
{
    if (!bytes || !text || count < 0)
        return pcsc::kBadArgument;
    return dump::hexToBytes(text, bytes, count) == count ? pcsc::kOk : pcsc::kBadArgument;
}

int hex_a(char *text, unsigned char *bytes, int digits)
{
    if (!text || !bytes || digits < 0)
        return pcsc::kBadArgument;
    dump::bytesToHex(bytes, digits, text);
    return pcsc::kOk;
}

// 125 kHz, Ultralight C, MIFARE Plus, ISO15693, AT88RF020, AT24C64,
// SAM slots and the T7 readers' peripherals have no PC/SC form.
NOT_SERVED(rz_read_SerialNumberID, unsigned char, unsigned char *)
NOT_SERVED(rz_ultralt_C_authen, unsigned char *)
NOT_SERVED(rz_ultralt_C_setSafePage, unsigned char, unsigned char)
NOT_SERVED(rz_ultralt_C_lockPage, unsigned char)
NOT_SERVED(rz_ultralt_C_changePwd, unsigned char *, unsigned char *)
NOT_SERVED(rz_MFPlusL0_WritePerso, unsigned char *, unsigned short)
NOT_SERVED(rz_MFPlusL0_CommitPerso)
NOT_SERVED(rz_MFPlusL1_AuthenKeyL1, unsigned char *)
NOT_SERVED(rz_MFPlusL1_SwitchToL2, unsigned char *)
NOT_SERVED(rz_MFPlusL1_SwitchToL3, unsigned char *)
NOT_SERVED(rz_MFPlusL2_SwitchToL3, unsigned char *)
NOT_SERVED(rz_MFPlusL3_AuthenL3Key, unsigned char *, unsigned short)
NOT_SERVED(rz_MFPlusL3_AuthenSectorKey, unsigned char, unsigned char, unsigned char *)
NOT_SERVED(rz_MFPlusL3_ReadWithPlain, unsigned short, unsigned char, unsigned char *)
NOT_SERVED(rz_MFPlusL3_WriteWithPlain, unsigned short, unsigned char, unsigned char *)
NOT_SERVED(rz_MFPlusL3_ReadWithEncrypt, unsigned short, unsigned char, unsigned char *)
NOT_SERVED(rz_MFPlusL3_WriteWithEncrypt, unsigned short, unsigned char, unsigned char *)
NOT_SERVED(rz_MFPlusL3_UpdateKey, unsigned short, unsigned char *)
NOT_SERVED(rz_MFPlusL3_InitVal, unsigned char, int)
NOT_SERVED(rz_MFPlusL3_ReadVal, unsigned char, int *)
NOT_SERVED(rz_MFPlusL3_Increment, unsigned char, int)
NOT_SERVED(rz_MFPlusL3_Decrement, unsigned char, int)
NOT_SERVED(rz_inventory, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *)
NOT_SERVED(rz_get_systeminfo, unsigned char, unsigned char *, unsigned char *, unsigned char *)
NOT_SERVED(rz_readblock, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *, unsigned char *)
NOT_SERVED(rz_writeblock, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char, unsigned char *)
NOT_SERVED(rz_lock_block, unsigned char, unsigned char, unsigned char *)
NOT_SERVED(rz_write_afi, unsigned char, unsigned char, unsigned char *)
NOT_SERVED(rz_lock_afi, unsigned char, unsigned char, unsigned char *)
NOT_SERVED(rz_write_dsfid, unsigned char, unsigned char, unsigned char *)
NOT_SERVED(rz_lock_dsfid, unsigned char, unsigned char, unsigned char *)
NOT_SERVED(rz_get_securityinfo, unsigned char, unsigned char, unsigned char, unsigned char *, unsigned char *,
           unsigned char *)
NOT_SERVED(rz_reset_to_ready, unsigned char, unsigned char *)
NOT_SERVED(rz_select_uid, unsigned char, unsigned char *)
NOT_SERVED(rz_stay_quiet, unsigned char, unsigned char *)
NOT_SERVED(rz_check_at, unsigned char, unsigned char *)
NOT_SERVED(rz_changekey_at, unsigned char *)
NOT_SERVED(rz_CommandLink_at, unsigned char *, unsigned char, unsigned char *, unsigned char *)
NOT_SERVED(rz_read_at, unsigned char, unsigned char *, unsigned char *)
NOT_SERVED(rz_write_at, unsigned char, unsigned char *)
NOT_SERVED(rz_lock_at, unsigned char, unsigned char *)
NOT_SERVED(rz_count_at, unsigned char, unsigned char *)
NOT_SERVED(rz_halt_at, unsigned char, unsigned char *)
NOT_SERVED(rz_check_24c64)
NOT_SERVED(rz_read_24c64, int, int, unsigned char *)
NOT_SERVED(rz_write_24c64, int, int, unsigned char *)
NOT_SERVED(rz_ctl_mode, unsigned char)
NOT_SERVED(rz_disp_mode, unsigned char)
NOT_SERVED(rz_settime, unsigned char *)
NOT_SERVED(rz_LED_disp8, unsigned char, unsigned char *)
NOT_SERVED(rz_lcd_setbright, unsigned char)
NOT_SERVED(rz_lcd_dispstr, char *)
NOT_SERVED(rz_lcd_dispclear)
NOT_SERVED(rz_srd_eeprom, int, int, unsigned char *)
NOT_SERVED(rz_swr_eeprom, int, int, unsigned char *)

} // extern "C"
