// Generates the pictures of the built-in skin styles (compiled into the skin library as Qt
// resources) and of the default skin file. Every picture is drawn by our own rasterizer, so the
// output is the same on every machine.
//
//   skinart OUTDIR [--sheet SHEET.png [--scale N] [--only NAME_PREFIX]]
//
// writes OUTDIR/builtin/NAME.bmp (and MAINICON.ico), OUTDIR/skinart.qrc listing them under the
// prefix /skin, OUTDIR/ziroz/NAME.bmp for the skin-file packer, OUTDIR/named/FILE.skin with
// OUTDIR/named/PREFIX/NAME.bmp for each skin file that comes with the program, and
// OUTDIR/samples/sampleN.bmp, the skin chooser's sixteen samples.
//
// Sizes and frame counts are fixed by the controls' layout; where a picture is drawn with a
// transparent colour its outside is 0xFF00FF (also in the corner pixel that the automatic
// transparent colour takes), and pictures drawn opaque are flattened onto the colour they sit on.

#include "raster.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

const RGBA Fuchsia = Rgb(0xFF00FF);
const RGBA White = Rgb(0xFFFFFF);
const RGBA Clear = {0, 0, 0, 0};

// Picture sizes (whole strip) per style; frame counts are fixed per item.
struct Sizes {
    QSize Button, Check, Radio, TitleBtn, TitleLeft, TitleClient, TitleRight, Progress, TrackBar, Slider,
        SliderV, ScrollBtn, ScrollSlider, CheckList, ScrollButton, Tab, TabLine, SideHandle, SideBar;
};

enum class TitleButtonShape { Circle, RoundSquare };

struct Look {
    QString Prefix;
    Sizes Size;
    // Theme colours as the screen shows them (0xRRGGBB).
    RGBA FormBg, ControlBg, Border, ScrollBg;
    // Title bar: gradient stops as fractions of its height.
    std::vector<std::pair<float, RGBA>> Title;
    RGBA TitleEdge;
    int TitleRound = 0;
    bool TitleGloss = false;
    int TitleBtnTop = 2;
    bool TitleBtnTransparent = false;
    TitleButtonShape TitleBtnShape = TitleButtonShape::RoundSquare;
    RGBA TitleBtnFace, TitleBtnClose, TitleBtnGlyph, TitleBtnRim;
    bool TitleBtnColoured = false; // one colour per kind, glyphs only on hover
    // Push buttons.
    RGBA BtnTop, BtnBottom, BtnBorder, HotTop, HotBottom, HotBorder, DownTop, DownBottom, DownBorder;
    float BtnRadius = 3;
    bool BtnGloss = false;
    bool BtnTransparent = false;
    bool HotRing = false; // hover shows as an inner ring
    // Small parts.
    RGBA Accent, AccentDark, Glyph, Face, FaceBorder, BoxFill;
};

std::vector<std::pair<float, RGBA>> Scale(const std::vector<std::pair<float, RGBA>>& stops, float h)
{
    std::vector<std::pair<float, RGBA>> out;
    for (const auto& [t, c] : stops)
        out.push_back({t * h, c});
    return out;
}

RGBA Hot(const RGBA& c) { return Lighter(c, 0.25f); }
RGBA Down(const RGBA& c) { return Darker(c, 0.2f); }
RGBA Disabled(const RGBA& c) { return Lighter(Grey(c, 0.8f), 0.45f); }

void SetCorners(Pic& p, const RGBA& c)
{
    p.At(0, 0) = p.At(p.W() - 1, 0) = p.At(0, p.H() - 1) = p.At(p.W() - 1, p.H() - 1) = c;
}

// ---------------------------------------------------------------------------------------------
// Glyphs, in a box of side s at (x, y).

enum class Sym { ControlBox, Help, Max, Restore, Min, Close };

void DrawSym(Pic& p, Sym sym, float x, float y, float s, const RGBA& c)
{
    const float m = s * 0.3f, w = std::max(1.4f, s * 0.12f);
    const float l = x + m, r = x + s - m, t = y + m, b = y + s - m;
    switch (sym) {
    case Sym::Close:
        p.Fill(Union(Stroke({{l, t}, {r, b}}, w * 1.2f), Stroke({{r, t}, {l, b}}, w * 1.2f)), c);
        break;
    case Sym::Min:
        p.Fill(Stroke({{l, b - w / 2}, {r, b - w / 2}}, w * 1.3f), c);
        break;
    case Sym::Max:
        p.Fill(Minus(RoundRect(l - 0.5f, t - 0.5f, r + 0.5f, b + 0.5f, 0.5f),
                     RoundRect(l + w * 0.7f, t + w * 1.6f, r - w * 0.7f, b - w * 0.7f, 0)),
               c);
        break;
    case Sym::Restore: {
        const float d = s * 0.14f;
        Shape back = Minus(RoundRect(l + d, t - 0.5f, r + 0.5f, b - d, 0.5f),
                           RoundRect(l + d + w * 0.6f, t + w * 1.2f, r - w * 0.6f, b - d - w * 0.6f, 0));
        Shape front = RoundRect(l - 0.5f, t + d, r - d, b + 0.5f, 0.5f);
        p.Fill(Minus(back, front), c);
        p.Fill(Minus(front, RoundRect(l + w * 0.6f, t + d + w * 1.3f, r - d - w * 0.6f, b - w * 0.6f, 0)), c);
        break;
    }
    case Sym::Help: {
        const float cx = x + s / 2, r0 = s * 0.16f, cy = y + s * 0.38f;
        std::vector<std::pair<float, float>> arc;
        for (int i = 0; i <= 10; ++i) {
            const float a = float(M_PI) * (1.0f - 1.3f * float(i) / 10.f);
            arc.push_back({cx + r0 * std::cos(a), cy - r0 * std::sin(a)});
        }
        arc.push_back({cx, y + s * 0.62f});
        p.Fill(Stroke(arc, w), c);
        p.Fill(Ellipse(cx, y + s * 0.76f, w * 0.6f, w * 0.6f), c);
        break;
    }
    case Sym::ControlBox:
        p.Fill(Polygon({{l, t + s * 0.1f}, {r, t + s * 0.1f}, {x + s / 2, b - s * 0.05f}}), c);
        break;
    }
}

void Arrow(Pic& p, float cx, float cy, float size, int dir, const RGBA& c)
{
    // dir: 0 up, 1 down, 2 left, 3 right
    const float a = size, h = size * 0.55f;
    std::vector<std::pair<float, float>> pts;
    switch (dir) {
    case 0: pts = {{cx - a / 2, cy + h / 2}, {cx + a / 2, cy + h / 2}, {cx, cy - h / 2}}; break;
    case 1: pts = {{cx - a / 2, cy - h / 2}, {cx + a / 2, cy - h / 2}, {cx, cy + h / 2}}; break;
    case 2: pts = {{cx + h / 2, cy - a / 2}, {cx + h / 2, cy + a / 2}, {cx - h / 2, cy}}; break;
    default: pts = {{cx - h / 2, cy - a / 2}, {cx - h / 2, cy + a / 2}, {cx + h / 2, cy}}; break;
    }
    p.Fill(Polygon(pts), c);
}

void CheckMark(Pic& p, float x, float y, float s, const RGBA& c, float width)
{
    p.Fill(Stroke({{x + s * 0.2f, y + s * 0.52f}, {x + s * 0.42f, y + s * 0.74f}, {x + s * 0.8f, y + s * 0.26f}}, width), c);
}

// ---------------------------------------------------------------------------------------------
// Title bar.

Pic TitlePiece(const Look& k, int w, int h, bool leftEdge, bool rightEdge)
{
    Pic p(w, h, k.TitleEdge);
    const float r = float(k.TitleRound);
    const float x0 = leftEdge ? 1.f : -float(h) * 2, x1 = rightEdge ? float(w) - 1 : float(w) + float(h) * 2;
    Shape inner = r > 0 ? TopRoundRect(x0, 1, x1, float(h) + 4 * r, std::max(1.f, r - 1)) : RoundRect(x0, 1, x1, float(h), 0);
    p.Fill(inner, VGrad(Scale(k.Title, float(h))));
    if (k.TitleGloss)
        p.Fill(Intersect(inner, RoundRect(-999, 0, 9999, float(h) * 0.48f, 0)),
               VGrad({{0, Rgb(0xFFFFFF, 120)}, {float(h) * 0.48f, Rgb(0xFFFFFF, 40)}}));
    // A light line under the top border gives the bar some depth.
    p.Fill(Intersect(inner, RoundRect(-999, 1, 9999, 2, 0)), Rgb(0xFFFFFF, 70));
    return p;
}

