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
    int result = sim::kBenchUnreadable;
    try {
        result = fn(simulator());
    } catch (...) {
    }
    simulator().settleAirTime();
    return result;
}

} // namespace

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

int rz_request_ultralt(int h, unsigned char mode)
{
    return guarded([&](sim::Simulator &s) { return s.requestUltralight(h, mode); });
}

int rz_anticall_ultralt(int h, unsigned int *serial)
{
    return guarded([&](sim::Simulator &s) { return s.anticollUltralight(h, serial); });
}

int rz_select_ultralt(int h, unsigned int serial)
{
    return guarded([&](sim::Simulator &s) { return s.selectUltralight(h, serial); });
}

int rz_read_ultralt(int h, unsigned char page, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.readUltralight(h, page, data); });
}

int rz_write_ultralt(int h, unsigned char page, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.writeUltralight(h, page, data); });
}

int rz_halt_ultralt(int h)
{
    return guarded([&](sim::Simulator &s) { return s.haltUltralight(h); });
}

int rz_ultralt_C_authen(int h, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.ultralightCAuthenticate(h, key); });
}

int rz_ultralt_C_setSafePage(int h, unsigned char page, unsigned char readProtect)
{
    return guarded([&](sim::Simulator &s) { return s.ultralightCSetSafePage(h, page, readProtect); });
}

int rz_ultralt_C_lockPage(int h, unsigned char page)
{
    return guarded([&](sim::Simulator &s) { return s.ultralightCLockPage(h, page); });
}

int rz_ultralt_C_changePwd(int h, unsigned char *oldKey, unsigned char *newKey)
{
    return guarded([&](sim::Simulator &s) { return s.ultralightCChangeKey(h, oldKey, newKey); });
}

int rz_pro_reset(int h, unsigned char *length, unsigned char *answer)
{
    return guarded([&](sim::Simulator &s) { return s.proReset(h, length, answer); });
}

int rz_pro_commandlink(int h, unsigned char length, unsigned char *command, unsigned char *replyLength,
                       unsigned char *reply, unsigned char timeout, unsigned char frameSize)
{
    return guarded(
        [&](sim::Simulator &s) { return s.proCommand(h, length, command, replyLength, reply, timeout, frameSize); });
}

int rz_reset_mifarepro(int h, unsigned char *length, unsigned char *answer)
{
    return guarded([&](sim::Simulator &s) { return s.resetMifarePro(h, length, answer); });
}

int rz_apdu_mifarepro(int h, unsigned char length, unsigned char *command, unsigned char *replyLength,
                      unsigned char *reply)
{
    return guarded([&](sim::Simulator &s) { return s.apduMifarePro(h, length, command, replyLength, reply); });
}

int rz_halt_mifarepro(int h)
{
    return guarded([&](sim::Simulator &s) { return s.haltMifarePro(h); });
}

int rz_MFPlusL0_WritePerso(int h, unsigned char *value, unsigned short address)
{
    return guarded([&](sim::Simulator &s) { return s.mfpWritePerso(h, value, address); });
}

int rz_MFPlusL0_CommitPerso(int h)
{
    return guarded([&](sim::Simulator &s) { return s.mfpCommitPerso(h); });
}

int rz_MFPlusL1_AuthenKeyL1(int h, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL1Authenticate(h, key); });
}

int rz_MFPlusL1_SwitchToL2(int h, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL1SwitchToL2(h, key); });
}

int rz_MFPlusL1_SwitchToL3(int h, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL1SwitchToL3(h, key); });
}

int rz_MFPlusL2_SwitchToL3(int h, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL2SwitchToL3(h, key); });
}

int rz_MFPlusL3_AuthenL3Key(int h, unsigned char *key, unsigned short keyNumber)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3AuthenticateKey(h, key, keyNumber); });
}

int rz_MFPlusL3_AuthenSectorKey(int h, unsigned char mode, unsigned char sector, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3AuthenticateSector(h, mode, sector, key); });
}

int rz_MFPlusL3_ReadWithPlain(int h, unsigned short block, unsigned char count, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3ReadPlain(h, block, count, data); });
}

int rz_MFPlusL3_WriteWithPlain(int h, unsigned short block, unsigned char count, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3WritePlain(h, block, count, data); });
}

int rz_MFPlusL3_ReadWithEncrypt(int h, unsigned short block, unsigned char count, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3ReadEncrypted(h, block, count, data); });
}

