// Packs a skin file (".sui") from a text manifest.
//
//   suipack MANIFEST PICTURE_DIR OUTPUT.sui
//
// Each manifest line is "Name kind value" with kind image (a BMP file in PICTURE_DIR), int
// (decimal or 0x hex; colours as 0x00BBGGRR), bool (0 or 1) or string (the rest of the line);
// blank lines and lines starting with # are skipped.
//
// Layout: the 24-byte header, the item records in manifest order, one closing record (readers
// never store the record that ends the chain), then the values in the same order.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <vector>

namespace {

constexpr int HeaderSize = 24;
constexpr int RecordSize = 77;

struct Item {
    QByteArray Name;
    uint8_t Kind;
    QByteArray Data;
};

void Put32(char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray Int32(int64_t v)
{
    QByteArray b(4, 0);
    Put32(b.data(), uint32_t(v));
    return b;
}

bool Fail(const QString& text)
{
    std::fprintf(stderr, "suipack: %s\n", qPrintable(text));
    return false;
}

bool ParseManifest(const QString& path, const QString& pictureDir, std::vector<Item>& items)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return Fail("cannot read " + path);
    int lineNo = 0;
    while (!f.atEnd()) {
        ++lineNo;
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() < 3)
            return Fail(QString("%1:%2: expected name, kind and value").arg(path).arg(lineNo));
        const QByteArray name = parts[0].toLatin1();
        if (name.size() > 64)
            return Fail(QString("%1:%2: name longer than 64 characters").arg(path).arg(lineNo));
        const QString kind = parts[1], value = parts[2];
        bool ok = true;
        if (kind == "image") {
            QFile pic(QDir(pictureDir).filePath(value));
            if (!pic.open(QIODevice::ReadOnly))
                return Fail("cannot read picture " + pic.fileName());
            items.push_back({name, 0, pic.readAll()});
        } else if (kind == "int") {
            const qlonglong v = value.startsWith("0x") ? value.mid(2).toLongLong(&ok, 16) : value.toLongLong(&ok);
            items.push_back({name, 1, Int32(v)});
        } else if (kind == "bool") {
            ok = value == "0" || value == "1";
            items.push_back({name, 2, QByteArray(1, char(value == "1"))});
        } else if (kind == "string") {
            items.push_back({name, 3, line.section(' ', 2, -1, QString::SectionSkipEmpty).toLatin1()});
        } else {
            ok = false;
        }
        if (!ok)
            return Fail(QString("%1:%2: bad %3 value").arg(path).arg(lineNo).arg(kind));
    }
    return true;
}

QByteArray Pack(const std::vector<Item>& items)
{
    const int records = int(items.size()) + 1;
    QByteArray out(HeaderSize + RecordSize * records, 0);
    std::memcpy(out.data(), "DERUvaz_TB", 10);
    Put32(out.data() + 12, HeaderSize);
    Put32(out.data() + 20, HeaderSize);
    int64_t valueAt = out.size();
    for (int i = 0; i < records; ++i) {
        char* rec = out.data() + HeaderSize + RecordSize * i;
        if (i == records - 1) {
            std::memcpy(rec, "EndOfSkin", 9);
            rec[64] = 3;
            break; // offsets and the next link stay 0
        }
        const Item& it = items[size_t(i)];
        std::memcpy(rec, it.Name.constData(), size_t(it.Name.size()));
        rec[64] = char(it.Kind);
        Put32(rec + 65, uint32_t(valueAt));
        Put32(rec + 69, uint32_t(it.Data.size()));
        Put32(rec + 73, uint32_t(HeaderSize + RecordSize * (i + 1)));
        valueAt += it.Data.size();
    }
    for (const Item& it : items)
        out.append(it.Data);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: suipack MANIFEST PICTURE_DIR OUTPUT.sui\n");
        return 2;
    }
    std::vector<Item> items;
    if (!ParseManifest(args[1], args[2], items))
        return 1;
    const QByteArray bytes = Pack(items);
    QFile old(args[3]);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return 0;
    old.close();
    QDir().mkpath(QFileInfo(args[3]).path());
    QFile f(args[3]);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return Fail("cannot write " + args[3]) ? 0 : 1;
    return 0;
}
