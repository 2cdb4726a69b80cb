#pragma once
// The painting file: a PaintingSnapshot as one CBOR item (RFC 8949) whose large members are
// zlib-compressed (qCompress) arrays. docs/painting-format.md describes format 1 member by
// member; the CBOR parser and the zlib inflater are Qt's.
//
// Reading checks before it allocates: the magic member, the format version, the presence and
// type of every member, counts and sizes against the limits below and against the sizes the
// compressed arrays declare, and every number against its range. Anything amiss gives a
// message and no snapshot; a caller that decodes first and restores afterwards leaves its
// canvas untouched by a bad file.
// Writing is atomic: the file is written under a temporary name and renamed over the target
// only when complete (QSaveFile), so a crash while saving leaves the previous file whole.

#include "canvas/PaintingSnapshot.h"

#include <QByteArray>
#include <QString>

namespace painting {

constexpr int kFormatVersion = 1;
// The value of the "format" member, the file's magic.
extern const char* const kFormatName;
// The suffix the program gives painting files.
extern const char* const kSuffix;

// Limits a file must keep: field cells (as large as the largest canvas the builder makes),
// primitives, points of one drawn stroke, and the file itself.
constexpr unsigned long long kMaxFieldCells = 36ull * 1024 * 1024;
// A side of the fields: twice the largest window side a configuration allows. A field holding
// one value everywhere is kept as shared bands of 64 rows, so a longer side would let a file of
// a few hundred bytes claim gigabytes.
constexpr unsigned long long kMaxFieldSide = 32768;
constexpr unsigned long long kMaxPrimitives = 1000000;
constexpr unsigned long long kMaxPolylinePoints = 100000;
constexpr long long kMaxFileBytes = 1024ll * 1024 * 1024;

// The snapshot as file contents. level: zlib level (1 fast … 9 small).
QByteArray encode(const PaintingSnapshot& snapshot, int level = 1);
// File contents to a snapshot; false with the reason in `error` (a phrase such as "it is not a
// painting file") when they are not a readable painting of this format.
bool decode(const QByteArray& data, PaintingSnapshot* snapshot, QString* error);

// Writes the file atomically; false with a whole message in `error`:
// Cannot save the painting "<path>": <reason>.
bool save(const PaintingSnapshot& snapshot, const QString& path, QString* error);
// Reads and decodes a file; false with a whole message in `error`:
// Cannot open the painting "<path>": <reason>.
bool load(const QString& path, PaintingSnapshot* snapshot, QString* error);

// load, then restore into the canvas (tools included): a file that cannot be read leaves the
// canvas as it was.
bool loadInto(const QString& path, CanvasCompositeGL& canvas, QString* error);

} // namespace painting
