/* Entry points of the reader library libqvd.so.
 *
 * One header for the tool and the simulated library, so the two can never
 * disagree. Widths: byte = unsigned char, 16-bit = unsigned short, 32-bit =
 * int / unsigned int. Every entry point returns a reader result: 0 is
 * success, anything else a failure (rz_init returns the device handle).
 */
#ifndef QVD_API_H
#define QVD_API_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define QVD_EXPORT __attribute__((visibility("default")))
#else
#define QVD_EXPORT
#endif

/* Reader */
QVD_EXPORT int rz_init(int port, int baud);
QVD_EXPORT int rz_exit(int h);
QVD_EXPORT int rz_getver(int h, char *version);
QVD_EXPORT int rz_beep(int h, int duration);
QVD_EXPORT int rz_config_card(int h, unsigned char protocol);
QVD_EXPORT int rz_reset(int h, unsigned short ms);

/* ISO 14443 TYPE A activation and Mifare Classic */
QVD_EXPORT int rz_request(int h, unsigned char mode, int *tagType);
QVD_EXPORT int rz_card(int h, unsigned char mode, unsigned int *serial);
QVD_EXPORT int rz_anticoll(int h, unsigned char bitCount, unsigned int *serial);
QVD_EXPORT int rz_select(int h, unsigned int serial, unsigned char *sak);
QVD_EXPORT int rz_anticoll2(int h, unsigned char bitCount, unsigned int *serial2);
QVD_EXPORT int rz_select2(int h, unsigned int serial2);
QVD_EXPORT int rz_halt(int h);
QVD_EXPORT int rz_load_key(int h, unsigned char keyMode, unsigned char sector, unsigned char *key);
QVD_EXPORT int rz_authentication(int h, unsigned char keyMode, unsigned char sector);
QVD_EXPORT int rz_read(int h, unsigned char block, unsigned char *data);
QVD_EXPORT int rz_write(int h, unsigned char block, unsigned char *data);
QVD_EXPORT int rz_read_S70(int h, unsigned char block, unsigned char *data);
QVD_EXPORT int rz_write_S70(int h, unsigned char block, unsigned char *data);
QVD_EXPORT int rz_initval(int h, unsigned char block, int value);
QVD_EXPORT int rz_readval(int h, unsigned char block, int *value);
QVD_EXPORT int rz_increment(int h, unsigned char block, int value);
QVD_EXPORT int rz_decrement(int h, unsigned char block, int value);
QVD_EXPORT int rz_transfer(int h, unsigned char block);
QVD_EXPORT int rz_restore(int h, unsigned char block);
QVD_EXPORT int rz_changeb3(int h, unsigned char sector, unsigned char *keyA, unsigned char *controlWord,
                           unsigned char keyBMode, unsigned char *keyB);

/* 125 kHz ID card: the number as zero-terminated decimal text */
QVD_EXPORT int rz_read_SerialNumberID(int h, unsigned char mode, unsigned char *number);

/* Ultralight and Ultralight C */
QVD_EXPORT int rz_request_ultralt(int h, unsigned char mode);
QVD_EXPORT int rz_anticall_ultralt(int h, unsigned int *serial);
QVD_EXPORT int rz_select_ultralt(int h, unsigned int serial);
QVD_EXPORT int rz_read_ultralt(int h, unsigned char page, unsigned char *data);
QVD_EXPORT int rz_write_ultralt(int h, unsigned char page, unsigned char *data);
QVD_EXPORT int rz_halt_ultralt(int h);
QVD_EXPORT int rz_ultralt_C_authen(int h, unsigned char *key);
QVD_EXPORT int rz_ultralt_C_setSafePage(int h, unsigned char page, unsigned char readProtect);
QVD_EXPORT int rz_ultralt_C_lockPage(int h, unsigned char page);
QVD_EXPORT int rz_ultralt_C_changePwd(int h, unsigned char *oldKey, unsigned char *newKey);

/* ISO 14443-4 CPU cards, TYPE B activation, Mifare Pro */
QVD_EXPORT int rz_pro_reset(int h, unsigned char *length, unsigned char *answer);
QVD_EXPORT int rz_pro_commandlink(int h, unsigned char length, unsigned char *command, unsigned char *replyLength,
                                  unsigned char *reply, unsigned char timeout, unsigned char frameSize);
