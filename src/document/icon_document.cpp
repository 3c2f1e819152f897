#include "document/icon_document.h"

#include "document/editor_state.h"
#include "document/scratch_folder.h"
#include "framework/exceptions.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <map>

namespace {

CLSID PngEncoder()
{
    static const CLSID clsid = [] {
        CLSID c;
        FindEncoderByMimeType(QStringLiteral("image/png"), &c);
        return c;
    }();
    return clsid;
}

} // namespace

int PaletteBitsOfKind(const QString& kind)
{
    if (kind == QLatin1String("256"))
        return 8;
    if (kind == QLatin1String("16"))
        return 4;
    if (kind == QLatin1String("Mono"))
        return 1;
    return 0;
}

void SetUndoControls(bool enabled)
{
    if (TEditorState* s = EditorState()) {
        s->SetControlEnabled(QStringLiteral("ToolButton5"), enabled);
        s->SetControlEnabled(QStringLiteral("Undo1"), enabled);
    }
}

void SetRedoControls(bool enabled)
{
    if (TEditorState* s = EditorState()) {
        s->SetControlEnabled(QStringLiteral("ToolButton6"), enabled);
        s->SetControlEnabled(QStringLiteral("Redo1"), enabled);
    }
}

TIconDocument::TIconDocument() = default;

TIconDocument::~TIconDocument()
{
    for (GpBitmap*& image : FormatImages) {
        GdipDisposeImage(image);
        image = nullptr;
    }
    GdipDisposeImage(EraseBaseImage);
    GdipDisposeImage(OpacityBase);
}

void TIconDocument::SetFormatImage(int f, GpBitmap* image)
{
    GpBitmap*& slot = FormatImages.at(size_t(f));
    if (slot != image)
        GdipDisposeImage(slot);
    slot = image;
}

GpBitmap* TIconDocument::NewTransparentBitmap(int width, int height)
{
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap);
    return bitmap;
}

void TIconDocument::InitFormatTable(int width, int height, const QString& kind)
{
    for (int j = 1; j <= TFormatTable::StandardFormatCount; ++j) {
        const TStandardFormat& s = StandardFormats[j - 1];
        FormatTable.SetStandardFormat(j, QString::number(s.Width), QString::number(s.Height),
                                      QLatin1String(s.Kind), false);
    }
    if (width == height && (width == 16 || width == 32 || width == 48)) {
        if (const int j = TFormatTable::StandardIndexOf(width, height, kind))
            FormatTable.SetStandardFormat(j, QString::number(width), QString::number(height), kind, true);
    }
    CurrentWidth = width;
    CurrentHeight = height;
    CurrentKind = kind;
    FormatTable.SetFormat(1, width, height, kind);
}

// ---------------------------------------------------------------------------------------------
// Colour tables

const TPaletteEntries& TIconDocument::FormatPalette(int f) const
{
    static const TPaletteEntries none;
    if (f < 1 || f > TFormatTable::MaxFormats)
        return none;
    const int bits = PaletteBitsOfKind(FormatTable.Kind(f));
    if (bits == 0)
        return none;
    const TOwnPalette& own = ownPalettes_[size_t(f)];
    return own.Bits == bits ? own.Colors : FixedPaletteForBits(bits);
}

void TIconDocument::SetFormatPalette(int f, const TPaletteEntries& colors, int bits)
{
    TOwnPalette& own = ownPalettes_.at(size_t(f));
    own = TOwnPalette();
    if ((bits == 1 || bits == 4 || bits == 8) && !colors.empty() && colors.size() <= (size_t(1) << bits)) {
        own.Bits = bits;
        for (const QRgb c : colors)
            own.Colors.push_back(c & 0xFFFFFFu);
    }
}

// ---------------------------------------------------------------------------------------------
// Cursor hot spots

QPoint TIconDocument::FormatHotSpot(int f) const
{
    if (f >= 1 && f <= TFormatTable::MaxFormats && ownHotSpots_[size_t(f)].Set)
        return ownHotSpots_[size_t(f)].At;
    return QPoint(HotSpotX, HotSpotY);
}

void TIconDocument::SetFormatHotSpot(int f, QPoint hotSpot)
{
    ownHotSpots_.at(size_t(f)) = {true, hotSpot};
}

void TIconDocument::ForgetFormatHotSpot(int f)
{
    ownHotSpots_.at(size_t(f)) = TOwnHotSpot();
}