int rz_MFPlusL3_WriteWithEncrypt(int h, unsigned short block, unsigned char count, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3WriteEncrypted(h, block, count, data); });
}

int rz_MFPlusL3_UpdateKey(int h, unsigned short keyNumber, unsigned char *key)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3UpdateKey(h, keyNumber, key); });
}

int rz_MFPlusL3_InitVal(int h, unsigned char block, int value)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3InitValue(h, block, value); });
}

int rz_MFPlusL3_ReadVal(int h, unsigned char block, int *value)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3ReadValue(h, block, value); });
}

int rz_MFPlusL3_Increment(int h, unsigned char block, int value)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3Increment(h, block, value); });
}

int rz_MFPlusL3_Decrement(int h, unsigned char block, int value)
{
    return guarded([&](sim::Simulator &s) { return s.mfpL3Decrement(h, block, value); });
}

int rz_get_systeminfo(int h, unsigned char flags, unsigned char *uid, unsigned char *length, unsigned char *reply)
{
    return guarded([&](sim::Simulator &s) { return s.getSystemInfo(h, flags, uid, length, reply); });
}

int rz_readblock(int h, unsigned char flags, unsigned char block, unsigned char count, unsigned char *uid,
                 unsigned char *length, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.readBlocks(h, flags, block, count, uid, length, data); });
}

int rz_writeblock(int h, unsigned char flags, unsigned char block, unsigned char count, unsigned char *uid,
                  unsigned char length, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.writeBlocks(h, flags, block, count, uid, length, data); });
}

int rz_lock_block(int h, unsigned char flags, unsigned char block, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.lockBlock(h, flags, block, uid); });
}

int rz_write_afi(int h, unsigned char flags, unsigned char afi, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.writeAfi(h, flags, afi, uid); });
}

int rz_lock_afi(int h, unsigned char flags, unsigned char afi, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.lockAfi(h, flags, afi, uid); });
}

int rz_write_dsfid(int h, unsigned char flags, unsigned char dsfid, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.writeDsfid(h, flags, dsfid, uid); });
}

int rz_lock_dsfid(int h, unsigned char flags, unsigned char dsfid, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.lockDsfid(h, flags, dsfid, uid); });
}

int rz_get_securityinfo(int h, unsigned char flags, unsigned char block, unsigned char count, unsigned char *uid,
                        unsigned char *length, unsigned char *reply)
{
    return guarded([&](sim::Simulator &s) { return s.getSecurityInfo(h, flags, block, count, uid, length, reply); });
}

int rz_reset_to_ready(int h, unsigned char flags, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.resetToReady(h, flags, uid); });
}

int rz_select_uid(int h, unsigned char flags, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.selectUid(h, flags, uid); });
}

int rz_stay_quiet(int h, unsigned char flags, unsigned char *uid)
{
    return guarded([&](sim::Simulator &s) { return s.stayQuiet(h, flags, uid); });
}

int rz_check_at(int h, unsigned char mode, unsigned char *password)
{
    return guarded([&](sim::Simulator &s) { return s.atCheck(h, mode, password); });
}

int rz_changekey_at(int h, unsigned char *password)
{
    return guarded([&](sim::Simulator &s) { return s.atChangeKey(h, password); });
}

int rz_CommandLink_at(int h, unsigned char *command, unsigned char length, unsigned char *reply,
                      unsigned char *replyLength)
{
    return guarded([&](sim::Simulator &s) { return s.atCommand(h, command, length, reply, replyLength); });
}

int rz_read_at(int h, unsigned char page, unsigned char *password, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.atRead(h, page, password, data); });
}

int rz_write_at(int h, unsigned char page, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.atWrite(h, page, data); });
}

int rz_lock_at(int h, unsigned char mode, unsigned char *password)
{
    return guarded([&](sim::Simulator &s) { return s.atLock(h, mode, password); });
}

int rz_count_at(int h, unsigned char mode, unsigned char *password)
{
    return guarded([&](sim::Simulator &s) { return s.atCount(h, mode, password); });
}

int rz_halt_at(int h, unsigned char mode, unsigned char *password)
{
    return guarded([&](sim::Simulator &s) { return s.atHalt(h, mode, password); });
}

