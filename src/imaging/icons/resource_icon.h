#pragma once

// The images of an icon group (resource type 14) of a loaded module; each image is the icon
// resource (type 3) that its group entry names. The module must stay loaded while the object
// reads from it.

#include "imaging/icons/multi_icon.h"
#include "platform/module.h"

class TResourceIcon : public TMultiIcon {
public:
    // Reads the directory of the named group (or of the group with an integer identifier). A
    // missing group raises the framework's resource-not-found error.
    TResourceIcon(HMODULE module, const QString& groupName);
    TResourceIcon(HMODULE module, int groupId);
    ~TResourceIcon() override;

    HMODULE Module() const { return module_; }

    // Appends the whole icon resource; a missing one raises the resource-not-found error.
    void CopyImageData(TStream* stream, uint16_t index) override;
    // Group entries are taken as square: old group resources misreport their heights.
    void ReadDirectory(TStream* stream, bool& valid, uint16_t& count) override;

protected:
    IconDirEntry ReadEntry(TStream* stream) override;
    QByteArray ReadImageBytes(uint16_t index) override;

private:
    void Open(const TResourceId& group);
    QByteArray LoadResourceBytes(const TResourceId& name, const TResourceId& type);

    HMODULE module_ = nullptr;
};
