#pragma once

// The images of an .ico file, read from the file (kept open, writing denied to others) when a
// handle, a copy or a drawing is asked for.

#include "imaging/icons/multi_icon.h"

#include <QString>
#include <memory>

class TFileStream;

class TFileIcon : public TMultiIcon {
public:
    // Opens the file and reads its directory. A file that cannot be opened raises the framework's
    // file-open error; a directory shorter than its count raises the read error.
    explicit TFileIcon(const QString& fileName);
    ~TFileIcon() override;

    TFileStream* Stream() const { return stream_.get(); }

    // Copies the entry's bytes from its offset; a file that ends before them raises the
    // framework's read error.
    void CopyImageData(TStream* stream, uint16_t index) override;

protected:
    int64_t SourceSize() override;
    QByteArray ReadImageBytes(uint16_t index) override;

private:
    std::unique_ptr<TFileStream> stream_;
};
