#include "panels/mifare_one/DumpTransfer.h"

#include "dump/AccessConditions.h"
#include "dump/DumpFile.h"
#include "dump/WriteBack.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/QvdLibrary.h"
#include "ui/FileChooser.h"
#include "ui/MessageSeam.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace t7::mifare
{
namespace
{

const QString kFilter = QStringLiteral("Card dumps (*.mct *.eml *.json *.mfd *.bin);;MIFARE Classic Tool (*.mct);;"
                                       "Proxmark3 (*.eml *.json);;Raw binary (*.mfd *.bin);;All files (*)");

QString fromStd(const std::string &text)
{
    return QString::fromStdString(text);
}

std::optional<dump::Format> formatOrSay(const QString &path)
{
    const auto format = dump::formatOfPath(path.toStdString());
    if (!format)
        appBox(QStringLiteral("%1 is not a dump the tool knows: use a name ending in .mct, .eml, .json, .mfd or .bin.")
                   .arg(QFileInfo(path).fileName()));
    return format;
}

QString incompleteness(const dump::CardImage &image)
{
    int unread = 0;
    int partial = 0;
    for (int b = 0; b < image.blockCount(); ++b) {
        unread += image.isUnread(b) ? 1 : 0;
        partial += !image.isUnread(b) && !image.isKnown(b) ? 1 : 0;
    }
    QStringList parts;
    if (unread > 0)
        parts << QStringLiteral("%1 blocks were not read").arg(unread);
    if (partial > 0)
        parts << QStringLiteral("%1 trailers hold keys the card does not give away").arg(partial);
    return parts.join(QStringLiteral(", and "));
}

// Yes: write the unknown bytes as 00; nothing: do not save.
std::optional<dump::UnknownBytes> unknownBytesPolicy(QWidget *owner, const dump::CardImage &image, dump::Format format)
{
    if (dump::marksUnknownBytes(format) || image.complete())
        return dump::UnknownBytes::Refuse;
    const QString asked = QStringLiteral("Not all of this card is known: %1. A %2 file cannot mark what is not "
                                         "known.\nWrite the unknown bytes as 00?")
                              .arg(incompleteness(image), QString::fromLatin1(dump::formatDescription(format)));
    if (!question(owner, asked))
        return std::nullopt;
    return dump::UnknownBytes::AsZero;
}

QString writeQuestion(const dump::WritePlan &plan, const QString &name, bool withTrailers)
{
    QString text = QStringLiteral("Write %1 blocks of %2 to the card?\n").arg(plan.blocks.size()).arg(name);
    text += withTrailers ? QStringLiteral("Block 0 is left alone. Sector trailers are written too: their keys and "
                                          "access bits replace the card's.")
                         : QStringLiteral("Block 0 and the sector trailers are left alone.");
    if (!plan.lockingTrailers.empty())
        text += QStringLiteral("\n%1 trailers are left out: their access bits would lock the sector.")
                    .arg(plan.lockingTrailers.size());
    if (plan.partialBlocks > 0)
        text += QStringLiteral("\n%1 blocks are left out: the dump knows them only in part.").arg(plan.partialBlocks);
    return text;
}

class BlockWriter
{
public:
    BlockWriter(const dump::CardImage &image, int keyMode, BlockWrite entry)
        : image_(image), keyMode_(keyMode), entry_(entry)
    {
    }

    // Sector by sector; stops when the card is gone.
    void write(const std::vector<int> &blocks)
    {
        for (auto next = blocks.begin(); next != blocks.end();) {
            const int sector = dump::sectorOfBlock(*next);
            const auto end = std::find_if(next, blocks.end(), [&](int b) { return dump::sectorOfBlock(b) != sector; });
            if (!writeSector(sector, next, end))
                return;
            next = end;
        }
    }

    void report(QWidget *owner) const
    {
        if (failures_.isEmpty()) {
            panelBox(owner, QStringLiteral("Dump written: %1 blocks.").arg(written_));
            return;
        }
        appBox(QStringLiteral("Written: %1 blocks.\nNot written: %2.").arg(written_).arg(failures_.join("; ")));
    }

private:
    using Iterator = std::vector<int>::const_iterator;

    bool writeSector(int sector, Iterator first, Iterator end)
    {
        unsigned int serial = 0;
        if (GetCardSerial(deviceHandle(), serial).isEmpty()) {
            failures_ << QStringLiteral("sector %1 and those after it (no card)").arg(sector);
            return false;
        }
        if (rz_authentication(deviceHandle(), asByte(keyMode_), asByte(sector)) != 0) {
            failures_ << QStringLiteral("sector %1 (authentication failed)").arg(sector);
            return true;
        }
        for (auto b = first; b != end; ++b) {
            unsigned char data[16];
            std::copy(image_.block(*b).begin(), image_.block(*b).end(), data);
            const int result = entry_ == BlockWrite::S70 ? rz_write_S70(deviceHandle(), asByte(*b), data)
                                                         : rz_write(deviceHandle(), asByte(*b), data);
            if (result != 0) {
                // The card may have dropped out of the sector; the next one finds it again.
                failures_ << QStringLiteral("block %1 (refused)").arg(*b);
                return true;
            }
            ++written_;
        }
        return true;
    }

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_write);
    QVD_ENTRY(lib_, rz_write_S70);
    const dump::CardImage &image_;
    int keyMode_;
    BlockWrite entry_;
    int written_ = 0;
    QStringList failures_;
};

} // namespace

