#pragma once

// What Undo of the Windows-icon customiser needs: for each item its value before its first
// change in this run and a mark saying that it has been changed, in "copy_icon_set.ini" of this
// instance's scratch folder.

#include <QString>

namespace CustomisationUndo {

inline constexpr const char* kStartMenuSection = ".begin_file";
inline constexpr const char* kDesktopSection = ".dasktop_file";
inline constexpr const char* kSystemSection = ".system_file";
inline constexpr const char* kDrivesSection = ".dask_file";

QString FileName();

// Records the Start Menu values (when the Shell Icons key opens) and then the Desktop values, as
// the customiser window is created. False with *error when the file cannot be written.
bool SnapshotStartMenuIcons(QString* error = nullptr);
bool SnapshotDesktopIcons(QString* error = nullptr);

// Marks row r of a section as changed. previousValue is the item's value just before the change:
// it is recorded when nothing is recorded yet ("true" when it was empty), so Undo gives the user
// back what they had, never an erased item.
void MarkChanged(const QString& section, int row, const QString& previousValue);

// Undo is offered for a row that has a recorded value and a change mark.
bool UndoAvailable(const QString& section, int row);
// The recorded value ("true": the item had no value of its own), "no" when nothing is recorded.
QString RecordedValue(const QString& section, int row);

} // namespace CustomisationUndo
