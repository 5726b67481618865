#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <cstring>

namespace velinor::cells {

// A snapshot keeps every row's cells packed one after another in one array:
// a tag byte, then the value. Readers walk a row's cells in column order.
enum Tag : char { TagNull = 0, TagInt = 1, TagReal = 2, TagText = 3 };

template <class T> T readRaw(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A row's cells written with one growth of the arena: the engine sums the
// sizes, extend() makes the room, the put functions fill it in order.
constexpr qsizetype nullSize = 1;
constexpr qsizetype numberSize = 1 + 8;
constexpr qsizetype textSize(quint32 len) { return 1 + 4 + qsizetype(len); }

inline char* extend(QByteArray& arena, qsizetype size)
{
    const qsizetype at = arena.size();
    if (arena.capacity() < at + size)
        arena.reserve(std::max(at + size, arena.capacity() * 2));
    arena.resize(at + size);
    return arena.data() + at;
}

inline char* putNull(char* p)
{
    *p = TagNull;
    return p + 1;
}

inline char* putInt(char* p, qint64 v)
{
    *p = TagInt;
    std::memcpy(p + 1, &v, sizeof v);
    return p + numberSize;
}

inline char* putReal(char* p, double v)
{
    *p = TagReal;
    std::memcpy(p + 1, &v, sizeof v);
    return p + numberSize;
}

inline char* putText(char* p, const char* utf8, quint32 len)
{
    *p = TagText;
    std::memcpy(p + 1, &len, sizeof len);
    if (len > 0)
        std::memcpy(p + 5, utf8, len);
    return p + textSize(len);
}

inline void appendValue(QByteArray& arena, const QVariant& v)
{
    if (v.isNull()) {
        putNull(extend(arena, nullSize));
    } else if (v.typeId() == QMetaType::LongLong) {
        putInt(extend(arena, numberSize), v.toLongLong());
    } else if (v.typeId() == QMetaType::Double) {
        putReal(extend(arena, numberSize), v.toDouble());
    } else {
        const QByteArray utf8 = v.toString().toUtf8();
        const auto len = static_cast<quint32>(utf8.size());
        putText(extend(arena, textSize(len)), utf8.constData(), len);
    }
}

// The cell of `column` in the row that starts at p.
inline QVariant read(const char* p, int column)
{
    for (int c = 0;; ++c) {
        const char tag = *p++;
        const bool wanted = c == column;
        switch (tag) {
        case TagNull:
            if (wanted)
                return QVariant();
            break;
        case TagInt:
            if (wanted)
                return QVariant(static_cast<qlonglong>(readRaw<qint64>(p)));
            p += sizeof(qint64);
            break;
        case TagReal:
            if (wanted)
                return QVariant(readRaw<double>(p));
            p += sizeof(double);
            break;
        default: {
            const auto len = readRaw<quint32>(p);
            p += sizeof len;
            if (wanted)
                return QVariant(QString::fromUtf8(p, len));
            p += len;
        }
        }
    }
}

} // namespace velinor::cells
