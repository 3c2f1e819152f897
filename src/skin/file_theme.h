#pragma once

// The skin-file component every skinned window carries (TsuiFileTheme, "suiFileTheme1"), its
// manager object holding the loaded reader, and the rule by which a skinned component decides
// whether a value comes from the file or from a built-in style.

#include "framework/component.h"
#include "framework/types.h"
#include "skin/theme_items.h"

#include <QList>
#include <QString>
#include <memory>

class QWidget;
class TGraphic;
class TBitmap;
class TsuiThemeFileReader;

// True when the component's class publishes a property of that name (names compare without
// regard to case, as the framework's run-time type information does).
bool HasPublishedProperty(const QObject* component, const QString& propertyName);

class TsuiFileThemeMgr : public TObject {
public:
    TsuiFileThemeMgr();
    ~TsuiFileThemeMgr() override;

    // False when the file does not exist. Otherwise reads the file into a new reader and only
    // then replaces the current one, so a file that fails to load (the reader raises) leaves the
    // loaded skin in place.
    bool LoadFile(const QString& fileName);
    // The item's picture read into the graphic; false (the graphic untouched) without a reader
    // or when the file has no picture of that item.
    bool GetImage(int item, TGraphic* graphic);
    // Without a reader: false, 0 and 0. A missing item of a loaded file: false, -1 and -1.
    bool GetBool(int item) const;
    TColor GetColor(int item) const;
    int GetInteger(int item) const;

    TsuiThemeFileReader* Reader() const { return reader_.get(); }

private:
    std::unique_ptr<TsuiThemeFileReader> reader_;
};

class TsuiFileTheme : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString ThemeFile READ ThemeFile WRITE SetThemeFile)

public:
    explicit TsuiFileTheme(QObject* AOwner);
    ~TsuiFileTheme() override;

    QString ThemeFile() const { return themeFile_; }
    // Loads the named skin file (see the .cpp for how a name is resolved). The same text again
    // does nothing; a name that finds no file is ignored; a file that is not a skin file raises
    // Exception("Invalid skin file for DERUvaz!") and leaves the current skin loaded.
    void SetThemeFile(const QString& name);
    bool IsLoaded() const { return loaded_; }

    static bool CheckThemeFile(const QString& name);

    // The item's picture loaded into the graphic.
    void GetImage(int item, TGraphic* graphic);
    // Frame frameIndex (1-based) of frameCount of the item's picture.
    void GetImageFrame(int item, TGraphic* graphic, int frameCount, int frameIndex);
    bool GetBool(int item) const { return mgr_->GetBool(item); }
    TColor GetColor(int item) const { return mgr_->GetColor(item); }
    int GetInteger(int item) const { return mgr_->GetInteger(item); }

    TsuiFileThemeMgr* Manager() const { return mgr_.get(); }

    // True when a component of this style takes its values from the file: only FromThemeFile
    // with a loaded file does. effectiveStyle is the built-in style to use otherwise (DeepBlue
    // for FromThemeFile without a loaded file). fileTheme may be null.
    static bool UsingFileTheme(const TsuiFileTheme* fileTheme, int style, TsuiUIStyle& effectiveStyle);

private:
    QString themeFile_;
    bool loaded_ = false;
    std::unique_ptr<TsuiFileThemeMgr> mgr_;
};

// The start style of a new skinned component owned by owner: the UIStyle of the first TsuiForm
// among the owning form's direct child controls; DeepBlue when owner is not a form or has none.
TsuiUIStyle GetOwnerFormUIStyle(QObject* owner);

// Whether the object is one of the framework's forms.
bool IsFormObject(const QObject* object);
// The container's direct child controls in control order.
QList<QWidget*> ChildControls(QWidget* container);