DumpControls makeDumpControls(QWidget *parent)
{
    DumpControls controls;
    controls.save = new QPushButton(QStringLiteral("Save dump(&D)..."), parent);
    controls.save->setObjectName(QStringLiteral("saveDump"));
    controls.write = new QPushButton(QStringLiteral("Write dump(&L)..."), parent);
    controls.write->setObjectName(QStringLiteral("writeDump"));
    controls.withTrailers = new QCheckBox(QStringLiteral("With sector trailers(&T)"), parent);
    controls.withTrailers->setObjectName(QStringLiteral("withTrailers"));
    controls.row = new QHBoxLayout;
    controls.row->addWidget(controls.save);
    controls.row->addWidget(controls.write);
    controls.row->addWidget(controls.withTrailers);
    controls.row->addStretch();
    return controls;
}

void recordReadBlock(dump::CardImage &image, int block, const unsigned char *data, bool keyB)
{
    dump::Block bytes;
    std::copy(data, data + 16, bytes.begin());
    image.setBlock(block, bytes, dump::isTrailer(block) ? dump::revealedTrailerBytes(bytes, keyB) : dump::kWholeBlock);
}

void saveDump(QWidget *owner, const dump::CardImage &image)
{
    if (image.empty()) {
        panelBox(owner, QStringLiteral("Nothing has been read yet: read the card first."));
        return;
    }
    QString path = chooseFile(FileChoice::Save, owner, QStringLiteral("Save dump"), kFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog asked about the name typed, not about this one.
        path += QStringLiteral(".mct");
        if (QFileInfo::exists(path) && !question(owner, QStringLiteral("%1 exists already. Replace it?").arg(path)))
            return;
    }
    const auto format = formatOrSay(path);
    if (!format)
        return;
    const auto policy = unknownBytesPolicy(owner, image, *format);
    if (!policy)
        return;
    const std::string error = dump::saveDumpFile(path.toStdString(), image, *format, *policy);
    if (!error.empty()) {
        appBox(QStringLiteral("%1 was not saved: %2.").arg(path, fromStd(error)));
        return;
    }
    panelBox(owner, QStringLiteral("Dump saved: %1").arg(path));
}

void writeDump(QWidget *owner, int blockCount, bool withTrailers, int keyMode, BlockWrite entry)
{
    const QString path = chooseFile(FileChoice::Open, owner, QStringLiteral("Write dump to the card"), kFilter);
    if (path.isEmpty())
        return;
    const auto format = formatOrSay(path);
    if (!format)
        return;
    const QString name = QFileInfo(path).fileName();
    const dump::Loaded loaded = dump::loadDumpFile(path.toStdString(), *format, blockCount);
    if (!loaded.ok()) {
        appBox(QStringLiteral("%1 cannot be written back: %2. Nothing was written.").arg(name, fromStd(loaded.error)));
        return;
    }
    const dump::WritePlan plan = dump::planWriteBack(loaded.image, withTrailers);
    if (plan.blocks.empty()) {
        appBox(QStringLiteral("%1 holds no block that may be written back. Nothing was written.").arg(name));
        return;
    }
    if (!question(owner, writeQuestion(plan, name, withTrailers)))
        return;
    BlockWriter writer(loaded.image, keyMode, entry);
    writer.write(plan.blocks);
    writer.report(owner);
}

} // namespace t7::mifare
