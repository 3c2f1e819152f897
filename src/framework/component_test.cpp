#include "framework/component.h"
#include "framework/exceptions.h"

#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class TProbe : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    using TComponent::TComponent;
    QString Caption() const { return caption; }
    void SetCaption(const QString& c) { caption = c; }
    int Width() const { return width; }
    void SetWidth(int w) { width = w; }
    void Notification(QObject* c, TOperation op) override
    {
        heard.append({c, op});
        TComponent::Notification(c, op);
    }
    QString caption;
    int width = 0;
    QList<QPair<QObject*, TOperation>> heard;
};

} // namespace

TEST(Component, FindComponentIgnoresCaseAndSearchesOnlyDirectlyOwned)
{
    auto form = std::make_unique<TProbe>(nullptr);
    auto* button = new TProbe(form.get());
    button->SetName("BitBtn21");
    auto* nested = new TProbe(button);
    nested->SetName("Inner");

    EXPECT_EQ(form->FindComponent("bitbtn21"), button);
    EXPECT_EQ(FindComponent(form.get(), "BITBTN21"), button);
    EXPECT_EQ(form->FindComponent("Inner"), nullptr);
    EXPECT_EQ(form->FindComponent(""), nullptr);
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(button->Owner(), form.get());

    // Names are unique within an owner without regard to case, and must be identifiers.
    auto* other = new TProbe(form.get());
    EXPECT_THROW(other->SetName("BITBTN21"), EComponentError);
    try {
        other->SetName("1abc");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "'1abc' is not a valid component name");
    }
    EXPECT_TRUE(other->Name().isEmpty());
    other->SetName("Inner"); // another owner's name is fine
}

TEST(Component, DestroyingTheOwnerDestroysWhatItOwnsWhereverItIsParented)
{
    auto* form = new QWidget;
    auto* panel = new QWidget(form);
    auto* elsewhere = new QObject;
    // A control owned by the form but parented to a panel, and a component parented outside.
    auto* label = new QWidget(panel);
    InsertComponent(form, label);
    auto* timer = new TProbe(elsewhere);
    InsertComponent(form, timer);
    EXPECT_EQ(timer->Owner(), form);
    EXPECT_EQ(ComponentCount(elsewhere), 0);
    ASSERT_EQ(OwnedComponents(form), (QList<QObject*>{label, timer}));

    QPointer<QWidget> pl(label);
    QPointer<TProbe> pt(timer);
    delete form;
    EXPECT_TRUE(pl.isNull());
    EXPECT_TRUE(pt.isNull());
    EXPECT_TRUE(elsewhere->children().isEmpty());
    delete elsewhere;
}

TEST(Component, OwnerAndSiblingsHearOfRemovalAndFreeNotificationFires)
{
    auto form = std::make_unique<TProbe>(nullptr);
    auto* storage = new TProbe(form.get());
    auto* dialog = new TProbe(form.get());
    auto* watcher = new TProbe(nullptr);
    watcher->FreeNotification(dialog);
    storage->heard.clear();
    form->heard.clear();

    delete dialog;
    ASSERT_EQ(form->heard.size(), 1);
    EXPECT_EQ(form->heard[0].first, dialog);
    EXPECT_EQ(form->heard[0].second, opRemove);
    ASSERT_EQ(storage->heard.size(), 1);
    EXPECT_EQ(storage->heard[0].first, dialog);
    ASSERT_EQ(watcher->heard.size(), 1);
    EXPECT_EQ(watcher->heard[0].first, dialog);
    EXPECT_EQ(form->ComponentCount(), 1);
    delete watcher;

    // While the owner itself goes, its components are not told of each other.
    auto* a = new TProbe(form.get());
    (void)a;
    storage->heard.clear();
    QPointer<TProbe> ps(storage);
    form.reset();
    EXPECT_TRUE(ps.isNull());
}

TEST(Component, PropertiesByNameAndByPath)
{
    TProbe form(nullptr);
    form.SetName("iconmain");
    auto* label = new TProbe(&form);
    label->SetName("Label1");

    EXPECT_TRUE(SetPropertyByPath(&form, "label1.caption", QString("Open")));
    EXPECT_EQ(label->Caption(), "Open");
    EXPECT_TRUE(SetPropertyByPath(&form, "Label1.WIDTH", QString("42")));
    EXPECT_EQ(label->Width(), 42);
    EXPECT_TRUE(SetPropertyByPath(&form, "Tag", 7));
    EXPECT_EQ(form.Tag(), 7);
    QVariant v;
    EXPECT_TRUE(GetPropertyByPath(&form, "LABEL1.Name", &v));
    EXPECT_EQ(v.toString(), "Label1");

    // Nested property paths, unknown components and properties, and bad values are refused.
    EXPECT_FALSE(SetPropertyByPath(&form, "Label1.Font.Name", QString("Arial")));
    EXPECT_FALSE(SetPropertyByPath(&form, "Label2.Caption", QString("x")));
    EXPECT_FALSE(SetPropertyByPath(&form, "Label1.Hint", QString("x")));
    EXPECT_FALSE(SetPropertyByPath(&form, "Label1.Width", QString("wide")));
    EXPECT_EQ(label->Width(), 42);
}

#include "component_test.moc"