void TIconDocument::SetCursorHotSpot(QPoint hotSpot)
{
    HotSpotX = hotSpot.x();
    HotSpotY = hotSpot.y();
    const int c = CurrentFormat();
    if (c >= 1 && c <= TFormatTable::MaxFormats)
        SetFormatHotSpot(c, hotSpot);
}

// ---------------------------------------------------------------------------------------------
// Undo history

QString TIconDocument::HistoryFolder() const
{
    const QString name = DocumentName();
    const QString folder = ScratchPath(name + QLatin1Char('/'));
    if (folder == claimedHistoryFolder_)
        return folder;
    // Whatever stands under this name was left by a document closed before this one (or by an
    // earlier run): its states must never come back through this document's Undo. Only a plain
    // name can be a history folder; a link is removed, never followed.
    const bool plainName = !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
                           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
    if (plainName)
        RemoveScratchSubfolder(folder);
    claimedHistoryFolder_ = folder;
    return folder;
}

int TIconDocument::StateFileNumber(int f, int n) const
{
    // The writers store each state's own number; the cell is empty for a base state, and holds
    // another number once old states were dropped to make room.
    const int stored = FormatTable.UndoFileNumber(f, n);
    return stored != 0 ? stored : n;
}

QString TIconDocument::StateFilePath(int f, int n) const
{
    return HistoryFolder() + QString::number(f) + QLatin1Char('_') + QString::number(StateFileNumber(f, n)) +
           QStringLiteral(".png");
}

void TIconDocument::MakeHistoryFolder() const
{
    const QString folder = HistoryFolder();
    if (QDir(folder).exists())
        return;
    if (!QDir().mkdir(folder))
        throw EInOutError(QStringLiteral("I/O error %1").arg(errno != 0 ? errno : 5));
}

void TIconDocument::SaveState(int f, int fileNumber)
{
    const CLSID png = PngEncoder();
    const QString path = HistoryFolder() + QString::number(f) + QLatin1Char('_') + QString::number(fileNumber) +
                         QStringLiteral(".png");
    GdipSaveImageToFile(FormatImages[size_t(f)], path, &png, nullptr);
}

void TIconDocument::EnsureBaseState()
{
    const int f = CurrentFormat();
    if (QFile::exists(StateFilePath(f, 1)))
        return;
    MakeHistoryFolder();
    SaveState(f, StateFileNumber(f, 1));
}

void TIconDocument::DropRedoTail()
{
    const int f = CurrentFormat();
    int& undone = UndoneCount[size_t(f)];
    if (undone != 0) {
        FormatTable.SetUndoStateCount(f, FormatTable.UndoStateCount(f) - undone);
        undone = 0;
    }
}

void TIconDocument::DropOldestState(int f)
{
    const int last = TFormatTable::MaxUndoState;
    const int oldest = StateFileNumber(f, 1);
    for (int n = 1; n < last; ++n)
        FormatTable.SetUndoFileNumber(f, n, StateFileNumber(f, n + 1));
    FormatTable.SetUndoFileNumber(f, last, oldest);
    FormatTable.SetUndoStateCount(f, last - 1);
}

void TIconDocument::AfterRecord(int)
{
    ShowHistoryControls();
}

void TIconDocument::ShowHistoryControls() const
{
    const int f = CurrentFormat();
    const int undone = f >= 1 && f <= TFormatTable::MaxFormats ? UndoneCount[size_t(f)] : 0;
    SetUndoControls(FormatTable.UndoStateCount(f) - undone >= 2);
    SetRedoControls(undone >= 1);
}

bool TIconDocument::IsActiveDocument() const
{
    const TEditorState* s = EditorState();
    return s && s->ActiveDocumentName.compare(DocumentName(), Qt::CaseInsensitive) == 0;
}

void TIconDocument::RecordStep()
{
    DropRedoTail();
    const int f = CurrentFormat();
    if (QDir(HistoryFolder()).exists()) {
        if (QFile::exists(StateFilePath(f, 1))) {
            if (FormatTable.UndoStateCount(f) >= TFormatTable::MaxUndoState)
                DropOldestState(f);
            int n = FormatTable.UndoStateCount(f) + 1;
            if (n == 1)
                n = 2;
            FormatTable.SetUndoStateCount(f, n);
            if (FormatTable.UndoFileNumber(f, n) == 0)
                FormatTable.SetUndoFileNumber(f, n, n);
            SaveState(f, StateFileNumber(f, n));
        }
    } else {
        MakeHistoryFolder();
        SaveState(f, StateFileNumber(f, 1));
    }
    AfterRecord(f);
}

