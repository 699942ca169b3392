// What the settings file tests share: the file a save must give, the setup writes a restore
// sends and the image they leave, the fibre channel conversion table, random contents.
#pragma once

#include "simfixture.h"
#include "setuptable.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>

#include <algorithm>
#include <random>

namespace romcfgtest {

using simtest::Bytes;
using simtest::LogEntry;
using simtest::configOf;
using simtest::entries;

constexpr int kSmall = 40960;
constexpr int kLarge = 98368;
constexpr int kRecord = 64;
constexpr int kIdentifyBytes = 48;

// The fields a saved file zeroes and a restore never writes: id, then offset and length.
struct Private {
    int id;
    int offset[4];
    int length;
};
inline const Private kPrivate[] = {
    {20, {72, 72, 72, 72}, 1},
    {21, {73, 73, 73, 73}, 15},
    {22, {88, 88, 88, 88}, 16},
    {28, {120, 120, 120, 120}, 4},
    {31, {144, 144, 144, 144}, 6},
    {76, {752, 3948, 21868, 86764}, 16},
};

inline bool isPrivate(int id)
{
    for (const Private& p : kPrivate)
        if (p.id == id)
            return true;
    return false;
}

inline QByteArray bytesOf(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size()));
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The file a save of `ctl` must give.
inline QByteArray expectedFile(const zynsim::FakeController& ctl)
{
    const int layout = ctl.setupLayout();
    const int size = layout == 3 ? kLarge : kSmall;
    QByteArray file(size, '\0');
    const QByteArray image = bytesOf(ctl.setupImage());
    file.replace(0, image.size(), image);
    file.resize(size);
    file.replace(size - kRecord, kRecord, bytesOf(ctl.identifyString()).left(kIdentifyBytes) + QByteArray(16, '\0'));
    for (const Private& p : kPrivate)
        file.replace(p.offset[layout], p.length, QByteArray(p.length, '\0'));
    return file;
}

// The setup-data writes the controller received: offset and length of each 'B' or 'A' piece.
using Piece = QPair<int, int>;
inline QList<Piece> setupWrites(const zynsim::FakeController& ctl)
{
    QList<Piece> out;
    for (const LogEntry& e : entries(ctl, LogEntry::RxFrame, 0x1F)) {
        if (e.bytes.size() < 17)
            continue;
        if (e.bytes[9] == 0x42)
            out << Piece(int(e.bytes[11] | e.bytes[12] << 8 | e.bytes[13] << 16 | e.bytes[14] << 24),
                         int(e.bytes[15] | e.bytes[16] << 8));
        else if (e.bytes[9] == 0x41)
            out << Piece(int(e.bytes[11] | e.bytes[12] << 8), e.bytes[13] == 0 ? 512 : int(e.bytes[13]));
    }
    return out;
}

// Every field of the layout but the private ones, in id order, in pieces of at most 512 bytes.
inline QList<Piece> restoredPieces(int layout)
{
    QList<Piece> out;
    for (int id = 0; id < kSetupTableRows; ++id) {
        const CFieldInfo* f = gettablefieldinfo(u8(layout), u32(id));
        if (isPrivate(id) || f == nullptr || f->offset < 0)
            continue;
        for (int64_t done = 0; done < f->length; done += 512)
            out << Piece(int(f->offset + done), int(std::min<int64_t>(512, f->length - done)));
    }
    return out;
}

// The image a restore must leave: `before`, with every restored field taken from `source`.
inline QByteArray restoredImage(const QByteArray& before, const QByteArray& source, int layout)
{
    QByteArray image = before;
    for (const Piece& p : restoredPieces(layout))
        image.replace(p.first, p.second, source.mid(p.first, p.second));
    return image;
}

// The setup writes of a restore whose long writes the controller refuses: each field's first
// long piece, then the field again in the short form (pieces of 512, a rest of 256-511 bytes as
// 255 and the remainder), up to the field `stopId`, of which only the refused piece goes.
inline QList<Piece> refusedLongPieces(int layout, int stopId)
{
    QList<Piece> out;
    for (int id = 0; id < kSetupTableRows; ++id) {
        const CFieldInfo* f = gettablefieldinfo(u8(layout), u32(id));
        if (isPrivate(id) || f == nullptr || f->offset < 0)
            continue;
        out << Piece(int(f->offset), int(std::min<int64_t>(512, f->length)));
        if (id == stopId)
            break;
        for (int64_t done = 0; done < f->length;) {
            int64_t piece = std::min<int64_t>(512, f->length - done);
            if (piece < 512 && piece > 255)
                piece = 255;
            out << Piece(int(f->offset + done), int(piece));
            done += piece;
        }
    }
    return out;
}

// The image such a restore leaves: `before`, with the fields written again before `stopId`
// taken from `source`.
inline QByteArray refusedLongImage(const QByteArray& before, const QByteArray& source, int layout, int stopId)
{
    QByteArray image = before;
    for (int id = 0; id < kSetupTableRows; ++id) {
        const CFieldInfo* f = gettablefieldinfo(u8(layout), u32(id));
        if (isPrivate(id) || f == nullptr || f->offset < 0)
            continue;
        if (id == stopId)
            break;
        image.replace(int(f->offset), int(f->length), source.mid(int(f->offset), int(f->length)));
    }
    return image;
}

// The layout-3 image of a small file, as the conversion table gives it.
inline QByteArray converted(const QByteArray& file)
{
    QByteArray image(kLarge - kRecord, '\0');
    image.replace(0, 644, file.mid(0, 644));
    image.replace(644, 640, file.mid(644, 640));
    for (int k = 0; k < 32; ++k)
        for (int q = 0; q < 4; ++q)
            image.replace(4740 + 2560 * k + 640 * q, 160, file.mid(1284 + 640 * k + 160 * q, 160));
    image.replace(86660, 11004, file.mid(21764, 11004));
    return image;
}

inline QByteArray pattern(int size, uint32_t seed)
{
    std::mt19937 random(seed);
    QByteArray out(size, '\0');
    for (char& c : out)
        c = char(random() & 0xFF);
    return out;
}

inline zynsim::ControllerConfig layoutConfig(int layout)
{
    return configOf(zynsim::Profile::Enclosure, layout);
}

// The identify record of a file saved from `ctl`.
inline QByteArray identityOf(const zynsim::FakeController& ctl)
{
    return bytesOf(ctl.identifyString()).left(kIdentifyBytes) + QByteArray(16, '\0');
}

} // namespace romcfgtest