// The row band that opaque title buttons sit on, so that they blend with the bar behind them.
Pic TitleBand(const Look& k, int w, int size)
{
    const int h = k.Size.TitleClient.height();
    Pic client = TitlePiece(k, 1, h, false, false);
    Pic band(w, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < w; ++x)
            band.At(x, y) = client.At(0, std::min(h - 1, k.TitleBtnTop + y));
    return band;
}

Pic TitleButton(const Look& k, Sym sym, int state, int s)
{
    static const uint32_t kindColours[] = {0xA7ABB2, 0x6E9BD8, 0x5DBB46, 0x5DBB46, 0xE9B83B, 0xE25A4F};
    RGBA face = sym == Sym::Close ? k.TitleBtnClose : k.TitleBtnFace;
    if (k.TitleBtnColoured)
        face = Rgb(kindColours[int(sym)]);
    if (state == 1)
        face = Hot(face);
    else if (state == 2)
        face = Down(face);
    Pic p(s, s);
    const float fs = float(s);
    Shape outer = k.TitleBtnShape == TitleButtonShape::Circle ? Ellipse(fs / 2, fs / 2, fs / 2 - 0.5f, fs / 2 - 0.5f)
                                                              : RoundRect(0.5f, 0.5f, fs - 0.5f, fs - 0.5f, 3);
    Shape inner = k.TitleBtnShape == TitleButtonShape::Circle ? Ellipse(fs / 2, fs / 2, fs / 2 - 1.5f, fs / 2 - 1.5f)
                                                              : RoundRect(1.5f, 1.5f, fs - 1.5f, fs - 1.5f, 2);
    p.Fill(outer, k.TitleBtnRim);
    p.Fill(inner, VGrad({{0, Lighter(face, 0.35f)}, {fs * 0.5f, face}, {fs, Darker(face, 0.12f)}}));
    p.Fill(Intersect(inner, RoundRect(0, 0, fs, fs * 0.45f, 0)), VGrad({{0, Rgb(0xFFFFFF, 110)}, {fs * 0.45f, Rgb(0xFFFFFF, 20)}}));
    RGBA glyph = k.TitleBtnGlyph;
    if (sym == Sym::Close && !k.TitleBtnColoured && k.TitleBtnFace.r > 0.8f)
        glyph = Rgb(0xC0392B);
    if (!k.TitleBtnColoured || state > 0)
        DrawSym(p, sym, 0, 0, fs, k.TitleBtnColoured ? Rgb(0x4A2A20, 200) : glyph);
    if (k.TitleBtnTransparent)
        return p.Keyed(Fuchsia, Mix(k.Title.front().second, k.Title.back().second, 0.5f));
    Pic band = TitleBand(k, s, s);
    band.Blit(p, 0, 0);
    return band;
}

// ---------------------------------------------------------------------------------------------
// Controls.

Pic Button(const Look& k, int state, int w, int h)
{
    RGBA top = k.BtnTop, bottom = k.BtnBottom, border = k.BtnBorder;
    if (state == 1 && !k.HotRing)
        top = k.HotTop, bottom = k.HotBottom, border = k.HotBorder;
    if (state == 2)
        top = k.DownTop, bottom = k.DownBottom, border = k.DownBorder;
    const float fw = float(w), fh = float(h), r = std::min(k.BtnRadius, fh / 2 - 0.5f);
    Pic p(w, h);
    Shape inner = RoundRect(1.5f, 1.5f, fw - 1.5f, fh - 1.5f, std::max(0.f, r - 1));
    p.Fill(RoundRect(0.5f, 0.5f, fw - 0.5f, fh - 0.5f, r), border);
    p.Fill(inner, VGrad({{1, top}, {fh - 1, bottom}}));
    if (state == 1 && k.HotRing) {
        p.Fill(Minus(inner, RoundRect(3.5f, 3.5f, fw - 3.5f, fh - 3.5f, std::max(0.f, r - 3))),
               VGrad({{1, k.HotTop}, {fh - 1, k.HotBottom}}));
    }
    if (k.BtnGloss)
        p.Fill(Intersect(inner, RoundRect(0, 0, fw, fh * 0.5f, 0)), VGrad({{1, Rgb(0xFFFFFF, 150)}, {fh * 0.5f, Rgb(0xFFFFFF, 50)}}));
    if (state == 2)
        p.Fill(Intersect(inner, RoundRect(0, 0, fw, 3, 0)), Rgb(0x000000, 30));
    return k.BtnTransparent ? p.Keyed(Fuchsia, k.FormBg) : p.Flatten(k.ControlBg);
}

// frame: 1 checked, 2 unchecked, 3 checked disabled, 4 unchecked disabled
Pic CheckFrame(const Look& k, int frame, int w, int h, bool radio, int box)
{
    const bool checked = frame == 1 || frame == 3, disabled = frame >= 3;
    auto st = [&](RGBA c) { return disabled ? Disabled(c) : c; };
    Pic p(w, h);
    const float b = float(box), x = float(w - box) / 2, y = float(h - box) / 2;
    Shape outer = radio ? Ellipse(x + b / 2, y + b / 2, b / 2 - 0.1f, b / 2 - 0.1f) : RoundRect(x, y, x + b, y + b, 1.5f);
    Shape inner = radio ? Ellipse(x + b / 2, y + b / 2, b / 2 - 1.1f, b / 2 - 1.1f) : RoundRect(x + 1, y + 1, x + b - 1, y + b - 1, 0.5f);
    p.Fill(outer, st(k.FaceBorder));
    const bool filled = checked && k.BtnGloss; // glossy styles fill a checked box with the accent
    if (filled)
        p.Fill(inner, VGrad({{y, st(Lighter(k.Accent, 0.3f))}, {y + b, st(k.AccentDark)}}));
    else
        p.Fill(inner, VGrad({{y, st(Darker(k.BoxFill, 0.12f))}, {y + b, st(k.BoxFill)}}));
    if (checked) {
        const RGBA mark = st(filled ? White : k.Accent);
        if (radio)
            p.Fill(Ellipse(x + b / 2, y + b / 2, b * 0.2f, b * 0.2f), mark);
        else
            CheckMark(p, x, y, b, mark, std::max(1.6f, b * 0.15f));
    }
    return radio ? p.Keyed(Fuchsia, k.ControlBg) : p.Flatten(k.ControlBg);
}

// Stretched along the bar, so it changes only from top to bottom; a wide picture gets a glossy
// band over its upper half.
Pic Progress(const Look& k, int w, int h, bool gloss)
{
    Pic p(w, h);
    const float fw = float(w), fh = float(h);
    p.Fill(RoundRect(0, 0, fw, fh, 0), VGrad({{0, Lighter(k.Accent, 0.45f)}, {fh * 0.45f, k.Accent}, {fh, k.AccentDark}}));
    if (gloss)
        p.Fill(RoundRect(0, 1, fw, fh * 0.45f, 0), VGrad({{1, Rgb(0xFFFFFF, 110)}, {fh * 0.45f, Rgb(0xFFFFFF, 30)}}));
    return p.Flatten(k.ControlBg);
}

Pic TrackBar(const Look& k, int w, int h)
{
    const float fw = float(w), fh = float(h), r = std::min(fh / 2, 2.5f);
    Pic p(w, h);
    p.Fill(RoundRect(0.5f, 0, fw - 0.5f, fh, r), Darker(k.FaceBorder, 0.1f));
    if (h > 2)
        p.Fill(RoundRect(1.5f, 1, fw - 1.5f, fh - 1, std::max(0.f, r - 1)),
               VGrad({{1, Darker(k.ControlBg, 0.18f)}, {fh - 1, Lighter(k.ControlBg, 0.5f)}}));
    return p.Keyed(Fuchsia, k.FormBg);
}

