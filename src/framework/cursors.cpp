#include "framework/cursors.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>

namespace {

struct CursorEntry {
    TCursor cursor;
    const char* name;
    Qt::CursorShape shape;
};

// The built-in cursors and the nearest shapes of this desktop.
constexpr CursorEntry kCursors[] = {
    {crDefault, "crDefault", Qt::ArrowCursor},     {crNone, "crNone", Qt::BlankCursor},
    {crArrow, "crArrow", Qt::ArrowCursor},         {crCross, "crCross", Qt::CrossCursor},
    {crIBeam, "crIBeam", Qt::IBeamCursor},         {crSizeNESW, "crSizeNESW", Qt::SizeBDiagCursor},
    {crSizeNS, "crSizeNS", Qt::SizeVerCursor},     {crSizeNWSE, "crSizeNWSE", Qt::SizeFDiagCursor},
    {crSizeWE, "crSizeWE", Qt::SizeHorCursor},     {crUpArrow, "crUpArrow", Qt::UpArrowCursor},
    {crHourGlass, "crHourGlass", Qt::WaitCursor},  {crDrag, "crDrag", Qt::DragCopyCursor},
    {crNoDrop, "crNoDrop", Qt::ForbiddenCursor},   {crHSplit, "crHSplit", Qt::SplitHCursor},
    {crVSplit, "crVSplit", Qt::SplitVCursor},      {crMultiDrag, "crMultiDrag", Qt::DragCopyCursor},
    {crSQLWait, "crSQLWait", Qt::WaitCursor},      {crNo, "crNo", Qt::ForbiddenCursor},
    {crAppStart, "crAppStart", Qt::BusyCursor},    {crHelp, "crHelp", Qt::WhatsThisCursor},
    {crHandPoint, "crHandPoint", Qt::PointingHandCursor}, {crSizeAll, "crSizeAll", Qt::SizeAllCursor},
};

struct Table {
    QMutex mutex;
    QHash<TCursor, QCursor> custom;
    TCursor current = crDefault;
};

Table& TheTable()
{
    static Table table;
    return table;
}

} // namespace

QCursor CursorShape(TCursor cursor)
{
    {
        Table& t = TheTable();
        QMutexLocker lock(&t.mutex);
        auto it = t.custom.find(cursor);
        if (it != t.custom.end())
            return *it;
    }
    for (const CursorEntry& e : kCursors)
        if (e.cursor == cursor)
            return QCursor(e.shape);
    return QCursor(Qt::ArrowCursor);
}

void SetCursorShape(TCursor cursor, const QCursor& shape)
{
    Table& t = TheTable();
    QMutexLocker lock(&t.mutex);
    t.custom.insert(cursor, shape);
}

bool HasCursorShape(TCursor cursor)
{
    {
        Table& t = TheTable();
        QMutexLocker lock(&t.mutex);
        if (t.custom.contains(cursor))
            return true;
    }
    for (const CursorEntry& e : kCursors)
        if (e.cursor == cursor)
            return true;
    return false;
}

QString CursorToString(TCursor cursor)
{
    for (const CursorEntry& e : kCursors)
        if (e.cursor == cursor)
            return QString::fromLatin1(e.name);
    return QString::number(cursor);
}

bool StringToCursor(const QString& text, TCursor& cursor)
{
    for (const CursorEntry& e : kCursors)
        if (text.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) {
            cursor = e.cursor;
            return true;
        }
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (ok)
        cursor = n;
    return ok;
}

void SetApplicationCursor(TCursor cursor)
{
    Table& t = TheTable();
    TCursor previous;
    {
        QMutexLocker lock(&t.mutex);
        previous = t.current;
        t.current = cursor;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    // One override cursor at most stands for the screen's cursor.
    if (cursor == crDefault) {
        if (previous != crDefault)
            QGuiApplication::restoreOverrideCursor();
    } else if (previous == crDefault) {
        QGuiApplication::setOverrideCursor(CursorShape(cursor));
    } else {
        QGuiApplication::changeOverrideCursor(CursorShape(cursor));
    }
}

TCursor ApplicationCursor()
{
    Table& t = TheTable();
    QMutexLocker lock(&t.mutex);
    return t.current;
}
