#include "mainwindow/effect_table.h"

#include "imaging/toolkit/imaging_control.h"

#include <algorithm>

namespace {

using M = TEffectMode;
using L = TSliderLayout;
using S = TSliderPositions;
using C = ImagingControl;

constexpr bool Geo = true;
constexpr bool Col = false;

constexpr TEffectSlider Depth100{"Depth:", 1, 100, 50};
constexpr TEffectSlider Depth20{"Depth", 1, 20, 5};
constexpr TEffectSlider Buttonize{"Depth", 0, 32, 4};
constexpr TEffectSlider Weight{"Weight", 0, 32, 4};
constexpr TEffectSlider Hsl(const char* name) { return {name, -255, 255, 0}; }

// Rows applied at once have no dialog, sliders or Undo positions.
TEffectSpec AtOnce(const char* component, int code, bool geometric, TEffectOperation run,
                   M mode = M::AtOnce)
{
    return {component, code, geometric, mode, "", 0, L::None, {}, false, {}, run};
}

} // namespace

const std::vector<TEffectSpec>& EffectTable()
{
    // clang-format off
    static const std::vector<TEffectSpec> table = {
        // Effects menu
        {"ile11", 403, Geo, M::Dialog, "Effects - Tile1", 90, L::One, {Depth100}, true, {50},
         [](C& c, const S& s, int) { c.Tile1(s[0]); }},
        {"ile21", 404, Geo, M::Dialog, "Effects - Tile2", 90, L::One, {Depth100}, true, {50},
         [](C& c, const S& s, int) { c.Tile2(s[0]); }},
        {"Mosaic1", 405, Geo, M::Dialog, "Effects - Mosaic", 115, L::Mosaic,
         {{{"Width", 2, 20, 5}, {"Height", 2, 20, 5}}}, true, {5, 5},
         [](C& c, const S& s, int) { c.Mosaic(s[0], s[1]); }},
        {"AddNoise1", 406, Geo, M::Dialog, "Effects - Add Noise", 90, L::One, {Depth100}, true, {50},
         [](C& c, const S& s, int) { c.AddNoise(s[0], -1); }},
        // The slider of the reflections only triggers the preview.
        {"ReflectLeftRight1", 407, Geo, M::Dialog, "Effects - Reflect Left Right", 90, L::One, {Depth100}, true, {50},
         [](C& c, const S&, int) { c.ReflectLeftRight(); }},
        {"ReflectUpDown1", 408, Geo, M::Dialog, "Effects - Reflect Up Down", 90, L::One, {Depth100}, true, {50},
         [](C& c, const S&, int) { c.ReflectUpDown(); }},

        // Filters > Color
        {"Co1", 1, Col, M::Dialog, "Filters - Color - Colorize", 152, L::Three,
         {Hsl("Hue"), Hsl("Saturation"), Hsl("Luminance")}, true, {0, 0, 0},
         [](C& c, const S& s, int) { c.Colorize(s[0], s[1], s[2]); }},
        {"BrightnessContrast1", 2, Col, M::Dialog, "Filters - Color - Brightness / Contrast", 130, L::Two,
         {{{"Contrast:", -100, 100, 0}, {"Brightness:", -100, 100, 20}}}, true, {0, 0},
         [](C& c, const S& s, int) {
             c.AdjustContrast(s[0]);
             c.AdjustBrightness(s[1]);
         }},
        {"weakGamma1", 4, Col, M::Dialog, "Filters - Color - Tweak Gamma", 90, L::One, {{{"Depth:", 1, 30, 12}}},
         true, {15}, [](C& c, const S& s, int) { c.TweakGamma(float(s[0]) * 0.1f); }},
        {"GrayScale1", 5, Col, M::Dialog, "Filters - Color - Gray Scale", 90, L::One, {{{"Depth:", 1, 200, 100}}},
         true, {0},
         [](C& c, const S& s, int) {
             // Run s1 times; a pass that changes nothing would change nothing again, so the
             // rest are left out and a deep slider stays as quick as a shallow one.
             for (int i = 0; i < s[0]; ++i) {
                 const std::vector<uint8_t> before = c.Picture().Pixels;
                 c.Grayscale();
                 if (c.Picture().Pixels == before)
                     break;
             }
         }},
        AtOnce("SwapRedBlue1", 6, Col, [](C& c, const S&, int) { c.SwapRedBlue(); }),
        AtOnce("SwapGreenBlue1", 8, Col, [](C& c, const S&, int) { c.SwapGreenBlue(); }),
        AtOnce("SwapRedGreen1", 7, Col, [](C& c, const S&, int) { c.SwapRedGreen(); }),

        // Filters > Outline: the slider of Blur, Soften and Sharpen only triggers the preview.
        {"Blur1", 21, Col, M::Dialog, "Filters - Outline - Blur", 90, L::One, {{{"Depth:", 0, 10, 1}}}, true, {0},
         [](C& c, const S&, int) { c.Blur(); }},
        {"Soften1", 22, Col, M::Dialog, "Filters - Outline - Soften", 90, L::One, {{{"Depth:", 0, 10, 1}}}, true, {0},
         [](C& c, const S&, int) { c.Soften(); }},
        {"Sharpen1", 23, Col, M::Dialog, "Filters - Outline - Sharpen", 90, L::One, {{{"Depth:", 0, 300, 1}}}, true,
         {0}, [](C& c, const S&, int) { c.Sharpen(); }},
        AtOnce("HighPass1", 24, Col, [](C& c, const S&, int) { c.HighPass(); }),
        AtOnce("AntiAlias1", 25, Col, [](C& c, const S&, int) { c.AntiAlias(); }),
        AtOnce("FindEdges1", 26, Col, [](C& c, const S&, int) { c.FindEdges(); }),
        AtOnce("MackEllipse1", 27, Col, [](C& c, const S&, int colour) { c.MaskEllipse(colour); },
               M::AtOnceAfterColour),

        // Filters > Distort
        {"RippleSine1", 31, Geo, M::Dialog, "Filters - Distort - Sine", 90, L::One, {Depth20}, true, {1},
         [](C& c, const S& s, int) { c.RippleSine(s[0]); }},
        {"RippleTooth1", 32, Geo, M::Dialog, "Filters - Distort - Tooth", 90, L::One, {Depth20}, true, {1},
         [](C& c, const S& s, int) { c.RippleTooth(s[0]); }},
        {"RippleRandom1", 33, Geo, M::Dialog, "Filters - Distort - Random", 90, L::One, {Depth20}, true, {1},
         [](C& c, const S& s, int) { c.RippleRandom(s[0]); }},
        {"RippleTriangle1", 34, Geo, M::Dialog, "Filters - Distort - Triangle", 90, L::One, {Depth20}, true, {1},
         [](C& c, const S& s, int) { c.RippleTriangle(s[0]); }},
        {"ShakeUpDown1", 35, Geo, M::Dialog, "Filters - Distort - UpDown", 90, L::One, {{{"Depth", 1, 20, 1}}}, true,
         {30}, [](C& c, const S& s, int) { c.ShakeUpDown(float(s[0]) * 0.005f); }},
        {"ShakeLeftRight1", 36, Geo, M::Dialog, "Filters - Distort - LeftRight", 90, L::One, {{{"Depth", 1, 20, 1}}},
         true, {30}, [](C& c, const S& s, int) { c.ShakeLeftRight(float(s[0]) * 0.005f); }},
        AtOnce("ShakeUpLeft1", 37, Geo, [](C& c, const S&, int) { c.StretchUpLeft(); }),
        AtOnce("ShakeUpRight1", 38, Geo, [](C& c, const S&, int) { c.StretchUpRight(); }),
        AtOnce("ShakeDownLeft1", 39, Geo, [](C& c, const S&, int) { c.StretchDownLeft(); }),
        AtOnce("ShakeDownRight1", 40, Geo, [](C& c, const S&, int) { c.StretchDownRight(); }),
        {"Wind1", 41, Geo, M::Dialog, "Filters - Distort - Wind", 90, L::One, {{{"Depth", 1, 50, 20}}}, true, {8},
         [](C& c, const S& s, int) { c.Wind(s[0]); }},
        {"Swirl1", 42, Geo, M::Dialog, "Filters - Distort - Swirl", 90, L::One, {{{"Depth", 1, 300, 150}}}, true,
         {8}, [](C& c, const S& s, int) { c.Swirl(s[0]); }},
        // The slider never goes below 1, so the strength runs from 50 down to 0.5.
        {"FishEye1", 43, Geo, M::Dialog, "Filters - Distort - Fish Eye", 90, L::One, {{{"Depth", 1, 100, 50}}}, true,
         {90}, [](C& c, const S& s, int) { c.FishEye(50.0f / float(std::max(1, s[0]))); }},
        {"exturedClass1", 44, Geo, M::Dialog, "Filters - Distort - Textured Glass", 130, L::Two,
         {{{"Scale", 1, 20, 10}, {"Chaos", 1, 20, 10}}}, true, {5, 5},
         [](C& c, const S& s, int) { c.TexturedGlass(float(s[0]), s[1]); }},

        // Filters > Stylize
        AtOnce("Emboss11", 341, Col, [](C& c, const S&, int) { c.Emboss1(); }),
        AtOnce("Emboss21", 342, Col, [](C& c, const S&, int) { c.Emboss2(); }),
        AtOnce("Emboss31", 343, Col, [](C& c, const S&, int) { c.Emboss3(); }),
        // Diffuse scatters pixels by up to its depth; its Undo leaves the slider alone.
        {"Diffuse1", 344, Col, M::Dialog, "Filters - Stylize - Diffuse", 90, L::One, {{{"Depth:", 1, 4, 2}}}, false,
         {}, [](C& c, const S& s, int) { c.Spray(s[0]); }},
        AtOnce("Neontrace1", 46, Col, [](C& c, const S&, int) { c.NeonTrace(); }),
        {"Posterize1", 47, Col, M::Dialog, "Filters - Stylize - Posterize", 90, L::One, {{{"Depth:", 0, 3, 1}}}, true,
         {1}, [](C& c, const S& s, int) { c.Posterize(s[0]); }},
        {"Solarize1", 48, Col, M::Dialog, "Filters - Stylize - Solarize", 90, L::One, {{{"Depth:", 1, 255, 1}}}, true,
         {100}, [](C& c, const S& s, int) { c.Solarize(s[0]); }},
        {"Africa1", 56, Col, M::Dialog, "Filters - Stylize - Spray", 90, L::One, {Depth20}, true, {1},
         [](C& c, const S& s, int) { c.Spray(s[0]); }},
        AtOnce("Negative1", 57, Col, [](C& c, const S&, int) { c.Negative(); }),

        // Filters > Buttonize
        {"ButtonizeSmooth1", 51, Col, M::Dialog, "Filters - Buttonize - Smooth", 90, L::One, {Buttonize}, true, {4},
         [](C& c, const S& s, int) { c.ButtonizeSmooth(s[0]); }},
        {"ButtonizeSimple1", 52, Col, M::Dialog, "Filters - Buttonize - Simple", 130, L::Two, {Buttonize, Weight},
         true, {4, 4}, [](C& c, const S& s, int) { c.ButtonizeSimple(s[0], s[1]); }},
        {"ButtonizeEllipse11", 53, Col, M::Dialog, "Filters - Buttonize - Ellipse1", 130, L::Two, {Buttonize, Weight},
         true, {4, 4}, [](C& c, const S& s, int) { c.ButtonizeEllipse1(s[0], s[1]); }},
        {"ButtonizeEllipse21", 54, Col, M::Dialog, "Filters - Buttonize - Ellipse2", 130, L::Two, {Buttonize, Weight},
         true, {4, 4}, [](C& c, const S& s, int) { c.ButtonizeEllipse2(s[0], s[1]); }},
        {"ButtonizeEllipse31", 55, Col, M::Dialog, "Filters - Buttonize - Ellipse3", 130, L::Two, {Buttonize, Weight},
         true, {4, 4}, [](C& c, const S& s, int) { c.ButtonizeEllipse3(s[0], s[1]); }},
    };
    // clang-format on
    return table;
}

