#include "pcsc/core/Des.h"

#include "dump/Hex.h"
#include "pcsc/core/Results.h"

#include <nettle/des.h>

namespace pcsc
{

int desHex(const char *keyHex, const char *dataHex, char *resultHex, bool encrypt)
{
    if (!resultHex)
        return kBadArgument;
    resultHex[0] = '\0';
    unsigned char key[DES_KEY_SIZE];
    unsigned char data[DES_BLOCK_SIZE];
    if (!keyHex || !dataHex || dump::hexToBytes(keyHex, key, DES_KEY_SIZE) != DES_KEY_SIZE ||
        dump::hexToBytes(dataHex, data, DES_BLOCK_SIZE) != DES_BLOCK_SIZE)
        return kBadArgument;
    // Parity bits are not part of the key; a weak key still computes.
    des_fix_parity(DES_KEY_SIZE, key, key);
    des_ctx ctx;
    des_set_key(&ctx, key);
    unsigned char out[DES_BLOCK_SIZE];
    if (encrypt)
        des_encrypt(&ctx, DES_BLOCK_SIZE, out, data);
    else
        des_decrypt(&ctx, DES_BLOCK_SIZE, out, data);
    dump::bytesToHex(out, 2 * DES_BLOCK_SIZE, resultHex);
    return kOk;
}

} // namespace pcsc
