#pragma once

// A zip archive built in memory from members whose content is already packed: the reader's test and the
// .xlsx fuzz target make their packages with it. Header-only, so the fuzz target includes it by path.
#include <QByteArray>
#include <QList>

#include <functional>

#include <zlib.h>

namespace zip_builder
{

// One member as it goes into the archive: `data` is stored as given, `size` is the unpacked size the headers state.
struct Entry {
    QByteArray name;
    QByteArray data;
    quint32 crc = 0;
    quint32 size = 0;
    bool deflated = false;
};

inline void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

inline void put32(QByteArray &b, quint32 v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A member kept uncompressed.
inline Entry stored(const QByteArray &name, const QByteArray &data)
{
    const quint32 crc = crc32(0, reinterpret_cast<const Bytef *>(data.constData()), static_cast<uInt>(data.size()));
    return {name, data, crc, static_cast<quint32>(data.size()), false};
}

// Hands a member's content over in pieces, so a member of hundreds of megabytes is never held whole.
using Producer = std::function<void(const std::function<void(const QByteArray &)> &)>;

// A member deflated at `level` from the pieces `produce` hands over.
inline Entry deflated(const QByteArray &name, const Producer &produce, int level = 6)
{
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray packed;
    quint32 crc = crc32(0, nullptr, 0);
    quint32 size = 0;
    char buffer[65536];
    const auto feed = [&](const QByteArray &piece, int flush) {
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.constData()));
        z.avail_in = static_cast<uInt>(piece.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            packed.append(buffer, int(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
    };
    produce([&](const QByteArray &piece) {
        crc = crc32(crc, reinterpret_cast<const Bytef *>(piece.constData()), static_cast<uInt>(piece.size()));
        size += static_cast<quint32>(piece.size());
        feed(piece, Z_NO_FLUSH);
    });
    feed(QByteArray(), Z_FINISH);
    deflateEnd(&z);
    return {name, packed, crc, size, true};
}

// The fields the local and the central header share, from the version needed on.
inline void put_common_header(QByteArray &b, const Entry &e)
{
    put16(b, e.deflated ? 20 : 10);
    put16(b, 0);
    put16(b, e.deflated ? 8 : 0);
    put32(b, 0);
    put32(b, e.crc);
    put32(b, static_cast<quint32>(e.data.size()));
    put32(b, e.size);
    put16(b, static_cast<quint16>(e.name.size()));
    put16(b, 0);
}

inline QByteArray archive(const QList<Entry> &entries)
{
    QByteArray out;
    QByteArray central;
    for (const Entry &e : entries) {
        const quint32 offset = static_cast<quint32>(out.size());
        QByteArray local;
        put32(local, 0x04034b50);
        put_common_header(local, e);
        out += local + e.name + e.data;
        put32(central, 0x02014b50);
        put16(central, e.deflated ? 20 : 10);
        put_common_header(central, e);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        central += e.name;
    }
    QByteArray end;
    put32(end, 0x06054b50);
    put16(end, 0);
    put16(end, 0);
    put16(end, static_cast<quint16>(entries.size()));
    put16(end, static_cast<quint16>(entries.size()));
    put32(end, static_cast<quint32>(central.size()));
    put32(end, static_cast<quint32>(out.size()));
    put16(end, 0);
    return out + central + end;
}

} // namespace zip_builder
