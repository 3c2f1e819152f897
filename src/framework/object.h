#pragma once

// Roots of the framework's object model. Plain objects (bitmaps, streams, lists) derive from
// TObject; objects that can copy one another derive from TPersistent. Components are QObjects
// (name = objectName, owner = QObject parent) that also derive from TPersistent, so an event's
// Sender is always a TObject*; controls do the same on QWidget.

#include <QString>
#include <functional>

class TObject {
public:
    virtual ~TObject();
    // The class's own name ("TBitmap32"), as used in the framework's fixed error texts.
    virtual QString ClassName() const;
};

class TPersistent : public TObject {
public:
    // Copies source into this object. The default asks source to assign itself to this object
    // and raises EConvertError ("Cannot assign a TX to a TY") when neither side knows the other.
    virtual void Assign(TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest);
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