int rz_cntReadError_4442(int h, unsigned char *errorCounter)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442ReadErrorCounter(h, errorCounter); });
}

int rz_authentikey_4442(int h, unsigned char zone, unsigned char length, unsigned char *psc)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442Authenticate(h, zone, length, psc); });
}

int rz_changkey_4442(int h, unsigned char zone, unsigned char length, unsigned char *psc)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442ChangeKey(h, zone, length, psc); });
}

int rz_read_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442Read(h, address, data, length); });
}

int rz_write_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442Write(h, address, data, length); });
}

int rz_getProtectData_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442ReadProtection(h, address, data, length); });
}

int rz_setProtectData_4442(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4442WriteProtection(h, address, data, length); });
}

int rz_authentikey_4428(int h, unsigned char *psc)
{
    return guarded([&](sim::Simulator &s) { return s.sle4428Authenticate(h, psc); });
}

int rz_changkey_4428(int h, unsigned char *psc)
{
    return guarded([&](sim::Simulator &s) { return s.sle4428ChangeKey(h, psc); });
}

int rz_read_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4428Read(h, address, data, length); });
}

int rz_write_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4428Write(h, address, data, length); });
}

int rz_getProtectData_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4428ReadProtection(h, address, data, length); });
}

int rz_setProtectData_4428(int h, int address, unsigned char *data, int length)
{
    return guarded([&](sim::Simulator &s) { return s.sle4428WriteProtection(h, address, data, length); });
}

int rz_check_24c64(int h)
{
    return guarded([&](sim::Simulator &s) { return s.at24c64Check(h); });
}

int rz_read_24c64(int h, int address, int length, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.at24c64Read(h, address, length, data); });
}

int rz_write_24c64(int h, int address, int length, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.at24c64Write(h, address, length, data); });
}

int rz_setcpu(int h, unsigned char slot)
{
    return guarded([&](sim::Simulator &s) { return s.setCpuSlot(h, slot); });
}

int rz_cpureset(int h, unsigned char *length, unsigned char *answer)
{
    return guarded([&](sim::Simulator &s) { return s.cpuReset(h, length, answer); });
}

int rz_setcpupara(int h, unsigned char slot, unsigned char protocol, unsigned char etu)
{
    return guarded([&](sim::Simulator &s) { return s.setCpuParameters(h, slot, protocol, etu); });
}

int rz_cpuapdu(int h, int length, unsigned char *command, unsigned char *replyLength, unsigned char *reply)
{
    return guarded([&](sim::Simulator &s) { return s.cpuApdu(h, length, command, replyLength, reply); });
}

int rz_cpudown(int h, unsigned char slot)
{
    return guarded([&](sim::Simulator &s) { return s.cpuPowerDown(h, slot); });
}

int rz_ctl_mode(int h, unsigned char mode)
{
    return guarded([&](sim::Simulator &s) { return s.ledControlMode(h, mode); });
}

int rz_disp_mode(int h, unsigned char mode)
{
    return guarded([&](sim::Simulator &s) { return s.ledDisplayMode(h, mode); });
}

int rz_settime(int h, unsigned char *clock)
{
    return guarded([&](sim::Simulator &s) { return s.setClock(h, clock); });
}

int rz_LED_disp8(int h, unsigned char length, unsigned char *pattern)
{
    return guarded([&](sim::Simulator &s) { return s.ledDisplay8(h, length, pattern); });
}

int rz_lcd_setbright(int h, unsigned char brightness)
{
    return guarded([&](sim::Simulator &s) { return s.lcdSetBrightness(h, brightness); });
}

int rz_lcd_dispstr(int h, char *text)
{
    return guarded([&](sim::Simulator &s) { return s.lcdShowText(h, text); });
}

int rz_lcd_dispclear(int h)
{
    return guarded([&](sim::Simulator &s) { return s.lcdClear(h); });
}

int rz_srd_eeprom(int h, int offset, int length, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.readNoteMemory(h, offset, length, data); });
}

int rz_swr_eeprom(int h, int offset, int length, unsigned char *data)
{
    return guarded([&](sim::Simulator &s) { return s.writeNoteMemory(h, offset, length, data); });
}

int rz_des(char *keyHex, char *dataHex, char *resultHex, int encrypt)
{
    return guarded([&](sim::Simulator &s) { return s.des(keyHex, dataHex, resultHex, encrypt); });
}

} // extern "C"
