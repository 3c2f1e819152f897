// One stroke of the line and of the pencil tool, as the hand makes it: a press, 50 moves and a
// release on a 255 x 255 format at the largest zoom, each move followed by the repaint of the
// canvas widget (offscreen). The counter "move/frame" is the time of one move as a share of a
// 16 ms display frame.

#include "document/canvas_mouse.h"
#include "document/newiconview.h"
#include "document/testing_editor_state.h"
#include "drawing/drawing_engines.h"
#include "imaging/bitmap/image32.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSide = 255;
constexpr int kMoves = 50;

class StrokeBench {
public:
    explicit StrokeBench(int tool)
    {
        SetProgramFolder(dir_.path());
        QDir(dir_.path()).mkpath("image/16color");
        QImage pattern(4, 4, QImage::Format_RGB32);
        pattern.fill(0xFFFFFF00);
        pattern.save(dir_.filePath("image/16color/17.bmp"), "BMP");
        SetDrawingEngines(DrawingEngines());
        templ_ = std::make_unique<Tnewiconview>();
        state_.NewImageWidth = kSide;
        state_.NewImageHeight = kSide;
        state_.NewImageKind = "XP";
        state_.CurrentTool = tool;
        state_.PenWidth = 1;
        doc_ = std::make_unique<Tnewiconview>();
        doc_->setObjectName("iconview1");
        AttachCanvasMouse(doc_.get());
        doc_->resize(1400, 1000);
        doc_->show();
        // Zoom in until the window allows no more.
        for (int previous = 0; previous != doc_->Zoom;) {
            previous = doc_->Zoom;
            doc_->ApplyZoom(QStringLiteral("big"));
        }
        QApplication::processEvents();
    }
    ~StrokeBench()
    {
        doc_.reset();
        templ_.reset();
        SetDrawingEngines(TDrawingEngines());
        SetProgramFolder(QString());
    }

    int Zoom() const { return doc_->Zoom; }

    // A diagonal drag over most of the format with a little wobble, as a hand draws.
    void Stroke()
    {
        Send(QEvent::MouseButtonPress, 10, 20, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= kMoves; ++i) {
            const int x = 10 + i * 4, y = 20 + i * 4 + (i % 3) - 1;
            Send(QEvent::MouseMove, x, y, Qt::NoButton, Qt::LeftButton);
            doc_->iconview->repaint();
        }
        Send(QEvent::MouseButtonRelease, 10 + kMoves * 4, 20 + kMoves * 4, Qt::LeftButton, Qt::NoButton);
        doc_->iconview->repaint();
    }

private:
    void Send(QEvent::Type type, int cx, int cy, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const int z = doc_->Zoom;
        const QPointF p(cx * z + z / 2, cy * z + z / 2);
        QMouseEvent e(type, p, doc_->iconview->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(doc_->iconview, &e);
    }

    QTemporaryDir dir_;
    TTestingEditorState state_;
    std::unique_ptr<Tnewiconview> templ_;
    std::unique_ptr<Tnewiconview> doc_;
};

void RunStroke(benchmark::State& state, int tool)
{
    StrokeBench bench(tool);
    for (auto _ : state)
        bench.Stroke();
    state.counters["zoom"] = bench.Zoom();
    // Seconds per stroke over the moves (and the release) in it, against 16 ms.
    state.counters["move/frame"] =
        benchmark::Counter(double(state.iterations()) * (kMoves + 1) * 0.016, benchmark::Counter::kIsRate |
                                                                                 benchmark::Counter::kInvert);
}

void BM_StrokeLine(benchmark::State& s) { RunStroke(s, 2); }
void BM_StrokePencil(benchmark::State& s) { RunStroke(s, 12); }
BENCHMARK(BM_StrokeLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokePencil)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