Pic Slider(const Look& k, int w, int h, bool vertical)
{
    const float fw = float(w), fh = float(h);
    Pic p(w, h);
    auto shape = [&](float in) {
        if (vertical) {
            const float tip = fh / 2;
            return Polygon({{in, in}, {fw - tip - in * 0.4f, in}, {fw - in * 1.4f, fh / 2}, {fw - tip - in * 0.4f, fh - in}, {in, fh - in}});
        }
        const float tip = fw / 2;
        return Polygon({{in, in}, {fw - in, in}, {fw - in, fh - tip - in * 0.4f}, {fw / 2, fh - in * 1.4f}, {in, fh - tip - in * 0.4f}});
    };
    p.Fill(shape(0.3f), k.FaceBorder);
    const RGBA top = k.BtnGloss ? Lighter(k.Accent, 0.35f) : Lighter(k.BtnTop, 0.2f);
    const RGBA bottom = k.BtnGloss ? k.AccentDark : k.BtnBottom;
    p.Fill(shape(1.3f), vertical ? HGrad({{0, top}, {fw, bottom}}) : VGrad({{0, top}, {fh, bottom}}));
    if (k.HotRing) // the Luna look marks the thumb's point in green
        p.Fill(Intersect(shape(1.3f), vertical ? RoundRect(fw - fh / 2 - 2, 0, fw, fh, 0) : RoundRect(0, fh - fw / 2 - 2, fw, fh, 0)),
               k.Accent);
    return vertical ? p.Flatten(k.ControlBg) : p.Keyed(Fuchsia, k.FormBg);
}

Pic SmallButton(const Look& k, int state, int w, int h, int arrowDir, const RGBA& under)
{
    const float fw = float(w), fh = float(h);
    RGBA top = Lighter(k.Face, 0.6f), bottom = k.Face, border = k.FaceBorder;
    if (state == 1)
        top = Lighter(k.Face, 0.85f), bottom = Lighter(k.Face, 0.3f), border = k.HotRing ? k.FaceBorder : k.HotBorder;
    else if (state == 2)
        top = Darker(k.Face, 0.18f), bottom = Darker(k.Face, 0.05f);
    Pic p(w, h);
    p.Fill(RoundRect(0.5f, 0.5f, fw - 0.5f, fh - 0.5f, 2.5f), border);
    p.Fill(RoundRect(1.5f, 1.5f, fw - 1.5f, fh - 1.5f, 1.5f),
           arrowDir >= 2 ? VGrad({{1, top}, {fh - 1, bottom}}) : HGrad({{1, top}, {fw - 1, bottom}}));
    if (k.BtnGloss)
        p.Fill(RoundRect(1.5f, 1.5f, fw - 1.5f, fh * 0.5f, 1.5f), Rgb(0xFFFFFF, 70));
    Arrow(p, fw / 2, fh / 2, std::min(fw, fh) * 0.42f, arrowDir, k.Glyph);
    Pic out = p.Flatten(under);
    SetCorners(out, under);
    return out;
}

Pic ScrollSlider(const Look& k, int fw, int h)
{
    const float w = float(fw * 3), fh = float(h), r = std::min(float(fw) - 1, fh / 2 - 1.5f);
    Pic p(fw * 3, h);
    p.Fill(RoundRect(0.5f, 1, w - 0.5f, fh - 1, r), k.FaceBorder);
    p.Fill(RoundRect(1.5f, 2, w - 1.5f, fh - 2, std::max(0.f, r - 1)),
           k.BtnGloss ? VGrad({{2, Lighter(k.Accent, 0.45f)}, {fh * 0.5f, k.Accent}, {fh - 2, Lighter(k.Accent, 0.2f)}})
                      : VGrad({{2, Lighter(k.Face, 0.55f)}, {fh - 2, Darker(k.Face, 0.04f)}}));
    Pic out = p.Flatten(k.ScrollBg);
    SetCorners(out, k.ScrollBg);
    return out;
}

Pic TabFrame(const Look& k, bool active, int w, int h)
{
    const float fw = float(w), fh = float(h), r = std::min(float(w / 3), 5.f);
    Pic p(w, h);
    p.Fill(TopRoundRect(0.5f, 0.5f, fw - 0.5f, fh + 3, r), k.FaceBorder);
    const RGBA top = active ? Lighter(k.ControlBg, 0.7f) : Darker(k.ControlBg, 0.06f);
    const RGBA bottom = active ? k.ControlBg : Darker(k.ControlBg, 0.15f);
    Shape inner = TopRoundRect(1.5f, 1.5f, fw - 1.5f, fh + 3, std::max(0.f, r - 1));
    p.Fill(inner, VGrad({{1, top}, {fh, bottom}}));
    if (active && k.HotRing)
        p.Fill(Intersect(inner, RoundRect(0, 0, fw, 3.5f, 0)), k.HotTop);
    return p.Keyed(Fuchsia, k.ControlBg);
}

Pic TabLine(const Look& k, int w, int h)
{
    Pic p(w, h, k.ControlBg);
    p.Fill(RoundRect(0, 0, float(w), 1, 0), k.FaceBorder);
    return p.Flatten(k.ControlBg);
}

Pic SideHandle(const Look& k, int w, int h)
{
    const float fw = float(w), fh = float(h);
    Pic p(w, h);
    p.Fill(RoundRect(0.5f, 0.5f, fw - 0.5f, fh - 0.5f, fw / 2 - 0.5f), k.FaceBorder);
    p.Fill(RoundRect(1.5f, 1.5f, fw - 1.5f, fh - 1.5f, fw / 2 - 1.5f), HGrad({{1, Lighter(k.BtnTop, 0.3f)}, {fw - 1, k.BtnBottom}}));
    for (int i = -3; i <= 3; ++i)
        p.Fill(RoundRect(2, fh / 2 + float(i) * 4 - 0.5f, fw - 2, fh / 2 + float(i) * 4 + 0.5f, 0), k.FaceBorder);
    return p.Flatten(k.FormBg);
}

Pic SideBar(const Look& k, int w, int h)
{
    Pic p(w, h);
    const float fh = float(h);
    p.Fill(RoundRect(0, 0, float(w), fh, 0), VGrad({{0, Lighter(k.Accent, 0.55f)}, {fh * 0.5f, Lighter(k.Accent, 0.15f)}, {fh, k.AccentDark}}));
    return p.Flatten(k.FormBg);
}

// ---------------------------------------------------------------------------------------------

std::vector<Pic> Frames(int count, const std::function<Pic(int)>& make)
{
    std::vector<Pic> out;
    for (int i = 1; i <= count; ++i)
        out.push_back(make(i));
    return out;
}

// Decorations that make a wide left title piece more than a gradient.
void DecorateTitleLeft(const Look& k, Pic& p)
{
    const float h = float(p.H());
    if (k.Prefix == "PROTEIN") {
        // A faint chain of linked beads runs out towards the right end of the piece.
        const RGBA bead = Rgb(0xFFFFFF, 46);
        for (int i = 0; i < 9; ++i) {
            const float cx = 250.f + float(i) * 21.f, cy = h * (0.45f + 0.18f * std::sin(float(i) * 1.3f));
            p.Fill(Ellipse(cx, cy, 4.2f, 4.2f), bead);
            if (i > 0) {
                const float px = cx - 21.f, py = h * (0.45f + 0.18f * std::sin(float(i - 1) * 1.3f));
                p.Fill(Stroke({{px, py}, {cx, cy}}, 1.3f), bead);
            }
        }
    } else if (k.Prefix == "BLUEGLASS") {
        p.Fill(Ellipse(float(p.W()) * 0.35f, -h * 0.55f, float(p.W()) * 0.55f, h * 0.95f), Rgb(0xFFFFFF, 34));
    }
}

struct Output {
    explicit Output(const QString& dir) : Dir(dir) {}
    QString Dir;
    QStringList Files; // relative to Dir's parent, for the qrc
    std::vector<std::pair<QString, Pic>> Sheet;
    bool Ok = true;

    void Bmp(const QString& name, const Pic& p)
    {
        Ok &= WriteFileIfChanged(Dir + "/" + name + ".bmp", BmpBytes(p));
        Files << QDir(Dir).dirName() + "/" + name + ".bmp";
        Sheet.push_back({name, p});
    }
};

