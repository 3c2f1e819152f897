#pragma once

// The editor's configuration file "data\rozazuvidodiro.ini": the size and kind of a new image,
// the two drawing colours, the editing-option colours, the open history and the start-up switches.
// Every user opens it by path, reads or writes what it needs and lets it go at once; there is no
// shared object and no cache. A missing key reads as the text "no", and every reader takes "no"
// for missing.

#include <QString>
#include <QStringList>
#include <cstdint>

class TEditorState;

// Where the file is: beside the program, or under the per-user data folder when the program's
// folder is read-only (starting there from the shipped copy).
QString ConfigurationFileName();

// The value of a key, or "no" when it is missing.
QString ReadConfiguration(const QString& section, const QString& key);
void WriteConfiguration(const QString& section, const QString& key, const QString& value);
bool ConfigurationValueMissing(const QString& value);

// The width or height of a new image from "x" or "y" of section "default": 48 when missing, not
// a whole number, or outside 1..255.
int ReadNewImageSide(const QString& key);

// Colour texts as the configuration holds them: a colour name ("clBlack"), "$" and hexadecimal
// digits, or a decimal number. False for anything else.
bool TryStringToColor(const QString& text, uint32_t& color);

// The new-image size and kind, and the two drawing colours into the hidden edits "upa".."upb"
// and "downa".."downb". A colour component that is no whole number takes its default; one outside
// 0..255 is pulled into that range.
void LoadEditorDefaults(TEditorState& state);
// The editing-option colours "movecolor1".."movecolor3"; a missing or unreadable one keeps the
// value the state has. A colour name is read as that colour, opaque.
void LoadEditColors(TEditorState& state);
// An editing-option colour (0xAARRGGBB) as the file keeps it: the name of a standard colour
// when an opaque colour has one, otherwise "$" and eight hexadecimal digits.
QString EditColorToText(uint32_t argb);

// The open history in order, oldest first. A missing or unreadable count gives no history; a
// count beyond the keys present gives the paths that are there.
QStringList ReadOpenHistory();
// Adds a path at the end of the open history; files of the scratch folder are left out.
void AppendOpenHistory(const QString& path);

// What the start-up does about the update check, from "openorclose" of section "liveupdate".
enum class TStartupUpdateCheck { Silent, WithWindow, None };
TStartupUpdateCheck ReadStartupUpdateCheck();
