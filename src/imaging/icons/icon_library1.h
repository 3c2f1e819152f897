#pragma once

// Writes editable icons (TAdvancedIcon) as a 16-bit icon library: the main window saves a project
// as an .icl this way, and the icon picker turns an .ico file into a one-icon library.

#include "framework/object.h"
#include "framework/string_list.h"

#include <QString>
#include <memory>

class TAdvancedIcon;

// Names with the icons they own: Delete and Clear free the icons they remove.
class TIconList : public TStringList {
public:
    TIconList();
    ~TIconList() override;

    // Appends the icon under the name; an empty name becomes "Icon <count + 1>". A null icon is
    // ignored.
    void AddIcon(const QString& name, std::unique_ptr<TAdvancedIcon> icon);

    void Delete(int index) override;
    void Clear() override;

private:
    void FreeObjects();
};

class TIconLibrary1 : public TObject {
public:
    TIconLibrary1();
    ~TIconLibrary1() override;
    TIconLibrary1(const TIconLibrary1&) = delete;
    TIconLibrary1& operator=(const TIconLibrary1&) = delete;

    TIconList* Icons() const { return icons_.get(); }

    // Writes the icons as a 16-bit library, replacing the file only once it is complete. Raises
    // EICLReadError for an empty list and for more than 32767 icons or images.
    void SaveToFile(const QString& fileName);

private:
    std::unique_ptr<TIconList> icons_;
};