void StylePictures(const Look& k, Output& out, bool ownScrollButton)
{
    const Sizes& z = k.Size;
    auto name = [&](const char* suffix) { return k.Prefix + "_" + suffix; };

    const int bw = z.Button.width() / 3;
    out.Bmp(name("BUTTON"), Strip(Frames(3, [&](int i) { return Button(k, i - 1, bw, z.Button.height()); })));

    const int box = k.Size.Check.height() >= 15 ? 13 : k.Size.Check.height();
    out.Bmp(name("CHECKBOX"), Strip(Frames(4, [&](int i) {
                return CheckFrame(k, i, z.Check.width() / 4, z.Check.height(), false, box);
            })));
    out.Bmp(name("RADIOBUTTON"), Strip(Frames(4, [&](int i) {
                return CheckFrame(k, i, z.Radio.width() / 4, z.Radio.height(), true, box);
            })));

    const int tb = z.TitleBtn.width() / 18;
    std::vector<Pic> tbf;
    for (Sym s : {Sym::ControlBox, Sym::Help, Sym::Max, Sym::Restore, Sym::Min, Sym::Close})
        for (int state = 0; state < 3; ++state)
            tbf.push_back(TitleButton(k, s, state, tb));
    out.Bmp(name("TITLEBTN"), Strip(tbf));

    Pic left = TitlePiece(k, z.TitleLeft.width(), z.TitleLeft.height(), true, false);
    DecorateTitleLeft(k, left);
    out.Bmp(name("TITLE_LEFT"), left.Flatten(k.TitleEdge));
    out.Bmp(name("TITLE_CLIENT"), TitlePiece(k, z.TitleClient.width(), z.TitleClient.height(), false, false).Flatten(k.TitleEdge));
    // A one-pixel right piece has no room for a frame edge; the form paints the border there.
    out.Bmp(name("TITLE_RIGHT"),
            TitlePiece(k, z.TitleRight.width(), z.TitleRight.height(), false, z.TitleRight.width() > 1).Flatten(k.TitleEdge));

    out.Bmp(name("PROGRESSBAR"), Progress(k, z.Progress.width(), z.Progress.height(), z.Progress.width() > 6));
    out.Bmp(name("TRACKBAR_BAR"), TrackBar(k, z.TrackBar.width(), z.TrackBar.height()));
    out.Bmp(name("TRACKBAR_SLIDER"), Slider(k, z.Slider.width(), z.Slider.height(), false));
    out.Bmp(name("TRACKBAR_SLIDER_V"), Slider(k, z.SliderV.width(), z.SliderV.height(), true));

    const int sbw = z.ScrollBtn.width() / 6;
    out.Bmp(name("SCROLLBAR_BUTTON"), Strip(Frames(6, [&](int i) {
                return SmallButton(k, (i - 1) % 3, sbw, z.ScrollBtn.height(), i <= 3 ? 0 : 1, k.ScrollBg);
            })));
    out.Bmp(name("SCROLLBAR_TRACK"), ScrollSlider(k, z.ScrollSlider.width() / 3, z.ScrollSlider.height()));
    out.Bmp(name("CHECKLIST"), Strip(Frames(4, [&](int i) {
                Look plain = k;
                plain.ControlBg = White;
                return CheckFrame(plain, i, z.CheckList.width() / 4, z.CheckList.height(), false, z.CheckList.height() - 1);
            })));
    if (ownScrollButton)
        out.Bmp(k.Prefix == "MORE" ? QString("MORE_SCROLLBUTTON") : name("SCROLLBUTTON"), Strip(Frames(4, [&](int i) {
                    return SmallButton(k, (i - 1) % 2, z.ScrollButton.width() / 4, z.ScrollButton.height(), i <= 2 ? 3 : 2, k.ControlBg);
                })));
    out.Bmp(name("TAB"), Strip({TabFrame(k, true, z.Tab.width() / 2, z.Tab.height()), TabFrame(k, false, z.Tab.width() / 2, z.Tab.height())}));
    out.Bmp(name("TAB_LINE"), TabLine(k, z.TabLine.width(), z.TabLine.height()));
    out.Bmp(name("SIDECHENNEL_HANDLE"), SideHandle(k, z.SideHandle.width(), z.SideHandle.height()));
    out.Bmp(name("SIDECHENNEL_BAR"), SideBar(k, z.SideBar.width(), z.SideBar.height()));
}

// ---------------------------------------------------------------------------------------------
// The looks.

Look MacOSLook()
{
    Look k;
    k.Prefix = "MACOS";
    k.Size = {{252, 23}, {60, 17}, {64, 17}, {306, 17}, {48, 23}, {49, 23}, {48, 23}, {13, 10}, {45, 5}, {11, 20},
              {19, 11}, {96, 22}, {33, 16}, {40, 11}, {72, 18}, {36, 27}, {17, 7}, {7, 84}, {1, 21}};
    k.FormBg = k.ControlBg = Rgb(0xE7E7E7);
    k.Border = Rgb(0x7F7F7F);
    k.ScrollBg = Rgb(0xC9C9C9);
    k.Title = {{0, Rgb(0xF4F4F4)}, {0.5f, Rgb(0xE2E2E2)}, {1, Rgb(0xC8C8C8)}};
    k.TitleEdge = Rgb(0x7F7F7F);
    k.TitleBtnTop = 4;
    k.TitleBtnShape = TitleButtonShape::Circle;
    k.TitleBtnColoured = true;
    k.TitleBtnRim = Rgb(0x6F6F6F);
    k.BtnTop = Rgb(0xFDFDFD), k.BtnBottom = Rgb(0xD6D6D6), k.BtnBorder = Rgb(0x8A8A8A);
    k.HotTop = Rgb(0xD9E9FB), k.HotBottom = Rgb(0x9DC3EE), k.HotBorder = Rgb(0x5B86B8);
    k.DownTop = Rgb(0x7DB2EC), k.DownBottom = Rgb(0x2F72C6), k.DownBorder = Rgb(0x29579A);
    k.BtnRadius = 11;
    k.BtnGloss = true;
    k.BtnTransparent = true;
    k.Accent = Rgb(0x3D86DA), k.AccentDark = Rgb(0x1F5CB0), k.Glyph = Rgb(0x3A3A3A);
    k.Face = Rgb(0xEDEDED), k.FaceBorder = Rgb(0x8C8C8C), k.BoxFill = Rgb(0xFFFFFF);
    return k;
}

Look WinXPLook()
{
    Look k;
    k.Prefix = "WINXP";
    k.Size = {{54, 21}, {52, 13}, {52, 13}, {378, 21}, {35, 29}, {37, 29}, {35, 29}, {6, 10}, {45, 8}, {11, 21},
              {22, 11}, {96, 17}, {21, 16}, {44, 11}, {72, 18}, {18, 18}, {8, 1}, {8, 86}, {1, 21}};
    k.FormBg = k.ControlBg = Rgb(0xEFEBDE);
    k.Border = Rgb(0x002CC8);
    k.ScrollBg = Rgb(0xF9F9F9);
    k.Title = {{0, Rgb(0x3D8CF5)}, {0.18f, Rgb(0x0A5FE6)}, {0.55f, Rgb(0x0054E3)}, {0.85f, Rgb(0x0046D2)}, {1, Rgb(0x003CC0)}};
    k.TitleEdge = Rgb(0x002CC8);
    k.TitleRound = 7;
    k.TitleBtnTop = 5;
    k.TitleBtnFace = Rgb(0x2E76F0), k.TitleBtnClose = Rgb(0xE2512E), k.TitleBtnGlyph = White, k.TitleBtnRim = Rgb(0xF2F6FF);
    k.BtnTop = Rgb(0xFFFFFF), k.BtnBottom = Rgb(0xE6E3D6), k.BtnBorder = Rgb(0x003C74);
    k.HotTop = Rgb(0xFFE9B0), k.HotBottom = Rgb(0xF4B43C), k.HotBorder = Rgb(0x003C74);
    k.DownTop = Rgb(0xE0DED3), k.DownBottom = Rgb(0xF2F1EA), k.DownBorder = Rgb(0x003C74);
    k.BtnRadius = 3;
    k.HotRing = true;
    k.Accent = Rgb(0x21A121), k.AccentDark = Rgb(0x17861B), k.Glyph = Rgb(0x4D6185);
    k.Face = Rgb(0xC1D3FB), k.FaceBorder = Rgb(0x1C5180), k.BoxFill = Rgb(0xFFFFFF);
    return k;
}

