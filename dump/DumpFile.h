// Dump files other MIFARE Classic tools read and write:
//   raw binary (.mfd, .bin)  1024 or 4096 bytes, block after block;
//   Proxmark3 .eml           one block per line, 32 hexadecimal digits;
//   Proxmark3 .json          "blocks": {"0": "<32 digits>", ...} with card and key details;
//   MIFARE Classic Tool .mct "+Sector: N" followed by the sector's blocks,
//                            "-" for every byte that is not known.
// Only .mct can mark unknown bytes; the others refuse them unless told to
// write them as 00.
#pragma once

#include "dump/CardImage.h"

#include <optional>
#include <string>

namespace dump
{

enum class Format { Binary, Eml, Json, Mct };

// "bin", "mfd", "eml", "json", "mct" (either case).
std::optional<Format> formatFromName(const std::string &name);
// By the file name's extension.
std::optional<Format> formatOfPath(const std::string &path);
// "raw binary", "Proxmark3 .eml", "Proxmark3 .json", "MIFARE Classic Tool .mct".
const char *formatDescription(Format format);
bool marksUnknownBytes(Format format);

struct Loaded {
    CardImage image;
    std::string error; // empty when the file was read
    bool ok() const { return error.empty(); }
};

// blockCount 0 lets the file decide; 64 or 256 refuses a file of the other
// size (a .mct may leave sectors out: they stay unknown).
Loaded parseDump(const std::string &content, Format format, int blockCount = 0);
Loaded loadDumpFile(const std::string &path, Format format, int blockCount = 0);

enum class UnknownBytes { Refuse, AsZero };

// Nothing when the image has unknown bytes the format cannot mark and the
// policy is Refuse.
std::optional<std::string> formatDump(const CardImage &image, Format format,
                                      UnknownBytes policy = UnknownBytes::Refuse);
// Written to a temporary file beside it, then renamed over it, so a failed
// save never leaves half a dump. Returns the reason it failed, or "".
std::string saveDumpFile(const std::string &path, const CardImage &image, Format format,
                         UnknownBytes policy = UnknownBytes::Refuse);

} // namespace dump
