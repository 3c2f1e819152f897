#pragma once

// The framework's streams: an abstract TStream with exact reads and writes that raise the
// framework's errors, a growable memory stream and a file stream.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class QFile;

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File open modes. Sharing flags are accepted and mean nothing on Linux.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

class TStream {
public:
    virtual ~TStream();

    // Reads up to count bytes; returns how many were read.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Moves the position; returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    // Exact transfers: a short read raises EReadError ("Stream read error"), a short write
    // EWriteError ("Stream write error").
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source at its position; count 0 copies the whole source from its
    // start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream* source, int64_t count);

    // Little-endian helpers for the binary formats of the system.
    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDWord();
    void WriteByte(uint8_t v);
    void WriteWord(uint16_t v);
    void WriteDWord(uint32_t v);
    // Reads the rest of the stream from the current position.
    QByteArray ReadAll();
};

class TMemoryStream : public TStream {
public:
    TMemoryStream();
    explicit TMemoryStream(const QByteArray& data);
    ~TMemoryStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }
    void SetSize(int64_t newSize) override;

    void Clear();
    char* Memory() { return data_.data(); }
    const char* Memory() const { return data_.constData(); }
    // The stream's bytes (a copy of the used part).
    QByteArray Bytes() const { return data_.left(static_cast<qsizetype>(size_)); }

    void LoadFromStream(TStream* source);
    void SaveToStream(TStream* dest) const;
    // Raises EFOpenError when the file cannot be read.
    void LoadFromFile(const QString& fileName);
    // Replaces the file atomically: a failed save leaves any old file untouched. Raises
    // EFCreateError when it cannot be written.
    void SaveToFile(const QString& fileName) const;

private:
    QByteArray data_;
    int64_t size_ = 0;
    int64_t pos_ = 0;
};

class TFileStream : public TStream {
public:
    // Raises EFOpenError (or EFCreateError with fmCreate) when the file cannot be opened.
    TFileStream(const QString& fileName, uint16_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t newSize) override;

    const QString& FileName() const { return fileName_; }

private:
    QString fileName_;
    std::unique_ptr<QFile> file_;
};