Look DeepBlueLook()
{
    Look k;
    k.Prefix = "DEEPBLUE";
    k.Size = {{222, 21}, {52, 13}, {52, 13}, {342, 19}, {97, 32}, {98, 32}, {97, 32}, {1, 10}, {45, 4}, {11, 20},
              {18, 11}, {96, 16}, {21, 16}, {44, 11}, {72, 17}, {12, 17}, {5, 5}, {8, 83}, {1, 20}};
    k.FormBg = k.ControlBg = Rgb(0xE8E8E8);
    k.Border = Rgb(0x000000);
    k.ScrollBg = Rgb(0xF5F5F5);
    k.Title = {{0, Rgb(0x3A5E9E)}, {0.45f, Rgb(0x1E3F7A)}, {1, Rgb(0x0C2250)}};
    k.TitleEdge = Rgb(0x000000);
    k.TitleBtnTop = 2;
    k.TitleBtnFace = Rgb(0x2C4F8C), k.TitleBtnClose = Rgb(0xB23A3A), k.TitleBtnGlyph = Rgb(0xE8EEF8), k.TitleBtnRim = Rgb(0x8FA6CC);
    k.BtnTop = Rgb(0xF6F8FC), k.BtnBottom = Rgb(0xC8D2E3), k.BtnBorder = Rgb(0x2B3F66);
    k.HotTop = Rgb(0xFFFFFF), k.HotBottom = Rgb(0xAFC6EC), k.HotBorder = Rgb(0x1E4D9E);
    k.DownTop = Rgb(0xA9BAD8), k.DownBottom = Rgb(0xD3DCEB), k.DownBorder = Rgb(0x1B2C4D);
    k.BtnRadius = 2;
    k.Accent = Rgb(0x2F5AA8), k.AccentDark = Rgb(0x17336B), k.Glyph = Rgb(0x1E3160);
    k.Face = Rgb(0xDCE3EF), k.FaceBorder = Rgb(0x3C5280), k.BoxFill = Rgb(0xFFFFFF);
    return k;
}

Look ProteinLook()
{
    Look k = DeepBlueLook();
    k.Prefix = "PROTEIN";
    k.Size = {{222, 21}, {52, 13}, {52, 13}, {342, 19}, {441, 23}, {1, 23}, {1, 23}, {1, 10}, {45, 4}, {11, 20},
              {18, 11}, {96, 16}, {21, 16}, {44, 11}, {72, 17}, {18, 17}, {10, 5}, {8, 83}, {1, 21}};
    k.FormBg = k.ControlBg = Rgb(0xFBFBFB);
    k.ScrollBg = Rgb(0xF5F5F5);
    k.Title = {{0, Rgb(0x8C9BC8)}, {0.5f, Rgb(0x6A7CB4)}, {1, Rgb(0x56679F)}};
    k.TitleEdge = Rgb(0x000000);
    k.TitleBtnTransparent = true;
    k.TitleBtnShape = TitleButtonShape::Circle;
    k.TitleBtnFace = Rgb(0xF4F6FA), k.TitleBtnClose = Rgb(0xF4F6FA), k.TitleBtnGlyph = Rgb(0x4A5578), k.TitleBtnRim = Rgb(0x3E4C7A);
    k.BtnTop = Rgb(0xFFFFFF), k.BtnBottom = Rgb(0xE6EAF2), k.BtnBorder = Rgb(0x8C99B6);
    k.HotTop = Rgb(0xFFFFFF), k.HotBottom = Rgb(0xD8E2F6), k.HotBorder = Rgb(0x5D73B0);
    k.DownTop = Rgb(0xD6DDEC), k.DownBottom = Rgb(0xF2F4F9), k.DownBorder = Rgb(0x4C5E93);
    k.BtnRadius = 4;
    k.Accent = Rgb(0x5468A8), k.AccentDark = Rgb(0x3A4A80), k.Glyph = Rgb(0x4A5578);
    k.Face = Rgb(0xF0F2F7), k.FaceBorder = Rgb(0x8C99B6), k.BoxFill = Rgb(0xFFFFFF);
    return k;
}

Look BlueGlassLook()
{
    Look k;
    k.Prefix = "BLUEGLASS";
    k.Size = {{231, 27}, {52, 13}, {52, 13}, {342, 19}, {162, 33}, {179, 33}, {101, 33}, {1, 10}, {45, 4}, {11, 20},
              {18, 11}, {102, 16}, {21, 16}, {44, 11}, {72, 17}, {18, 17}, {10, 5}, {8, 86}, {1, 21}};
    k.FormBg = k.ControlBg = Rgb(0xE7E7E7);
    k.Border = Rgb(0x000000);
    k.ScrollBg = Rgb(0xF4F4F4);
    k.Title = {{0, Rgb(0x8DBDF4)}, {0.47f, Rgb(0x4D8EE0)}, {0.5f, Rgb(0x2467C8)}, {1, Rgb(0x3F86E2)}};
    k.TitleEdge = Rgb(0x0B2A5C);
    k.TitleRound = 6;
    k.TitleGloss = true;
    k.TitleBtnTop = 6;
    k.TitleBtnTransparent = true;
    k.TitleBtnShape = TitleButtonShape::Circle;
    k.TitleBtnFace = Rgb(0x5C9BEA), k.TitleBtnClose = Rgb(0xD9483B), k.TitleBtnGlyph = White, k.TitleBtnRim = Rgb(0x123C7A);
    k.BtnTop = Rgb(0xBFDBFB), k.BtnBottom = Rgb(0x5E9AE6), k.BtnBorder = Rgb(0x1D4F96);
    k.HotTop = Rgb(0xD9EBFF), k.HotBottom = Rgb(0x7DB5F7), k.HotBorder = Rgb(0x2463B8);
    k.DownTop = Rgb(0x4D86D4), k.DownBottom = Rgb(0x2E63B4), k.DownBorder = Rgb(0x153E7A);
    k.BtnRadius = 8;
    k.BtnGloss = true;
    k.BtnTransparent = true;
    k.Accent = Rgb(0x3B7FDA), k.AccentDark = Rgb(0x1D55A8), k.Glyph = Rgb(0x1D4F96);
    k.Face = Rgb(0xD2E4FA), k.FaceBorder = Rgb(0x2A5DA6), k.BoxFill = Rgb(0xFFFFFF);
    return k;
}

// The scroll buttons that DeepBlue, Protein and BlueGlass share: a neutral blue-grey.
Look MoreLook()
{
    Look k = DeepBlueLook();
    k.Prefix = "MORE";
    k.BtnTop = Rgb(0xFAFBFD), k.BtnBottom = Rgb(0xDCE2EC);
    k.HotTop = Rgb(0xFFFFFF), k.HotBottom = Rgb(0xC9D7EE), k.HotBorder = Rgb(0x4B6AA6);
    k.FaceBorder = Rgb(0x7E8BA6);
    k.Glyph = Rgb(0x38486E);
    k.ControlBg = Rgb(0xEEEEEE);
    return k;
}

