#pragma once

// Test helper: builds skin files byte by byte, so that tests can also break every field.

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

// Builds skin files byte by byte, so that tests can also break every field.
struct SkinBuilder {
    struct Record {
        QByteArray Name;
        int Kind;
        QByteArray Data;
        // Overrides for malformed files; INT32_MIN means "use the computed value".
        int64_t DataOffset = INT32_MIN;
        int64_t DataSize = INT32_MIN;
        int64_t Next = INT32_MIN;
    };
    QByteArray Magic = QByteArray("DERUvaz_TB\0\0", 12);
    int32_t HeaderSize = 24;
    int64_t FirstOffset = INT32_MIN;
    std::vector<Record> Records;

    SkinBuilder& Add(const char* name, int kind, const QByteArray& data)
    {
        Records.push_back({name, kind, data});
        return *this;
    }
    SkinBuilder& AddInt(const char* name, int32_t v)
    {
        QByteArray d(4, 0);
        qToLittleEndian<qint32>(v, d.data());
        return Add(name, 1, d);
    }
    SkinBuilder& AddBool(const char* name, uint8_t v) { return Add(name, 2, QByteArray(1, char(v))); }

    // Layout: header, records in order, the closing dummy record, then the values.
    QByteArray Build() const
    {
        const int n = int(Records.size());
        const int valuesAt = 24 + 77 * (n + 1);
        QByteArray out = Magic.left(12);
        out.append(QByteArray(24 - out.size(), 0));
        qToLittleEndian<qint32>(HeaderSize, out.data() + 12);
        qToLittleEndian<qint32>(int32_t(FirstOffset != INT32_MIN ? FirstOffset : 24), out.data() + 20);
        QByteArray values;
        for (int i = 0; i <= n; ++i) {
            QByteArray rec(77, 0);
            if (i < n) {
                const Record& r = Records[size_t(i)];
                std::memcpy(rec.data(), r.Name.constData(), size_t(std::min<qsizetype>(r.Name.size(), 64)));
                rec[64] = char(r.Kind);
                const int64_t off = r.DataOffset != INT32_MIN ? r.DataOffset : valuesAt + values.size();
                const int64_t size = r.DataSize != INT32_MIN ? r.DataSize : r.Data.size();
                const int64_t next = r.Next != INT32_MIN ? r.Next : 24 + 77 * (i + 1);
                qToLittleEndian<qint32>(int32_t(off), rec.data() + 65);
                qToLittleEndian<qint32>(int32_t(size), rec.data() + 69);
                qToLittleEndian<qint32>(int32_t(next), rec.data() + 73);
                values.append(r.Data);
            } else {
                std::memcpy(rec.data(), "End", 3);
            }
            out.append(rec);
        }
        return out + values;
    }
};