const TEffectSpec* FindEffect(int code)
{
    for (const TEffectSpec& e : EffectTable())
        if (e.Code == code)
            return &e;
    return nullptr;
}

const TEffectSpec* FindEffectItem(const QString& component)
{
    for (const TEffectSpec& e : EffectTable())
        if (component.compare(QLatin1String(e.Component), Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

int SliderCount(TSliderLayout layout)
{
    switch (layout) {
    case TSliderLayout::None: return 0;
    case TSliderLayout::One: return 1;
    case TSliderLayout::Two:
    case TSliderLayout::Mosaic: return 2;
    case TSliderLayout::Three: return 3;
    }
    return 0;
}

bool IsGeometricEffect(int code)
{
    return (code >= 30 && code <= 45) || (code >= 403 && code <= 408);
}

TRGBABuffer ComputeEffect(const TEffectSpec& spec, ImagingControl& control, const TRGBABuffer& source,
                          const TSliderPositions& s, int maskColour, uint32_t seed)
{
    // Every result starts again from the source, never from an earlier result.
    control.LoadPicture(source);
    control.SetRandomSeed(seed);
    spec.Run(control, s, maskColour);
    TRGBABuffer result = control.Picture();
    if (result.Width != source.Width || result.Height != source.Height || result.Pixels.size() != source.Pixels.size())
        return {};
    for (size_t i = 0; i + 3 < result.Pixels.size(); i += 4) {
        uint8_t* p = result.Pixels.data() + i;
        if (!spec.Geometric)
            p[3] = source.Pixels[i + 3];
        if (p[3] == 0)
            p[0] = p[1] = p[2] = 0;
    }
    return result;
}