// The default skin file's own look: graphite title with a teal accent.
Look ZirozLook()
{
    Look k;
    k.Prefix = "ZIROZ";
    k.Size = {{222, 21}, {52, 13}, {52, 13}, {342, 19}, {60, 30}, {60, 30}, {60, 30}, {1, 10}, {45, 5}, {11, 20},
              {18, 11}, {96, 16}, {21, 16}, {44, 11}, {72, 17}, {18, 19}, {10, 4}, {8, 83}, {1, 21}};
    k.FormBg = k.ControlBg = Rgb(0xF1F1EE);
    k.Border = Rgb(0x1E2226);
    k.ScrollBg = Rgb(0xE4E6E3);
    k.Title = {{0, Rgb(0x4A5158)}, {0.5f, Rgb(0x31373D)}, {0.92f, Rgb(0x22272B)}, {0.93f, Rgb(0x1FA394)}, {1, Rgb(0x168579)}};
    k.TitleEdge = Rgb(0x1E2226);
    k.TitleRound = 4;
    k.TitleBtnTop = 7;
    k.TitleBtnTransparent = true;
    k.TitleBtnShape = TitleButtonShape::Circle;
    k.TitleBtnFace = Rgb(0x5A636C), k.TitleBtnClose = Rgb(0x1FA394), k.TitleBtnGlyph = Rgb(0xF2F5F4), k.TitleBtnRim = Rgb(0x14181B);
    k.BtnTop = Rgb(0xFDFDFC), k.BtnBottom = Rgb(0xE2E4E1), k.BtnBorder = Rgb(0x7D858C);
    k.HotTop = Rgb(0xF2FBFA), k.HotBottom = Rgb(0xCDEBE7), k.HotBorder = Rgb(0x1FA394);
    k.DownTop = Rgb(0xBFE3DE), k.DownBottom = Rgb(0xE6F4F2), k.DownBorder = Rgb(0x157A6F);
    k.BtnRadius = 4;
    k.Accent = Rgb(0x1FA394), k.AccentDark = Rgb(0x157A6F), k.Glyph = Rgb(0x31373D);
    k.Face = Rgb(0xEDEEEC), k.FaceBorder = Rgb(0x7D858C), k.BoxFill = Rgb(0xFFFFFF);
    return k;
}

// ---------------------------------------------------------------------------------------------
// Pictures outside the theme items.

Pic MessageIcon(int kind)
{
    const float s = 42;
    Pic p(42, 42);
    const RGBA shadow = Rgb(0x000000, 40);
    if (kind == 1) { // warning
        auto tri = [](float in, float dy) {
            return Polygon({{21, 3 + in + dy}, {39.5f - in * 1.2f, 37 - in * 0.6f + dy}, {2.5f + in * 1.2f, 37 - in * 0.6f + dy}});
        };
        p.Fill(tri(0, 1.5f), shadow);
        p.Fill(tri(0, 0), Rgb(0x9A6A00));
        p.Fill(tri(1.6f, 0), VGrad({{4, Rgb(0xFFE680)}, {36, Rgb(0xF2B410)}}));
        p.Fill(RoundRect(19.2f, 14, 22.8f, 28, 1.8f), Rgb(0x2B2B2B));
        p.Fill(Ellipse(21, 32, 2.1f, 2.1f), Rgb(0x2B2B2B));
    } else {
        const uint32_t colours[] = {0, 0, 0xD63B30, 0x2F72D0, 0x3B9B4A};
        const RGBA c = Rgb(colours[kind]);
        p.Fill(Ellipse(21, 22.5f, 18.5f, 18.5f), shadow);
        p.Fill(Ellipse(21, 21, 18.5f, 18.5f), Darker(c, 0.35f));
        p.Fill(Ellipse(21, 21, 17.2f, 17.2f), VGrad({{3, Lighter(c, 0.35f)}, {21, c}, {39, Darker(c, 0.15f)}}));
        p.Fill(Ellipse(21, 12, 13, 8), Rgb(0xFFFFFF, 60));
        if (kind == 2) {
            p.Fill(Union(Stroke({{14, 14}, {28, 28}}, 4.2f), Stroke({{28, 14}, {14, 28}}, 4.2f)), White);
        } else if (kind == 3) {
            p.Fill(Ellipse(21, 12.5f, 2.6f, 2.6f), White);
            p.Fill(RoundRect(18.6f, 17, 23.4f, 31, 1.2f), White);
        } else {
            DrawSym(p, Sym::Help, 3, 3, 36, White);
            p.Fill(Ellipse(21, 30.5f, 2.4f, 2.4f), White);
        }
    }
    (void)s;
    // Shown by an image on any style's dialog: a neutral grey that the corner colour also keys.
    return p.Flatten(Rgb(0xE8E8E8));
}

Pic PanelButton(int frame)
{
    const bool hot = frame == 2 || frame == 4, expanded = frame <= 2;
    Pic p(13, 12);
    p.Fill(RoundRect(0, 0, 13, 12, 0), Rgb(0x6B7C93));
    p.Fill(RoundRect(1, 1, 12, 11, 0), VGrad({{1, Rgb(hot ? 0xFFFFFF : 0xF3F5F8)}, {11, Rgb(hot ? 0xC6D8F2 : 0xD3DAE4)}}));
    const float cy = expanded ? 6.5f : 5.5f;
    p.Fill(Stroke({{3.5f, expanded ? cy + 1.5f : cy - 1.5f}, {6.5f, expanded ? cy - 1.5f : cy + 1.5f}, {9.5f, expanded ? cy + 1.5f : cy - 1.5f}}, 1.5f),
           Rgb(0x2E3D55));
    return p.Flatten(White);
}

Pic MdiButton(int frame)
{
    Pic p(16, 16);
    const Sym syms[] = {Sym::Min, Sym::Restore, Sym::Close};
    DrawSym(p, syms[frame - 1], 0, 0, 16, Rgb(0x1A1A1A));
    // Drawn as a glyph: the corner pixel gives the transparent colour.
    return p.Keyed(Fuchsia, Rgb(0xE0E0E0));
}

Pic MenuChecked()
{
    Pic p(16, 16);
    CheckMark(p, 1, 1, 14, Rgb(0x202020), 2.2f);
    // Drawn with white as its transparent colour.
    return p.Keyed(White, White);
}