void TIconDocument::RecordStepWithoutBaseCheck()
{
    DropRedoTail();
    const int f = CurrentFormat();
    if (QDir(HistoryFolder()).exists()) {
        if (FormatTable.UndoStateCount(f) >= TFormatTable::MaxUndoState)
            DropOldestState(f);
        const int n = FormatTable.UndoStateCount(f) + 1;
        FormatTable.SetUndoStateCount(f, n);
        if (FormatTable.UndoFileNumber(f, n) == 0)
            FormatTable.SetUndoFileNumber(f, n, n);
        SaveState(f, StateFileNumber(f, n));
    } else {
        MakeHistoryFolder();
        SaveState(f, StateFileNumber(f, 1));
    }
    AfterRecord(f);
}

void TIconDocument::RenewNewestState()
{
    const int f = CurrentFormat();
    const int n = FormatTable.UndoStateCount(f);
    if (n >= 1 && UndoneCount[size_t(f)] == 0 && QFile::exists(StateFilePath(f, n)))
        SaveState(f, StateFileNumber(f, n));
    else
        RecordStep();
}

void TIconDocument::BeginCommandStep()
{
    if (stepGroupDepth_ > 0) {
        if (stepGroupBegun_)
            return;
        stepGroupBegun_ = true;
    }
    EnsureBaseState();
    DropRedoTail();
}

void TIconDocument::EndCommandStep()
{
    if (stepGroupDepth_ == 0)
        RecordStep();
}

void TIconDocument::BeginStepGroup()
{
    if (stepGroupDepth_++ == 0)
        stepGroupBegun_ = false;
}

void TIconDocument::EndStepGroup()
{
    if (stepGroupDepth_ < 1 || --stepGroupDepth_ > 0)
        return;
    if (stepGroupBegun_)
        RecordStep();
    stepGroupBegun_ = false;
}

void TIconDocument::UndoStep()
{
    const int f = CurrentFormat();
    const int count = FormatTable.UndoStateCount(f);
    int& undone = UndoneCount[size_t(f)];
    // The state before the one shown; the oldest has none.
    if (count - undone >= 2) {
        ++undone;
        LoadUndoState(StateFilePath(f, count - undone));
    }
    // Loading may have given the format another number: the controls follow the current one.
    ShowHistoryControls();
}

bool TIconDocument::RedoStep()
{
    const int f = CurrentFormat();
    int& undone = UndoneCount[size_t(f)];
    // With nothing undone the next state would be one beyond the newest: a missing file, or an
    // old one of a dropped redo tail.
    if (undone < 1) {
        ShowHistoryControls();
        return false;
    }
    --undone;
    LoadUndoState(StateFilePath(f, FormatTable.UndoStateCount(f) - undone));
    ShowHistoryControls();
    return true;
}

void TIconDocument::LoadUndoState(const QString& path)
{
    OpacityBaseStale = true;
    LoadStateImage(path);
}

bool TIconDocument::LoadStateImage(const QString& path)
{
    GpImage* image = nullptr;
    GdipLoadImageFromFile(path, &image);
    const bool loaded = LoadStateImage(image);
    GdipDisposeImage(image);
    return loaded;
}

