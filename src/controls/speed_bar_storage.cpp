// The speed bar's layout in the store of a form placement: side, thickness and which buttons
// are shown where.

#include "controls/speed_bar.h"

#include "controls/storage/form_placement.h"
#include "controls/storage/placement_store.h"
#include "controls/storage/str_utils.h"
#include "framework/application.h"
#include "framework/forms.h"

void TSpeedBar::StoreLinkSave(TIniLink* link)
{
    TObject* store = link->StoreObject();
    if (Name().isEmpty() || !store)
        return;
    WriteLayout(store, link->RootSection() + DefaultStorageSection(this));
}

void TSpeedBar::StoreLinkLoad(TIniLink* link)
{
    TObject* store = link->StoreObject();
    if (Name().isEmpty() || !store)
        return;
    ReadLayout(store, link->RootSection() + DefaultStorageSection(this));
}

void TSpeedBar::WriteLayout(TObject* store, const QString& section)
{
    StoreEraseSection(store, section);
    StoreWriteInteger(store, section, QStringLiteral("Position"), int(alignment_));
    if (alignment_ == alTop || alignment_ == alBottom)
        StoreWriteInteger(store, section, QStringLiteral("Width"), Height());
    else if (alignment_ == alLeft || alignment_ == alRight)
        StoreWriteInteger(store, section, QStringLiteral("Width"), Width());
    StoreWriteInteger(store, section, QStringLiteral("Version"), version_);
    StoreWriteInteger(store, section, QStringLiteral("PixelsPerInch"), Screen->PixelsPerInch());
    StoreWriteInteger(store, section, QStringLiteral("BtnWidth"), btnWidth_);
    StoreWriteInteger(store, section, QStringLiteral("BtnHeight"), btnHeight_);
    int n = 0;
    ForEachItem(
        [&](TSpeedItem* item, void*) {
            if (!item->Visible() || !item->Stored())
                return;
            ++n;
            StoreWriteString(store, section, QStringLiteral("Button%1").arg(n),
                             QStringLiteral("%1,%2,%3").arg(item->Name()).arg(item->Left()).arg(item->Top()));
        },
        nullptr);
    StoreWriteInteger(store, section, QStringLiteral("Count"), n);
}

void TSpeedBar::ReadLayout(TObject* store, const QString& section)
{
    frameAlign_ = alignment_;
    const int v = StoreReadInteger(store, section, QStringLiteral("Version"), version_);
    if (v < version_)
        return;
    if (options_ & sbAllowDrag) {
        try {
            const int pos = StoreReadInteger(store, section, QStringLiteral("Position"), int(alignment_));
            if (pos < int(alNone) || pos > int(alCustom))
                throw ESpeedbarError(QStringLiteral("Invalid position"));
            SetAlign(TAlign(pos));
        } catch (const Exception&) {
            SetAlign(alTop);
        }
    }
    const auto* form = qobject_cast<const TForm*>(Owner());
    const int ppi = StoreReadInteger(store, section, QStringLiteral("PixelsPerInch"), form ? Screen->PixelsPerInch() : 0);
    if (ppi == Screen->PixelsPerInch()) {
        if (options_ & sbAllowResize) {
            if (alignment_ == alTop || alignment_ == alBottom)
                SetHeight(StoreReadInteger(store, section, QStringLiteral("Width"), Height()));
            else if (alignment_ == alLeft || alignment_ == alRight)
                SetWidth(StoreReadInteger(store, section, QStringLiteral("Width"), Width()));
        }
    }
    if (alignment_ != frameAlign_)
        PositionChanged();
    if (ppi != Screen->PixelsPerInch())
        return;
    const int count = StoreReadInteger(store, section, QStringLiteral("Count"), 0);
    if (count > 0) {
        ForEachItem([](TSpeedItem* item, void*) { item->SetVisible(false); }, nullptr);
        const TCharSet delims{',', ' '};
        for (int k = 1; k <= count; ++k) {
            const QString entry = StoreReadString(store, section, QStringLiteral("Button%1").arg(k), QString());
            if (entry.isEmpty())
                continue;
            TSpeedItem* item = ItemByName(NthWord(1, entry, delims));
            if (!item)
                continue;
            bool ok = false;
            int left = NthWord(2, entry, delims).toInt(&ok);
            if (!ok)
                left = item->Left();
            int top = NthWord(3, entry, delims).toInt(&ok);
            if (!ok)
                top = item->Top();
            item->SetLeft(std::max(left, offsetH_));
            item->SetTop(std::max(top, offsetV_));
            item->SetVisible(true);
        }
    }
    update();
}