Pic Pattern(bool macos)
{
    Pic p(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p.At(x, y) = macos ? (y % 2 ? Rgb(0xE2E2E2) : Rgb(0xEDEDED)) : ((x + y) % 4 == 0 ? Rgb(0xF1F3F8) : Rgb(0xFBFBFB));
    return p;
}

Pic Column(int h, std::vector<std::pair<float, RGBA>> stops)
{
    Pic p(1, h);
    p.Fill(RoundRect(0, 0, 1, float(h), 0), VGrad(Scale(stops, float(h))));
    return p.Flatten(White);
}

Pic ComboButton(bool xp)
{
    Pic p(17, 20);
    if (xp) {
        p.Fill(RoundRect(0.5f, 0.5f, 16.5f, 19.5f, 2.5f), Rgb(0xB9CBF3));
        p.Fill(RoundRect(1.5f, 1.5f, 15.5f, 18.5f, 1.5f), VGrad({{1, Rgb(0xE1EAFE)}, {19, Rgb(0xB4C8F6)}}));
        p.Fill(Stroke({{5, 8.5f}, {8.5f, 12}, {12, 8.5f}}, 2.2f), Rgb(0x4D6185));
    } else {
        p.Fill(RoundRect(0.5f, 0.5f, 16.5f, 19.5f, 3), Rgb(0x29579A));
        p.Fill(RoundRect(1.5f, 1.5f, 15.5f, 18.5f, 2), VGrad({{1, Rgb(0xB5D4F7)}, {10, Rgb(0x5F9BE4)}, {19, Rgb(0x8DBDF2)}}));
        p.Fill(RoundRect(1.5f, 1.5f, 15.5f, 9.5f, 2), Rgb(0xFFFFFF, 80));
    }
    Pic out = p.Flatten(White);
    SetCorners(out, White);
    return out;
}

// The program's icon: a framed tile with a pixel grid and a pencil across it.
Pic MainIcon(int s)
{
    const float f = float(s) / 32.f;
    Pic p(s, s);
    p.Fill(RoundRect(2 * f, 2 * f, 28 * f, 28 * f, 4 * f), Rgb(0x1F5C9E));
    p.Fill(RoundRect(3.2f * f, 3.2f * f, 26.8f * f, 26.8f * f, 3 * f), VGrad({{0, Rgb(0xFFFFFF)}, {28 * f, Rgb(0xDCE8F6)}}));
    const uint32_t cells[] = {0xE25A4F, 0xE9B83B, 0x5DBB46, 0x3D86DA};
    for (int i = 0; i < 4; ++i) {
        const float x = (6 + float(i % 2) * 8) * f, y = (6 + float(i / 2) * 8) * f;
        p.Fill(RoundRect(x, y, x + 7 * f, y + 7 * f, 1 * f), Rgb(cells[i]));
    }
    p.Fill(Stroke({{13 * f, 29 * f}, {29 * f, 13 * f}}, 6.5f * f), Rgb(0x3B2A12));
    p.Fill(Stroke({{13 * f, 29 * f}, {29 * f, 13 * f}}, 4.5f * f), Rgb(0xF2B410));
    p.Fill(Polygon({{10 * f, 32 * f - 0.1f}, {11.5f * f, 26.5f * f}, {15.5f * f, 30.5f * f}}), Rgb(0x3B2A12));
    return p;
}

void Extras(Output& out)
{
    out.Bmp("MSGDLG", Strip(Frames(4, MessageIcon)));
    out.Bmp("PANEL_BUTTON", Strip(Frames(4, PanelButton)));
    out.Bmp("MDI_CONTROL_BUTTON", Strip(Frames(3, MdiButton)));
    out.Bmp("MENU_CHECKED", MenuChecked());
    out.Bmp("MACOS_FORM_BACKGROUND", Pattern(true));
    out.Bmp("PROTEIN_FORM_BACKGROUND", Pattern(false));
    out.Bmp("MACOS_MENU_BAR", Column(22, {{0, Rgb(0xFBFBFB)}, {0.9f, Rgb(0xE2E2E2)}, {0.95f, Rgb(0xB8B8B8)}, {1, Rgb(0xB8B8B8)}}));
    out.Bmp("MACOS_MENU_SELECT", Column(21, {{0, Rgb(0x7DB2EC)}, {0.5f, Rgb(0x4A8BDD)}, {1, Rgb(0x2F6FC8)}}));
    out.Bmp("MACOS_COMBOBOX_BUTTON", ComboButton(false));
    out.Bmp("WINXP_COMBOBOX_BUTTON", ComboButton(true));
}

void WriteSheet(const QString& path, const std::vector<std::pair<QString, Pic>>& pics, int scale)
{
    const int pageW = 1400, gap = 10;
    // Lay the pictures out in rows, breaking before each style prefix changes.
    struct Place {
        int X, Y;
    };
    std::vector<Place> at;
    int x = gap, y = gap, rowH = 0;
    QString lastPrefix;
    for (const auto& [name, p] : pics) {
        const QString prefix = name.section('_', 0, 0);
        const int w = p.W() * scale, h = p.H() * scale;
        if ((prefix != lastPrefix && x > gap) || x + w > pageW) {
            x = gap;
            y += rowH + gap;
            rowH = 0;
        }
        lastPrefix = prefix;
        at.push_back({x, y});
        x += w + gap;
        rowH = std::max(rowH, h);
    }
    QImage sheet(pageW, y + rowH + gap, QImage::Format_RGB32);
    sheet.fill(QColor(0x6E, 0x74, 0x7A));
    QPainter painter(&sheet);
    for (size_t i = 0; i < pics.size(); ++i) {
        const Pic& p = pics[i].second;
        painter.drawImage(QRect(at[i].X, at[i].Y, p.W() * scale, p.H() * scale), p.ToImage());
    }
    painter.end();
    sheet.save(path);
}

// ---------------------------------------------------------------------------------------------
// The twelve skin files that come with the program, each a look of its own on the default skin's
// shapes, their manifests for the packer, and the sixteen sample pictures of the skin chooser.

struct NamedSkin {
    const char* File;   // the skin file's name without ".sui"
    const char* Prefix; // picture names
    uint32_t TitleTop, TitleMid, TitleBottom, Accent, FormBg;
    bool RoundButtons;
    int TitleRound;
};

const NamedSkin NamedSkins[] = {
    {"Longhorn", "LONGHORN", 0x5B6E8C, 0x2F3F5C, 0x1B2740, 0x7FB2F0, 0xECEEF2, true, 6},
    {"msn", "MSN", 0x8FC6F5, 0x3D8DDA, 0x2168B8, 0xF5A623, 0xF2F6FB, true, 8},
    {"relone", "RELONE", 0xC9CED6, 0x9AA2AE, 0x737C89, 0xD0342C, 0xE9EBEE, false, 2},
    {"MediaPlayer", "MEDIAPLAYER", 0x3A4A66, 0x1C2638, 0x0B111C, 0x39B5E8, 0xDCE3EC, true, 10},
    {"SportsBlack", "SPORTSBLACK", 0x4A4A4A, 0x222222, 0x050505, 0xE8C31C, 0xD8D8D8, false, 0},
    {"BrownGlass", "BROWNGLASS", 0xB8865A, 0x7E5030, 0x55331C, 0xF0B060, 0xF1E9DF, true, 6},
    {"DeepCyan", "DEEPCYAN", 0x2BA6B5, 0x0E7886, 0x06525C, 0x9BEAF2, 0xE6F2F3, false, 4},
    {"DeepGreen", "DEEPGREEN", 0x4C9A58, 0x23702F, 0x124A1B, 0xB8E986, 0xE8F1E6, false, 4},
    {"xpgreen", "XPGREEN", 0xA7C27A, 0x7E9E4E, 0x5D7A34, 0xE3A834, 0xECEEE0, false, 7},
    {"xporange", "XPORANGE", 0xF6B26B, 0xE0782B, 0xB8561A, 0x2E7BD6, 0xF4EEE6, false, 7},
    {"xpsilver", "XPSILVER", 0xF4F4F7, 0xCFD0DA, 0xA9AAB8, 0x3C6EC8, 0xEFEFF2, false, 7},
    {"OneBlue", "ONEBLUE", 0x4F8FE6, 0x1F5FC8, 0x0D3C8F, 0xFFFFFF, 0xE7EEF8, true, 5},
};

Look NamedLook(const NamedSkin& s)
{
    Look k = ZirozLook();
    k.Prefix = s.Prefix;
    const RGBA top = Rgb(s.TitleTop), mid = Rgb(s.TitleMid), bottom = Rgb(s.TitleBottom), accent = Rgb(s.Accent);
    k.FormBg = k.ControlBg = Rgb(s.FormBg);
    k.ScrollBg = Darker(k.FormBg, 0.06f);
    k.Border = Darker(bottom, 0.3f);
    k.Title = {{0, top}, {0.5f, mid}, {0.92f, bottom}, {0.93f, accent}, {1, Darker(accent, 0.25f)}};
    k.TitleEdge = k.Border;
    k.TitleRound = s.TitleRound;
    k.TitleBtnShape = s.RoundButtons ? TitleButtonShape::Circle : TitleButtonShape::RoundSquare;
    k.TitleBtnFace = Lighter(mid, 0.18f), k.TitleBtnClose = accent, k.TitleBtnRim = Darker(bottom, 0.4f);
    k.TitleBtnGlyph = Rgb(0xF7F7F7);
    k.BtnBorder = Darker(mid, 0.1f);
    k.HotTop = Lighter(accent, 0.85f), k.HotBottom = Lighter(accent, 0.6f), k.HotBorder = Darker(accent, 0.1f);
    k.DownTop = Lighter(accent, 0.45f), k.DownBottom = Lighter(accent, 0.75f), k.DownBorder = Darker(accent, 0.35f);
    k.BtnRadius = s.RoundButtons ? 9 : 3;
    k.BtnGloss = s.RoundButtons;
    k.Accent = accent, k.AccentDark = Darker(accent, 0.3f), k.Glyph = Darker(mid, 0.3f);
    k.FaceBorder = k.BtnBorder;
    return k;
}

// 0x00BBGGRR, as the skin file keeps colours.
uint32_t Bgr(const RGBA& c)
{
    auto v = [](float f) { return uint32_t(std::lround(std::clamp(f, 0.f, 1.f) * 255.f)); };
    return v(c.r) | (v(c.g) << 8) | (v(c.b) << 16);
}

QByteArray NamedManifest(const NamedSkin& s, const Look& k)
{
    const QByteArray p = QByteArray(s.Prefix) + "_";
    auto hex = [](uint32_t v) { return "0x" + QByteArray::number(v, 16).toUpper().rightJustified(8, '0'); };
    QByteArray m = "SkinName string " + QByteArray(s.File) + "\n";
    const char* const images[][2] = {
        {"ButtonImage", "BUTTON"}, {"CheckBoxImage", "CHECKBOX"}, {"RadioButtonImage", "RADIOBUTTON"},
        {"TitleBarButtonImage", "TITLEBTN"}, {"TitleBarLeftImage", "TITLE_LEFT"},
        {"TitleBarClientImage", "TITLE_CLIENT"}, {"TitleBarRightImage", "TITLE_RIGHT"},
        {"ProgressBarImage", "PROGRESSBAR"}, {"TrackBarBarImage", "TRACKBAR_BAR"},
        {"TrackBarSliderImage", "TRACKBAR_SLIDER"}, {"TrackBarSliderVImage", "TRACKBAR_SLIDER_V"},
        {"ScrollBarButtonImage", "SCROLLBAR_BUTTON"}, {"ScrollBarSliderImage", "SCROLLBAR_TRACK"},
        {"CheckListBoxImage", "CHECKLIST"}, {"ScrollButtonImage", "SCROLLBUTTON"}, {"TabControlTabImage", "TAB"},
        {"TabControlBarImage", "TAB_LINE"}, {"SideChannelHandleImage", "SIDECHENNEL_HANDLE"},
        {"SideChannelBarImage", "SIDECHENNEL_BAR"},
    };
    for (const auto& i : images)
        m += QByteArray(i[0]) + " image " + p + i[1] + ".bmp\n";
    m += "ButtonTransparentBool bool 0\nTitleBarButtonTransparentBool bool 1\n"
         "TitleBarButtonLeftOffsetInt int 2\nTitleBarButtonRightOffsetInt int -2\nTitleBarButtonTopInt int " +
         QByteArray::number(k.TitleBtnTop) + "\nFormMinWidthInt int 160\nFormRoundCornerInt int " +
         QByteArray::number(s.TitleRound) + "\nFormBorderWidthInt int 1\n";
    const std::pair<const char*, RGBA> colours[] = {
        {"FormBackgroundColor", k.FormBg}, {"FormBorderColor", k.Border},
        {"MenuSelectedBorderColor", k.Accent}, {"MenuSelectedBackgroundColor", k.Accent},
        {"MenuSelectedFontColor", Bgr(k.Accent) == 0xFFFFFF ? Rgb(0x1F5FC8) : Rgb(0xFFFFFF)},
        {"MenuBackgroundColor", Rgb(0xFFFFFF)}, {"MenuFontColor", Rgb(0)}, {"MenuBarColor", k.ScrollBg},
        {"ControlBorderColor", k.BtnBorder}, {"ControlBackgroundColor", k.ControlBg}, {"ControlFontColor", Rgb(0)},
        {"ScrollBarBackgroundColor", k.ScrollBg}, {"ToolBarButtonBorderColor", k.AccentDark},
        {"ToolBarButtonBackgroundColor", k.HotTop}, {"ToolBarButtonDownBackgroundColor", k.DownTop},
    };
    for (const auto& [name, c] : colours)
        m += QByteArray(name) + " int " + hex(Bgr(c)) + "\n";
    return m;
}

// Draws src over dst at (x, y), leaving out the transparent colour of keyed pictures.
void BlitOver(Pic& dst, const Pic& src, int x, int y)
{
    for (int j = 0; j < src.H(); ++j)
        for (int i = 0; i < src.W(); ++i) {
            const RGBA c = src.At(i, j);
            if (c.a <= 0 || (c.r > 0.99f && c.g < 0.01f && c.b > 0.99f) || x + i >= dst.W() || y + j >= dst.H())
                continue;
            RGBA& d = dst.At(x + i, y + j);
            d = Mix(d, {c.r, c.g, c.b, 1}, c.a);
        }
}

// A window in miniature: title bar with its buttons, the form, a push button and a check box.
Pic SamplePicture(const Look& k)
{
    const int w = 96, h = 40;
    Pic p(w, h, k.FormBg);
    Pic title = TitlePiece(k, w, 14, true, true).Flatten(k.TitleEdge);
    p.Blit(title, 0, 0);
    for (int i = 0; i < 3; ++i)
        BlitOver(p, TitleButton(k, i == 2 ? Sym::Close : i == 1 ? Sym::Max : Sym::Min, 0, 10), w - 36 + 12 * i, 2);
    BlitOver(p, Button(k, 0, 40, 16), 50, 20);
    BlitOver(p, CheckFrame(k, 2, 13, 13, false, 13), 8, 22);
    p.Fill(Minus(RoundRect(0, 0, w, h, 0), RoundRect(1, 1, w - 1, h - 1, 0)), k.Border);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: skinart OUTDIR [--sheet SHEET.png [--scale N] [--only NAME_PREFIX]]\n");
        return 2;
    }
    const QString outDir = args[1];
    auto option = [&](const char* name) {
        const int i = int(args.indexOf(QString::fromLatin1(name)));
        return i > 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    const QString sheet = option("--sheet"), only = option("--only");
    const int scale = std::max(1, option("--scale").toInt());

    Output builtin(outDir + "/builtin");
    QDir().mkpath(builtin.Dir);
    StylePictures(MacOSLook(), builtin, true);
    StylePictures(WinXPLook(), builtin, true);
    StylePictures(DeepBlueLook(), builtin, false);
    StylePictures(ProteinLook(), builtin, false);
    StylePictures(BlueGlassLook(), builtin, false);
    {
        // Only the shared scroll-button strip of this look is used.
        Output more(builtin.Dir);
        Look k = MoreLook();
        more.Bmp("MORE_SCROLLBUTTON", Strip(Frames(4, [&](int i) {
                     return SmallButton(k, (i - 1) % 2, 18, 17, i <= 2 ? 3 : 2, k.ControlBg);
                 })));
        builtin.Files << more.Files;
        builtin.Sheet.insert(builtin.Sheet.end(), more.Sheet.begin(), more.Sheet.end());
        builtin.Ok &= more.Ok;
    }
    Extras(builtin);
    builtin.Ok &= WriteFileIfChanged(builtin.Dir + "/MAINICON.ico", IcoBytes({MainIcon(16), MainIcon(32), MainIcon(48)}));
    builtin.Files << "builtin/MAINICON.ico";

    Output ziroz(outDir + "/ziroz");
    QDir().mkpath(ziroz.Dir);
    StylePictures(ZirozLook(), ziroz, true);

    // The skin files that come with the program (packed by suipack) and the chooser's samples.
    Output samples(outDir + "/samples");
    QDir().mkpath(samples.Dir);
    bool namedOk = true;
    int sample = 0;
    for (const NamedSkin& s : NamedSkins) {
        const Look k = NamedLook(s);
        Output pictures(outDir + "/named/" + s.Prefix);
        QDir().mkpath(pictures.Dir);
        StylePictures(k, pictures, true);
        namedOk &= pictures.Ok && WriteFileIfChanged(outDir + "/named/" + s.File + ".skin", NamedManifest(s, k));
        samples.Bmp(QStringLiteral("sample%1").arg(++sample), SamplePicture(k));
    }
    for (const Look& k : {MacOSLook(), WinXPLook(), DeepBlueLook(), ProteinLook()})
        samples.Bmp(QStringLiteral("sample%1").arg(++sample), SamplePicture(k));
    namedOk &= samples.Ok;

    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n";
    for (const QString& f : builtin.Files)
        qrc += "  <file alias=\"" + f.section('/', 1).toUtf8() + "\">" + f.toUtf8() + "</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    const bool ok = builtin.Ok && ziroz.Ok && namedOk && WriteFileIfChanged(outDir + "/skinart.qrc", qrc);

    if (!sheet.isEmpty()) {
        auto all = builtin.Sheet;
        all.insert(all.end(), ziroz.Sheet.begin(), ziroz.Sheet.end());
        all.push_back({"MAINICON", MainIcon(48)});
        if (!only.isEmpty())
            std::erase_if(all, [&](const auto& e) { return !e.first.startsWith(only); });
        WriteSheet(sheet, all, scale);
    }
    if (!ok)
        std::fprintf(stderr, "skinart: cannot write into %s\n", qPrintable(outDir));
    return ok ? 0 : 1;
}
