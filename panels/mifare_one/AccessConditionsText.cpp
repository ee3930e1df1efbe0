#include "panels/mifare_one/AccessConditionsText.h"

#include "dump/AccessConditions.h"

#include <QStringList>

namespace t7::mifare
{
namespace
{

QString shortKeys(dump::Keys keys)
{
    switch (keys) {
    case dump::Keys::A:
        return QStringLiteral("A");
    case dump::Keys::B:
        return QStringLiteral("B");
    case dump::Keys::Either:
        return QStringLiteral("A|B");
    case dump::Keys::None:
        break;
    }
    return QStringLiteral("-");
}

QString spokenKeys(dump::Keys keys)
{
    switch (keys) {
    case dump::Keys::A:
        return QStringLiteral("with key A");
    case dump::Keys::B:
        return QStringLiteral("with key B");
    case dump::Keys::Either:
        return QStringLiteral("with key A or B");
    case dump::Keys::None:
        break;
    }
    return QStringLiteral("never");
}

QString bitsText(int bits)
{
    return QStringLiteral("%1").arg(bits, 3, 2, QLatin1Char('0'));
}

QString groupName(int group, bool largeSector)
{
    if (!largeSector)
        return QStringLiteral("Block %1").arg(group);
    return QStringLiteral("Blocks %1-%2").arg(5 * group).arg(5 * group + 4);
}

QString row(const QStringList &cells, int firstWidth)
{
    QString line = cells.first().leftJustified(firstWidth);
    for (int i = 1; i < cells.size(); ++i)
        line += cells[i].leftJustified(i + 1 < cells.size() ? 6 : 0);
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    return line;
}

} // namespace

QString lockingControlWordWarning()
{
    return QStringLiteral("The inverted copies do not match: this Control Word locks the sector for good.");
}

AccessConditionsText describeControlWord(const unsigned char *controlWord, bool largeSector)
{
    AccessConditionsText text;
    const dump::DecodedAccess access = dump::decodeAccessBytes(controlWord);
    if (!access.valid) {
        text.locksSector = true;
        text.sentences = lockingControlWordWarning();
        // Narrow enough to stand beside the fields.
        text.table = QString(text.sentences).replace(QStringLiteral(": "), QStringLiteral(":\n"));
        return text;
    }
    const int width = largeSector ? 14 : 9;
    QStringList table{row({QString(), QStringLiteral("bits"), QStringLiteral("read"), QStringLiteral("write"),
                           QStringLiteral("incr"), QStringLiteral("decr")},
                          width)};
    QStringList sentences;
    for (int g = 0; g < 3; ++g) {
        const dump::DataBlockAccess d = dump::dataBlockAccess(access.bits[g]);
        const QString name = groupName(g, largeSector);
        table << row({name, bitsText(access.bits[g]), shortKeys(d.read), shortKeys(d.write), shortKeys(d.increment),
                      shortKeys(d.decrementTransferRestore)},
                     width);
        sentences << QStringLiteral("%1: read %2, write %3, increment %4, decrement %5.")
                         .arg(name, spokenKeys(d.read), spokenKeys(d.write), spokenKeys(d.increment),
                              spokenKeys(d.decrementTransferRestore));
    }
    const dump::TrailerAccess t = dump::trailerAccess(access.bits[3]);
    table << row({QStringLiteral("Trailer"), bitsText(access.bits[3]), QStringLiteral("read"), QStringLiteral("write")},
                 width);
    table << row({QStringLiteral("  key A"), QString(), shortKeys(t.keyARead), shortKeys(t.keyAWrite)}, width);
    table << row({QStringLiteral("  access"), QString(), shortKeys(t.accessBitsRead), shortKeys(t.accessBitsWrite)},
                 width);
    table << row({QStringLiteral("  key B"), QString(), shortKeys(t.keyBRead), shortKeys(t.keyBWrite)}, width);
    sentences << QStringLiteral("Trailer: key A read %1, write %2; access bits read %3, write %4; key B read %5, "
                                "write %6.")
                     .arg(spokenKeys(t.keyARead), spokenKeys(t.keyAWrite), spokenKeys(t.accessBitsRead),
                          spokenKeys(t.accessBitsWrite), spokenKeys(t.keyBRead), spokenKeys(t.keyBWrite));
    if (dump::keyBIsData(access.bits[3])) {
        const QString note = QStringLiteral("Key B can be read: it is data and opens nothing.");
        table << note;
        sentences << note;
    }
    text.table = table.join(QLatin1Char('\n'));
    text.sentences = sentences.join(QLatin1Char(' '));
    return text;
}

} // namespace t7::mifare
