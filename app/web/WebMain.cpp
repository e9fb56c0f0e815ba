// The page's entry points: plain C functions that the page's script calls
// on the module (Module._SwimmerFrame and so on). One swimmer a page.

#include <memory>

#include <emscripten/emscripten.h>

#include "EmbeddedSwimmer.h"
#include "SwimmerNetwork.h"
#include "WebSwimmer.h"

namespace {

std::unique_ptr<CWebSwimmer> Swimmer;

}  // namespace

extern "C" {

// Creates the swimmer on a view of width x height pixels, at its start and
// drawn; returns 1. A second call starts again.
EMSCRIPTEN_KEEPALIVE int SwimmerCreate(int width, int height)
{
    SwimmerNetwork swimmer;
    LoadEmbeddedSwimmer(swimmer);
    Swimmer = std::make_unique<CWebSwimmer>(swimmer, ClientSize{width, height});
    return 1;
}

EMSCRIPTEN_KEEPALIVE int SwimmerFrame(double nowMs) { return Swimmer->Frame(nowMs); }
EMSCRIPTEN_KEEPALIVE void SwimmerPress(int x, int y)
{
    // A press reaches the window as two unsigned 16-bit halves of a word.
    Swimmer->PressAt(static_cast<unsigned>(x) & 0xFFFFu, static_cast<unsigned>(y) & 0xFFFFu);
}
EMSCRIPTEN_KEEPALIVE void SwimmerResize(int width, int height)
{
    Swimmer->Resize({width, height});
}
EMSCRIPTEN_KEEPALIVE void SwimmerRunTicks(int ticks) { Swimmer->RunTicks(ticks); }
EMSCRIPTEN_KEEPALIVE void SwimmerDraw() { Swimmer->Draw(); }

EMSCRIPTEN_KEEPALIVE int SwimmerWidth() { return Swimmer->GetClient().Width; }
EMSCRIPTEN_KEEPALIVE int SwimmerHeight() { return Swimmer->GetClient().Height; }
EMSCRIPTEN_KEEPALIVE const void* SwimmerPixels() { return Swimmer->GetPixels(); }
// Left, top, right, bottom of the changed box, edges included, as 4 ints.
EMSCRIPTEN_KEEPALIVE const void* SwimmerChanged() { return &Swimmer->GetChanged(); }
EMSCRIPTEN_KEEPALIVE void SwimmerClearChanged() { Swimmer->ClearChanged(); }

EMSCRIPTEN_KEEPALIVE double SwimmerTicks() { return Swimmer->GetTicks(); }
EMSCRIPTEN_KEEPALIVE double SwimmerSimulatedTime() { return Swimmer->GetSimulatedTime(); }
EMSCRIPTEN_KEEPALIVE int SwimmerTicksPerSecond(double nowMs)
{
    return Swimmer->GetPacer().TicksPerSecond(nowMs);
}
EMSCRIPTEN_KEEPALIVE double SwimmerDropped() { return Swimmer->GetPacer().GetDropped(); }
EMSCRIPTEN_KEEPALIVE double SwimmerSpeed() { return Swimmer->GetSpeed(); }
EMSCRIPTEN_KEEPALIVE double SwimmerHeadX() { return Swimmer->GetLoop().GetHeadX(); }
EMSCRIPTEN_KEEPALIVE double SwimmerHeadY() { return Swimmer->GetLoop().GetHeadY(); }
EMSCRIPTEN_KEEPALIVE double SwimmerUnwrappedHeadX()
{
    return Swimmer->GetLoop().GetUnwrappedHeadX();
}
EMSCRIPTEN_KEEPALIVE double SwimmerUnwrappedHeadY()
{
    return Swimmer->GetLoop().GetUnwrappedHeadY();
}
EMSCRIPTEN_KEEPALIVE double SwimmerTargetDirection()
{
    return Swimmer->GetLoop().GetTargetDirection();
}

}  // extern "C"