QVD_EXPORT int rz_request_b(int h, unsigned char afi, unsigned char slots, unsigned char extended,
                            unsigned char *answer);
QVD_EXPORT int rz_attrib(int h, unsigned char *pupi, unsigned char cid);
QVD_EXPORT int rz_reset_mifarepro(int h, unsigned char *length, unsigned char *answer);
QVD_EXPORT int rz_apdu_mifarepro(int h, unsigned char length, unsigned char *command, unsigned char *replyLength,
                                 unsigned char *reply);
QVD_EXPORT int rz_halt_mifarepro(int h);

/* Mifare Plus */
QVD_EXPORT int rz_MFPlusL0_WritePerso(int h, unsigned char *value, unsigned short address);
QVD_EXPORT int rz_MFPlusL0_CommitPerso(int h);
QVD_EXPORT int rz_MFPlusL1_AuthenKeyL1(int h, unsigned char *key);
QVD_EXPORT int rz_MFPlusL1_SwitchToL2(int h, unsigned char *key);
QVD_EXPORT int rz_MFPlusL1_SwitchToL3(int h, unsigned char *key);
QVD_EXPORT int rz_MFPlusL2_SwitchToL3(int h, unsigned char *key);
QVD_EXPORT int rz_MFPlusL3_AuthenL3Key(int h, unsigned char *key, unsigned short keyNumber);
QVD_EXPORT int rz_MFPlusL3_AuthenSectorKey(int h, unsigned char mode, unsigned char sector, unsigned char *key);
QVD_EXPORT int rz_MFPlusL3_ReadWithPlain(int h, unsigned short block, unsigned char count, unsigned char *data);
QVD_EXPORT int rz_MFPlusL3_WriteWithPlain(int h, unsigned short block, unsigned char count, unsigned char *data);
QVD_EXPORT int rz_MFPlusL3_ReadWithEncrypt(int h, unsigned short block, unsigned char count, unsigned char *data);
QVD_EXPORT int rz_MFPlusL3_WriteWithEncrypt(int h, unsigned short block, unsigned char count, unsigned char *data);
QVD_EXPORT int rz_MFPlusL3_UpdateKey(int h, unsigned short keyNumber, unsigned char *key);
QVD_EXPORT int rz_MFPlusL3_InitVal(int h, unsigned char block, int value);
QVD_EXPORT int rz_MFPlusL3_ReadVal(int h, unsigned char block, int *value);
QVD_EXPORT int rz_MFPlusL3_Increment(int h, unsigned char block, int value);
QVD_EXPORT int rz_MFPlusL3_Decrement(int h, unsigned char block, int value);

/* ISO 15693 */
QVD_EXPORT int rz_inventory(int h, unsigned char flags, unsigned char afi, unsigned char maskLength,
                            unsigned char *reply, unsigned char *uid);
QVD_EXPORT int rz_get_systeminfo(int h, unsigned char flags, unsigned char *uid, unsigned char *length,
                                 unsigned char *reply);
QVD_EXPORT int rz_readblock(int h, unsigned char flags, unsigned char block, unsigned char count, unsigned char *uid,
                            unsigned char *length, unsigned char *data);
QVD_EXPORT int rz_writeblock(int h, unsigned char flags, unsigned char block, unsigned char count, unsigned char *uid,
                             unsigned char length, unsigned char *data);
QVD_EXPORT int rz_lock_block(int h, unsigned char flags, unsigned char block, unsigned char *uid);
QVD_EXPORT int rz_write_afi(int h, unsigned char flags, unsigned char afi, unsigned char *uid);
QVD_EXPORT int rz_lock_afi(int h, unsigned char flags, unsigned char afi, unsigned char *uid);
QVD_EXPORT int rz_write_dsfid(int h, unsigned char flags, unsigned char dsfid, unsigned char *uid);
QVD_EXPORT int rz_lock_dsfid(int h, unsigned char flags, unsigned char dsfid, unsigned char *uid);
QVD_EXPORT int rz_get_securityinfo(int h, unsigned char flags, unsigned char block, unsigned char count,
                                   unsigned char *uid, unsigned char *length, unsigned char *reply);
QVD_EXPORT int rz_reset_to_ready(int h, unsigned char flags, unsigned char *uid);
QVD_EXPORT int rz_select_uid(int h, unsigned char flags, unsigned char *uid);
QVD_EXPORT int rz_stay_quiet(int h, unsigned char flags, unsigned char *uid);

