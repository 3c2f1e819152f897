#pragma once

// The system clipboard as the framework's TClipboard: standard formats, private formats
// registered by name (carried as private MIME types), pictures and bitmaps.

#include "framework/graphic.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QMimeData;

inline constexpr TClipFormat CF_TEXT = 1;
inline constexpr TClipFormat CF_BITMAP = 2;
inline constexpr TClipFormat CF_METAFILEPICT = 3;
inline constexpr TClipFormat CF_DIB = 8;
inline constexpr TClipFormat CF_PALETTE = 9;
inline constexpr TClipFormat CF_UNICODETEXT = 13;
inline constexpr TClipFormat CF_ENHMETAFILE = 14;
inline constexpr TClipFormat CF_HDROP = 15;

// The number of a private format, the same for the same name (compared without regard to
// case) for the whole run; numbers start at 0xC000. An empty name gives 0.
TClipFormat RegisterClipboardFormat(const QString& name);
// The registered name of a private format, or an empty text.
QString ClipboardFormatName(TClipFormat format);
// The MIME type that carries a format on the system clipboard.
QString ClipboardFormatMime(TClipFormat format);

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;

    // Between Open and Close every format set is gathered and published together; outside it
    // every set replaces the clipboard's contents. Open and Close nest.
    void Open();
    void Close();
    void Clear();

    bool HasFormat(TClipFormat format) const;
    // Raw data of a format (a packed device-independent bitmap for CF_DIB and CF_BITMAP); empty
    // when the clipboard does not hold it.
    QByteArray GetAsHandle(TClipFormat format) const;
    void SetAsHandle(TClipFormat format, const QByteArray& data);

    QString AsText() const;
    void SetAsText(const QString& text);

    // Bitmaps (with their palette), pictures and graphics go on the clipboard in their own
    // clipboard format; a bitmap also as an image for other programs.
    void Assign(TPersistent* source) override;

protected:
    // Fills a TPicture or TBitmap from the clipboard.
    void AssignTo(TPersistent* dest) override;

private:
    void Commit();
    QMimeData* Pending();

    int openCount_ = 0;
    std::unique_ptr<QMimeData> pending_;
};

// The process-wide clipboard object.
TClipboard* Clipboard();