bool TIconDocument::LoadStateImage(GpImage* state)
{
    if (!state)
        return false;
    // A state of the format's size comes back exactly: drawn over transparency, fully transparent
    // pixels would lose the colour channels they keep.
    if (const QImage* pixels = GdipImageData(state);
        pixels && pixels->width() == CurrentWidth && pixels->height() == CurrentHeight) {
        SetFormatImage(CurrentFormat(), GdipImageFromQImage(pixels->convertToFormat(QImage::Format_ARGB32)));
        return true;
    }
    GpBitmap* fresh = NewTransparentBitmap(CurrentWidth, CurrentHeight);
    if (!fresh)
        return false;
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(fresh, &g);
    GdipSetInterpolationMode(g, InterpolationModeHighQualityBicubic);
    if (CurrentKind == QLatin1String("XP"))
        GdipSetSmoothingMode(g, SmoothingModeHighQuality);
    GdipDrawImageRectI(g, state, 0, 0, CurrentWidth, CurrentHeight);
    GdipDeleteGraphics(g);
    SetFormatImage(CurrentFormat(), fresh);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Histories that follow their formats

void TIconDocument::MoveHistories(const std::vector<std::pair<int, int>>& moves)
{
    struct Saved {
        int count;
        int undone;
        std::vector<int> numbers;
    };
    std::map<int, Saved> saved;
    for (const auto& [from, to] : moves) {
        if (from == to)
            continue;
        Saved s{FormatTable.UndoStateCount(from), UndoneCount[size_t(from)], {}};
        s.numbers.resize(TFormatTable::MaxUndoState + 1);
        for (int n = 0; n <= TFormatTable::MaxUndoState; ++n)
            s.numbers[size_t(n)] = FormatTable.UndoFileNumber(from, n);
        saved.emplace(from, std::move(s));
    }
    std::map<int, int> target;
    for (const auto& [from, to] : moves)
        if (from != to)
            target[from] = to;
    if (target.empty())
        return;
    for (const auto& [from, to] : target) {
        const Saved& s = saved.at(from);
        FormatTable.SetUndoStateCount(to, s.count);
        UndoneCount[size_t(to)] = s.undone;
        for (int n = 0; n <= TFormatTable::MaxUndoState; ++n)
            FormatTable.SetUndoFileNumber(to, n, s.numbers[size_t(n)]);
    }

    // Files move in two passes so that a format taking another's number never meets its files.
    const QDir dir(HistoryFolder());
    if (!dir.exists())
        return;
    static const QRegularExpression stateFile(QStringLiteral("^(\\d+)_(\\d+)\\.png$"));
    QStringList parked;
    for (const QString& name : dir.entryList(QDir::Files)) {
        const auto m = stateFile.match(name);
        if (!m.hasMatch())
            continue;
        const auto it = target.find(m.captured(1).toInt());
        if (it == target.end())
            continue;
        const QString temp = QStringLiteral("~%1_%2.png").arg(it->second).arg(m.captured(2));
        QFile::remove(dir.filePath(temp));
        if (QFile::rename(dir.filePath(name), dir.filePath(temp)))
            parked << temp;
    }
    for (const QString& temp : parked) {
        const QString final = temp.mid(1);
        QFile::remove(dir.filePath(final));
        QFile::rename(dir.filePath(temp), dir.filePath(final));
    }
}

void TIconDocument::ReorderFormatHistories(const std::vector<int>& newOrder)
{
    std::vector<std::pair<int, int>> moves;
    const auto palettes = ownPalettes_;
    const auto hotSpots = ownHotSpots_;
    for (size_t k = 1; k < newOrder.size(); ++k) {
        moves.emplace_back(newOrder[k], int(k));
        if (newOrder[k] >= 1 && newOrder[k] <= TFormatTable::MaxFormats && k < palettes.size()) {
            ownPalettes_[k] = palettes[size_t(newOrder[k])];
            ownHotSpots_[k] = hotSpots[size_t(newOrder[k])];
        }
    }
    MoveHistories(moves);
}

void TIconDocument::ClearFormatHistory(int f)
{
    FormatTable.SetUndoStateCount(f, 0);
    UndoneCount[size_t(f)] = 0;
    for (int n = 0; n <= TFormatTable::MaxUndoState; ++n)
        FormatTable.SetUndoFileNumber(f, n, 0);
    const QDir dir(HistoryFolder());
    if (!dir.exists())
        return;
    const QString prefix = QString::number(f) + QLatin1Char('_');
    for (const QString& name : dir.entryList({prefix + QStringLiteral("*.png")}, QDir::Files))
        QFile::remove(dir.filePath(name));
}

void TIconDocument::RemoveFormatHistory(int f, int formatsBefore)
{
    const int last = std::min(formatsBefore, TFormatTable::MaxFormats);
    for (int g = f; g >= 1 && g < last; ++g) {
        ownPalettes_[size_t(g)] = ownPalettes_[size_t(g + 1)];
        ownHotSpots_[size_t(g)] = ownHotSpots_[size_t(g + 1)];
    }
    if (last >= f && last >= 1) {
        ownPalettes_[size_t(last)] = TOwnPalette();
        ownHotSpots_[size_t(last)] = TOwnHotSpot();
    }
    ClearFormatHistory(f);
    std::vector<std::pair<int, int>> moves;
    for (int g = f + 1; g <= formatsBefore; ++g)
        moves.emplace_back(g, g - 1);
    MoveHistories(moves);
    if (formatsBefore > f)
        ClearFormatHistory(formatsBefore);
}