/* AT88RF020 */
QVD_EXPORT int rz_check_at(int h, unsigned char mode, unsigned char *password);
QVD_EXPORT int rz_changekey_at(int h, unsigned char *password);
QVD_EXPORT int rz_CommandLink_at(int h, unsigned char *command, unsigned char length, unsigned char *reply,
                                 unsigned char *replyLength);
QVD_EXPORT int rz_read_at(int h, unsigned char page, unsigned char *password, unsigned char *data);
QVD_EXPORT int rz_write_at(int h, unsigned char page, unsigned char *data);
QVD_EXPORT int rz_lock_at(int h, unsigned char mode, unsigned char *password);
QVD_EXPORT int rz_count_at(int h, unsigned char mode, unsigned char *password);
QVD_EXPORT int rz_halt_at(int h, unsigned char mode, unsigned char *password);

/* SLE4442 */
QVD_EXPORT int rz_cntReadError_4442(int h, unsigned char *errorCounter);
QVD_EXPORT int rz_authentikey_4442(int h, unsigned char zone, unsigned char length, unsigned char *psc);
QVD_EXPORT int rz_changkey_4442(int h, unsigned char zone, unsigned char length, unsigned char *psc);
QVD_EXPORT int rz_read_4442(int h, int address, unsigned char *data, int length);
QVD_EXPORT int rz_write_4442(int h, int address, unsigned char *data, int length);
QVD_EXPORT int rz_getProtectData_4442(int h, int address, unsigned char *data, int length);
QVD_EXPORT int rz_setProtectData_4442(int h, int address, unsigned char *data, int length);

/* SLE4428 */
QVD_EXPORT int rz_authentikey_4428(int h, unsigned char *psc);
QVD_EXPORT int rz_changkey_4428(int h, unsigned char *psc);
QVD_EXPORT int rz_read_4428(int h, int address, unsigned char *data, int length);
QVD_EXPORT int rz_write_4428(int h, int address, unsigned char *data, int length);
QVD_EXPORT int rz_getProtectData_4428(int h, int address, unsigned char *data, int length);
QVD_EXPORT int rz_setProtectData_4428(int h, int address, unsigned char *data, int length);

/* AT24C64 */
QVD_EXPORT int rz_check_24c64(int h);
QVD_EXPORT int rz_read_24c64(int h, int address, int length, unsigned char *data);
QVD_EXPORT int rz_write_24c64(int h, int address, int length, unsigned char *data);

/* Contact CPU card and SAM slots */
QVD_EXPORT int rz_setcpu(int h, unsigned char slot);
QVD_EXPORT int rz_cpureset(int h, unsigned char *length, unsigned char *answer);
QVD_EXPORT int rz_setcpupara(int h, unsigned char slot, unsigned char protocol, unsigned char etu);
QVD_EXPORT int rz_cpuapdu(int h, int length, unsigned char *command, unsigned char *replyLength, unsigned char *reply);
QVD_EXPORT int rz_cpudown(int h, unsigned char slot);

/* Reader peripherals */
QVD_EXPORT int rz_ctl_mode(int h, unsigned char mode);
QVD_EXPORT int rz_disp_mode(int h, unsigned char mode);
QVD_EXPORT int rz_settime(int h, unsigned char *clock);
QVD_EXPORT int rz_LED_disp8(int h, unsigned char length, unsigned char *pattern);
QVD_EXPORT int rz_lcd_setbright(int h, unsigned char brightness);
QVD_EXPORT int rz_lcd_dispstr(int h, char *text);
QVD_EXPORT int rz_lcd_dispclear(int h);
QVD_EXPORT int rz_srd_eeprom(int h, int offset, int length, unsigned char *data);
QVD_EXPORT int rz_swr_eeprom(int h, int offset, int length, unsigned char *data);

/* Utilities, no reader needed */
QVD_EXPORT int rz_des(char *keyHex, char *dataHex, char *resultHex, int encrypt);
QVD_EXPORT int a_hex(unsigned char *bytes, char *text, int count);
QVD_EXPORT int hex_a(char *text, unsigned char *bytes, int digits);

#ifdef __cplusplus
}
#endif

