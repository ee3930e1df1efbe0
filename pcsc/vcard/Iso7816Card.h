// A contact ISO 7816-4 card: a master file 3F00 holding one transparent
// elementary file 0001, reached by SELECT, READ BINARY and UPDATE BINARY.
#pragma once

#include "pcsc/vcard/VpcdFraming.h"

namespace vcard
{

class Iso7816Card : public VirtualCard
{
public:
    static constexpr size_t kFileSize = 128;

    Iso7816Card();
    Bytes atr() const override;
    void powerCycle() override;
    Bytes process(const Bytes &apdu) override;

private:
    Bytes select(const Bytes &apdu);
    Bytes readBinary(const Bytes &apdu) const;
    Bytes updateBinary(const Bytes &apdu);

    Bytes file_;
    bool fileSelected_ = false;
};

} // namespace vcard
