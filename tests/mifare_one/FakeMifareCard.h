// A Mifare card scripted on the fake reader: blocks served by rz_read and
// rz_read_S70 and changed by rz_write and rz_write_S70, plus the library's two
// hex conversions, so panel tests see real bytes go round.
#pragma once

#include "dump/Hex.h"
#include "tests/support/FakeReader.h"

#include <QString>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

namespace fake
{

using Block = std::array<unsigned char, 16>;

// The bytes a block holds before anything is written: block b, byte i = b + i.
inline Block patternBlock(int block)
{
    Block data{};
    for (int i = 0; i < 16; ++i)
        data[i] = static_cast<unsigned char>(block + i);
    return data;
}

// The text the fake's hex_a makes of patternBlock(block) (lower case).
inline QString patternText(int block)
{
    QString text;
    for (unsigned char byte : patternBlock(block))
        text += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
    return text;
}

// hex_a writes lower-case digits; a_hex refuses (1) anything but hex digits.
inline void scriptHexConversions(FakeReader &reader)
{
    FAKE_ON(reader, hex_a, [](char *text, unsigned char *bytes, int digits) {
        for (int i = 0; i < digits / 2; ++i)
            std::snprintf(text + 2 * i, 3, "%02x", bytes[i]);
        return 0;
    });
    FAKE_ON(reader, a_hex, [](unsigned char *bytes, char *text, int count) {
        for (int i = 0; i < count; ++i) {
            const int high = dump::hexDigitValue(text[2 * i]);
            const int low = dump::hexDigitValue(text[2 * i + 1]);
            if (high < 0 || low < 0)
                return 1;
            bytes[i] = static_cast<unsigned char>(high * 16 + low);
        }
        return 0;
    });
}

class FakeMifareCard
{
public:
    explicit FakeMifareCard(FakeReader &reader) : state_(std::make_shared<State>())
    {
        scriptHexConversions(reader);
        const auto state = state_;
        const auto read = [state](int, unsigned char block, unsigned char *data) {
            if (state->unreadable.count(block))
                return 1;
            const Block bytes = state->block(block);
            std::copy(bytes.begin(), bytes.end(), data);
            return 0;
        };
        const auto write = [state](int, unsigned char block, unsigned char *data) {
            if (state->unwritable.count(block))
                return 1;
            std::copy(data, data + 16, state->written[block].begin());
            return 0;
        };
        FAKE_ON(reader, rz_read, read);
        FAKE_ON(reader, rz_read_S70, read);
        FAKE_ON(reader, rz_write, write);
        FAKE_ON(reader, rz_write_S70, write);
    }

    Block block(int number) const { return state_->block(number); }
    void failReadOf(int block) { state_->unreadable.insert(block); }
    void failWriteOf(int block) { state_->unwritable.insert(block); }

private:
    struct State {
        std::map<int, Block> written;
        std::set<int> unreadable;
        std::set<int> unwritable;
        Block block(int number) const
        {
            const auto it = written.find(number);
            return it == written.end() ? patternBlock(number) : it->second;
        }
    };
    std::shared_ptr<State> state_;
};

} // namespace fake
