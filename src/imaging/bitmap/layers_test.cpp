#include "imaging/bitmap/layers.h"

#include "framework/exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A collection without an owning control, with its notifications written down.
struct Stack {
    TBitmapTransformation transform;
    TLayerCollection layers{nullptr};
    std::vector<std::string> log;

    Stack()
    {
        layers.SetTransform(&transform);
        layers.OnChanging = [this](TObject*) { log.push_back("changing"); };
        layers.OnChange = [this](TObject*) { log.push_back("change"); };
        layers.OnOverlayUpdate = [this](TObject*) { log.push_back("overlay"); };
    }

    TPositionedLayer* At(float l, float t, float r, float b)
    {
        auto* layer = layers.Add<TPositionedLayer>();
        layer->SetLocation(MakeFloatRect(l, t, r, b));
        return layer;
    }

    // Records every mouse call a layer receives, tagged with its user value.
    void Watch(TCustomLayer* layer)
    {
        const std::string tag = std::to_string(layer->UserValue());
        layer->OnMouseDown = [this, tag](TObject*, TMouseButton b, TShiftState, int x, int y) {
            log.push_back(tag + " down" + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        layer->OnMouseMove = [this, tag](TObject*, TShiftState, int x, int y) {
            log.push_back(tag + " move " + std::to_string(x) + "," + std::to_string(y));
        };
        layer->OnMouseUp = [this, tag](TObject*, TMouseButton b, TShiftState, int x, int y) {
            log.push_back(tag + " up" + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
        };
    }
};

} // namespace

TEST(Layers, StackingIndexAndRemoval)
{
    Stack s;
    TCustomLayer* a = s.layers.Add<TCustomLayer>();
    TCustomLayer* b = s.layers.Add<TPositionedLayer>();
    TCustomLayer* c = s.layers.Add<TCustomLayer>();
    ASSERT_EQ(s.layers.Count(), 3);
    EXPECT_EQ(s.layers.Items(0), a);
    EXPECT_EQ(c->GetIndex(), 2);
    EXPECT_EQ(a->LayerOptions(), LayerVisible);
    EXPECT_EQ(b->LayerOptions(), LayerVisible | LayerMouseEvents);

    a->SetIndex(99); // beyond the top: to the top
    EXPECT_EQ(a->GetIndex(), 2);
    EXPECT_EQ(s.layers.Items(0), b);
    a->SetIndex(-4);
    EXPECT_EQ(a->GetIndex(), 0);

    TCustomLayer loose(nullptr);
    loose.SetIndex(1);
    EXPECT_EQ(loose.GetIndex(), -1);

    std::vector<std::string> gone;
    for (TCustomLayer* l : {a, b, c})
        l->OnDestroy = [&gone, l](TObject*) { gone.push_back(std::to_string(l->GetIndex())); };
    delete b;
    EXPECT_EQ(s.layers.Count(), 2);
    EXPECT_EQ(c->GetIndex(), 1);
    s.layers.Clear(); // top first
    EXPECT_EQ(gone, (std::vector<std::string>{"1", "1", "0"}));
    EXPECT_EQ(s.layers.Count(), 0);
}

TEST(Layers, ChangeNotifications)
{
    Stack s;
    auto* layer = s.layers.Add<TPositionedLayer>();
    s.log.clear();

    layer->SetLocation(MakeFloatRect(1, 2, 3, 4));
    layer->SetScaled(true);
    layer->SetScaled(true); // unchanged: nothing
    EXPECT_EQ(s.log, (std::vector<std::string>{"changing", "change", "changing", "change"}));

    // An invisible overlay layer asks only for the overlay, and not inside an update; a silent
    // layer says nothing.
    s.log.clear();
    layer->SetLayerOptions(LayerOverlay);
    s.layers.BeginUpdate();
    layer->Changed();
    s.layers.EndUpdate();
    layer->SetLayerOptions(LayerVisible | LayerSilent);
    layer->Changed();
    EXPECT_EQ(s.log, (std::vector<std::string>{"changing", "overlay", "changing", "change"}));

    // Nested updates report once; an unpaired end fails and leaves the counter below 0.
    s.log.clear();
    s.layers.BeginUpdate();
    s.layers.BeginUpdate();
    s.layers.EndUpdate();
    s.layers.EndUpdate();
    EXPECT_EQ(s.log, (std::vector<std::string>{"changing", "change"}));
    try {
        s.layers.EndUpdate();
        ADD_FAILURE() << "unpaired EndUpdate passed";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unpaired EndUpdate"));
    }
    EXPECT_EQ(s.layers.UpdateCount(), -1);
}

TEST(Layers, ScaledLocationFollowsTheTransform)
{
    Stack s;
    TPositionedLayer* layer = s.At(2, 1, 5, 3);
    layer->SetScaled(true);
    s.transform.ScaleX = 4 * 65536;
    s.transform.ScaleY = 2 * 65536;
    s.transform.ShiftX = 10;
    s.transform.ShiftY = -1;
    EXPECT_EQ(layer->GetControlRect(), MakeFloatRect(18, 1, 30, 5));
    // Right and bottom edges are outside.
    EXPECT_TRUE(layer->HitTest(18, 1));
    EXPECT_TRUE(layer->HitTest(29, 4));
    EXPECT_FALSE(layer->HitTest(30, 4));
    EXPECT_FALSE(layer->HitTest(29, 5));
    EXPECT_FALSE(layer->HitTest(17, 2));

    // An all-zero transform (an empty bitmap) maps every corner to 0: the layer is hit nowhere.
    s.transform = {};
    EXPECT_EQ(layer->GetControlRect(), MakeFloatRect(0, 0, 0, 0));
    EXPECT_FALSE(layer->HitTest(0, 0));
    layer->SetScaled(false);
    EXPECT_EQ(layer->GetControlRect(), MakeFloatRect(2, 1, 5, 3));
}

TEST(Layers, FindLayerAtTakesTheTopmostWithTheMaskAndHitTest)
{
    Stack s;
    TPositionedLayer* low = s.At(0, 0, 20, 20);
    TPositionedLayer* high = s.At(10, 10, 30, 30);
    TCustomLayer* plain = s.layers.Add<TCustomLayer>(); // everywhere, but no mouse events
    EXPECT_EQ(s.layers.FindLayerAt(15, 15, LayerMouseEvents), high);
    EXPECT_EQ(s.layers.FindLayerAt(5, 5, LayerMouseEvents), low);
    EXPECT_EQ(s.layers.FindLayerAt(40, 40, LayerMouseEvents), nullptr);
    EXPECT_EQ(s.layers.FindLayerAt(40, 40, LayerVisible), plain);
    high->OnHitTest = [](TObject*, int, int, bool& passed) { passed = false; };
    EXPECT_EQ(s.layers.FindLayerAt(15, 15, LayerMouseEvents), low);
}

TEST(Layers, LeftPressCapturesUntilEveryButtonIsUp)
{
    Stack s;
    TPositionedLayer* layer = s.At(10, 10, 20, 20);
    layer->SetUserValue(1);
    s.Watch(layer);
    s.log.clear();

    EXPECT_EQ(s.layers.MouseDown(mbLeft, {}, 12, 12), layer);
    EXPECT_EQ(s.layers.MouseListener(), layer);
    EXPECT_EQ(layer->ButtonState(), 1u);
    // Captured: outside its rectangle it still gets the mouse, another button too.
    EXPECT_EQ(s.layers.MouseMove({}, 50, 60), layer);
    EXPECT_EQ(s.layers.MouseDown(mbRight, {}, 51, 61), layer);
    EXPECT_EQ(layer->ButtonState(), 3u);
    EXPECT_EQ(s.layers.MouseUp(mbLeft, {}, 52, 62), layer);
    EXPECT_EQ(s.layers.MouseListener(), layer);
    EXPECT_EQ(s.layers.MouseUp(mbRight, {}, 53, 63), layer);
    EXPECT_EQ(s.layers.MouseListener(), nullptr);
    EXPECT_EQ(s.layers.MouseMove({}, 54, 64), nullptr);
    EXPECT_EQ(s.log, (std::vector<std::string>{"1 down0 12,12", "1 move 50,60", "1 down1 51,61", "1 up0 52,62",
                                               "1 up1 53,63"}));

    // A press where no layer takes mouse events reports none and captures nothing.
    EXPECT_EQ(s.layers.MouseDown(mbLeft, {}, 90, 90), nullptr);
    EXPECT_EQ(s.layers.MouseListener(), nullptr);
}

TEST(Layers, PressesThatDoNotCapture)
{
    Stack s;
    TPositionedLayer* layer = s.At(0, 0, 10, 10);
    layer->SetUserValue(2);
    s.Watch(layer);
    s.log.clear();

    // A right press on a layer that has not captured the mouse is not delivered to it.
    EXPECT_EQ(s.layers.MouseDown(mbRight, {}, 5, 5), layer);
    EXPECT_EQ(s.layers.MouseListener(), nullptr);
    // A layer with LayerNoCapture neither captures nor hears the press; its release still comes.
    layer->SetLayerOptions(layer->LayerOptions() | LayerNoCapture);
    s.log.clear();
    EXPECT_EQ(s.layers.MouseDown(mbLeft, {}, 5, 5), layer);
    EXPECT_EQ(s.layers.MouseListener(), nullptr);
    EXPECT_EQ(s.layers.MouseUp(mbLeft, {}, 5, 5), layer);
    EXPECT_EQ(s.log, (std::vector<std::string>{"2 up0 5,5"}));
}

TEST(Layers, ALayerThatLeavesReleasesTheCapture)
{
    Stack s;
    TPositionedLayer* layer = s.At(0, 0, 10, 10);
    s.layers.MouseDown(mbLeft, {}, 1, 1);
    ASSERT_EQ(s.layers.MouseListener(), layer);
    delete layer;
    EXPECT_EQ(s.layers.MouseListener(), nullptr);
    EXPECT_EQ(s.layers.MouseUp(mbLeft, {}, 1, 1), nullptr);

    // Freed from inside its own release handler.
    TPositionedLayer* other = s.At(0, 0, 10, 10);
    other->OnMouseUp = [other](TObject*, TMouseButton, TShiftState, int, int) { delete other; };
    s.layers.MouseDown(mbLeft, {}, 1, 1);
    s.layers.MouseUp(mbLeft, {}, 1, 1);
    EXPECT_EQ(s.layers.Count(), 0);
    EXPECT_EQ(s.layers.MouseListener(), nullptr);
}

TEST(Layers, AssignCopiesClassesAndSettings)
{
    Stack from, to;
    TPositionedLayer* p = from.At(1, 2, 3, 4);
    p->SetScaled(true);
    p->SetUserValue(7);
    p->SetCursor(-21);
    TCustomLayer* c = from.layers.Add<TCustomLayer>();
    c->SetLayerOptions(LayerOverlay | 0x3);
    to.layers.Add<TCustomLayer>();

    to.layers.Assign(&from.layers);
    ASSERT_EQ(to.layers.Count(), 2);
    auto* q = dynamic_cast<TPositionedLayer*>(to.layers.Items(0));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->Location(), MakeFloatRect(1, 2, 3, 4));
    EXPECT_TRUE(q->Scaled());
    EXPECT_EQ(q->UserValue(), 7);
    EXPECT_EQ(q->Cursor(), -21);
    EXPECT_EQ(dynamic_cast<TPositionedLayer*>(to.layers.Items(1)), nullptr);
    EXPECT_EQ(to.layers.Items(1)->LayerOptions(), LayerOverlay | 0x3u);
}
