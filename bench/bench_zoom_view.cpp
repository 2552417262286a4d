// The inspector's paint path while the user pans over tiles it holds already: each frame is
// one drag step of the mouse and a repaint of the whole view (1000 x 300 pixels) at 1:1 and
// at 4:1. Smooth panning needs a frame well within 16.7 ms.
#include "scenes.h"

#include "app/render_window/zoom_view.h"
#include "core/render/dot_renderer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>

#include <memory>

namespace lumexa::bench
{
namespace
{

void SendMouse(QWidget& view, QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, view.mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Waits until every tile the view shows has arrived.
bool WaitComplete(const ZoomView& view)
{
    QElapsedTimer t;
    t.start();
    while (!view.complete()) {
        if (t.elapsed() > 60000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void BM_PanCachedTiles(benchmark::State& state)
{
    const double scale = static_cast<double>(state.range(0));
    static const BenchScene scene = MakeBenchScene(kSceneL, SceneMode::RotationMasks);
    ZoomView view(nullptr, 2);
    view.resize(1000, 300);
    view.setSource(std::make_shared<const DotRenderer>(scene.scene));
    view.zoomTo(scale, QPointF(0, 0));
    // The pan below covers 64 screen pixels: fetch every tile it will show first.
    const int step = 8;
    SendMouse(view, QEvent::MouseButtonPress, QPointF(500, 150), Qt::LeftButton);
    for (int x = 500; x >= 500 - 64; x -= step) {
        SendMouse(view, QEvent::MouseMove, QPointF(x, 150), Qt::LeftButton);
        if (!WaitComplete(view)) {
            state.SkipWithError("tiles did not arrive");
            return;
        }
    }
    QImage frame(view.size(), QImage::Format_RGB32);
    int x = 500 - 64;
    int direction = step;
    int incomplete = 0;
    for (auto _ : state) {
        x += direction;
        if (x >= 500 || x <= 500 - 64)
            direction = -direction;
        SendMouse(view, QEvent::MouseMove, QPointF(x, 150), Qt::LeftButton);
        view.render(&frame);
        incomplete += !view.complete();
        benchmark::DoNotOptimize(frame.constBits());
    }
    SendMouse(view, QEvent::MouseButtonRelease, QPointF(x, 150), Qt::NoButton);
    state.counters["frames_missing_tiles"] = incomplete;
    state.SetLabel(std::string(scene.name) + " at " + std::to_string(state.range(0)) + ":1");
}

} // namespace

BENCHMARK(BM_PanCachedTiles)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace lumexa::bench

int main(int argc, char** argv)
{
    // No screen is needed to paint into an image.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
