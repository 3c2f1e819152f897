#pragma once

// The print page: the active document's caption and its current image on a report page, with
// a button that prints it at once and one that closes the page. Made anew for each use and freed
// when closed.

#include "framework/forms.h"

class QImage;

class TListForm : public TForm {
    Q_OBJECT

public:
    explicit TListForm(QWidget* owner = nullptr);
    ~TListForm() override;

    // The page shows the picture at its own size under the title.
    void SetPage(const QImage& picture, const QString& title);

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormPaint(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void ToolButton17Click(TObject* Sender);
    Q_INVOKABLE void ToolButton28Click(TObject* Sender);
};

// The newest print page, or null.
extern TListForm* ListForm;
