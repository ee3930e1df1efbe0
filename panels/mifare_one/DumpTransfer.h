// Dump files from the whole-card and S70 quick panels: saving what was read
// and writing a dump back to the card, with every question and report.
#pragma once

#include "dump/CardImage.h"

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace t7::mifare
{

// "Save dump(&D)...", "Write dump(&L)..." and "With sector trailers(&T)", in a row.
struct DumpControls {
    QPushButton *save = nullptr;
    QPushButton *write = nullptr;
    QCheckBox *withTrailers = nullptr;
    QHBoxLayout *row = nullptr;
};
DumpControls makeDumpControls(QWidget *parent);

// Which entry point writes a block.
enum class BlockWrite { Plain, S70 };

// Asks for a file name and saves the image there; the extension decides
// the format (none: .mct). A format that cannot mark unknown bytes asks
// first whether to write them as 00.
void saveDump(QWidget *owner, const dump::CardImage &image);

// Asks for a dump of blockCount blocks and, after a Yes to what it holds,
// writes it to the card with keyMode, sector by sector: never block 0, the
// trailers only withTrailers. A refused file writes nothing.
void writeDump(QWidget *owner, int blockCount, bool withTrailers, int keyMode, BlockWrite entry);

// A block as a read gave it: a trailer keeps only the bytes the card
// reveals to that key (key A never; key B and access bits as they allow).
void recordReadBlock(dump::CardImage &image, int block, const unsigned char *data, bool keyB);

} // namespace t7::mifare