/* Every entry point by name, for the tables and tools that treat them alike. */
#define QVD_FOR_EACH_ENTRY_POINT(X)                                                                                    \
    X(rz_init)                                                                                                         \
    X(rz_exit)                                                                                                         \
    X(rz_getver) X(rz_beep) X(rz_config_card) X(rz_reset) X(rz_request) X(rz_card) X(rz_anticoll) X(rz_select) X(      \
        rz_anticoll2) X(rz_select2) X(rz_halt) X(rz_load_key) X(rz_authentication) X(rz_read) X(rz_write)              \
        X(rz_read_S70) X(rz_write_S70) X(rz_initval) X(rz_readval) X(rz_increment) X(rz_decrement) X(rz_transfer) X(   \
            rz_restore) X(rz_changeb3) X(rz_read_SerialNumberID) X(rz_request_ultralt) X(rz_anticall_ultralt)          \
            X(rz_select_ultralt) X(rz_read_ultralt) X(rz_write_ultralt) X(rz_halt_ultralt) X(rz_ultralt_C_authen) X(   \
                rz_ultralt_C_setSafePage) X(rz_ultralt_C_lockPage) X(rz_ultralt_C_changePwd) X(rz_pro_reset)           \
                X(rz_pro_commandlink) X(rz_request_b) X(rz_attrib) X(rz_reset_mifarepro) X(rz_apdu_mifarepro) X(       \
                    rz_halt_mifarepro) X(rz_MFPlusL0_WritePerso) X(rz_MFPlusL0_CommitPerso) X(rz_MFPlusL1_AuthenKeyL1) \
                    X(rz_MFPlusL1_SwitchToL2) X(rz_MFPlusL1_SwitchToL3) X(rz_MFPlusL2_SwitchToL3)                      \
                        X(rz_MFPlusL3_AuthenL3Key) X(rz_MFPlusL3_AuthenSectorKey) X(rz_MFPlusL3_ReadWithPlain) X(      \
                            rz_MFPlusL3_WriteWithPlain) X(rz_MFPlusL3_ReadWithEncrypt) X(rz_MFPlusL3_WriteWithEncrypt) \
                            X(rz_MFPlusL3_UpdateKey) X(rz_MFPlusL3_InitVal) X(rz_MFPlusL3_ReadVal) X(                  \
                                rz_MFPlusL3_Increment) X(rz_MFPlusL3_Decrement) X(rz_inventory) X(rz_get_systeminfo)   \
                                X(rz_readblock) X(rz_writeblock) X(rz_lock_block) X(rz_write_afi) X(rz_lock_afi) X(    \
                                    rz_write_dsfid) X(rz_lock_dsfid) X(rz_get_securityinfo) X(rz_reset_to_ready)       \
                                    X(rz_select_uid) X(rz_stay_quiet) X(rz_check_at) X(rz_changekey_at) X(             \
                                        rz_CommandLink_at) X(rz_read_at) X(rz_write_at) X(rz_lock_at) X(rz_count_at)   \
                                        X(rz_halt_at) X(rz_cntReadError_4442) X(rz_authentikey_4442) X(                \
                                            rz_changkey_4442) X(rz_read_4442) X(rz_write_4442)                         \
                                            X(rz_getProtectData_4442) X(rz_setProtectData_4442) X(rz_authentikey_4428) \
                                                X(rz_changkey_4428) X(rz_read_4428) X(rz_write_4428)                   \
                                                    X(rz_getProtectData_4428) X(rz_setProtectData_4428)                \
                                                        X(rz_check_24c64) X(rz_read_24c64) X(rz_write_24c64)           \
                                                            X(rz_setcpu) X(rz_cpureset) X(rz_setcpupara) X(rz_cpuapdu) \
                                                                X(rz_cpudown) X(rz_ctl_mode) X(rz_disp_mode)           \
                                                                    X(rz_settime) X(rz_LED_disp8) X(rz_lcd_setbright)  \
                                                                        X(rz_lcd_dispstr) X(rz_lcd_dispclear)          \
                                                                            X(rz_srd_eeprom) X(rz_swr_eeprom)          \
                                                                                X(rz_des) X(a_hex) X(hex_a)

/* A function-pointer type for each entry point: PFN_rz_read and so on. */
#ifdef __cplusplus
#define QVD_DECLARE_PFN(name) typedef decltype(&::name) PFN_##name;
QVD_FOR_EACH_ENTRY_POINT(QVD_DECLARE_PFN)
#undef QVD_DECLARE_PFN
#endif

#endif /* QVD_API_H */
