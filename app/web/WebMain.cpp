// The page's entry points: plain C functions that the page's script calls
// on the module (Module._SwimmerFrame and so on). One swimmer a page.
//
// Text crosses between the page and the module as UTF-8 bytes in buffers
// the module owns: the page asks for room, writes the bytes there and
// makes the call that reads them; the module's answers (a message, a
// network file) wait in a buffer of their own, read by pointer and length
// until the next answer replaces them.

#include <cstdint>
#include <memory>
#include <string>

#include <emscripten/emscripten.h>

#include "LearnRequest.h"
#include "NetworkFile.h"
#include "SwimmerTrainer.h"
#include "WebSession.h"

namespace {

std::unique_ptr<CWebSession> Session;
std::string Name;    // of the file the page is handing in
std::string Text;    // its bytes
std::string Answer;  // the last message or network file

CWebSwimmer& Swimmer() { return Session->GetSwimmer(); }

// A buffer of exactly the given bytes for the page to fill.
char* Room(std::string& buffer, double bytes)
{
    buffer.assign(static_cast<std::size_t>(bytes), '\0');
    return buffer.data();
}

// Memory that a file's text took is given back once it has been read, so
// that many loads leave the module no larger than the largest one made it.
void Release(std::string& buffer) { std::string().swap(buffer); }

}  // namespace

extern "C" {

// Creates the embedded swimmer on a view of width x height pixels, at its
// start and drawn; returns 1. A second call starts again.
EMSCRIPTEN_KEEPALIVE int SwimmerCreate(int width, int height)
{
    Session = std::make_unique<CWebSession>(ClientSize{width, height});
    return 1;
}

EMSCRIPTEN_KEEPALIVE int SwimmerFrame(double nowMs) { return Swimmer().Frame(nowMs); }
EMSCRIPTEN_KEEPALIVE void SwimmerPress(int x, int y)
{
    // A press reaches the window as two unsigned 16-bit halves of a word.
    Swimmer().PressAt(static_cast<unsigned>(x) & 0xFFFFu, static_cast<unsigned>(y) & 0xFFFFu);
}
EMSCRIPTEN_KEEPALIVE void SwimmerResize(int width, int height) { Swimmer().Resize({width, height}); }
EMSCRIPTEN_KEEPALIVE void SwimmerRunTicks(int ticks) { Swimmer().RunTicks(ticks); }
EMSCRIPTEN_KEEPALIVE void SwimmerDraw() { Swimmer().Draw(); }

EMSCRIPTEN_KEEPALIVE int SwimmerWidth() { return Swimmer().GetClient().Width; }
EMSCRIPTEN_KEEPALIVE int SwimmerHeight() { return Swimmer().GetClient().Height; }
EMSCRIPTEN_KEEPALIVE const void* SwimmerPixels() { return Swimmer().GetPixels(); }
// Left, top, right, bottom of the changed box, edges included, as 4 ints.
EMSCRIPTEN_KEEPALIVE const void* SwimmerChanged() { return &Swimmer().GetChanged(); }
EMSCRIPTEN_KEEPALIVE void SwimmerClearChanged() { Swimmer().ClearChanged(); }

EMSCRIPTEN_KEEPALIVE double SwimmerTicks() { return Swimmer().GetTicks(); }
EMSCRIPTEN_KEEPALIVE double SwimmerSimulatedTime() { return Swimmer().GetSimulatedTime(); }
EMSCRIPTEN_KEEPALIVE int SwimmerTicksPerSecond(double nowMs)
{
    return Swimmer().GetPacer().TicksPerSecond(nowMs);
}
EMSCRIPTEN_KEEPALIVE double SwimmerDropped() { return Swimmer().GetPacer().GetDropped(); }
EMSCRIPTEN_KEEPALIVE double SwimmerSpeed() { return Swimmer().GetSpeed(); }
EMSCRIPTEN_KEEPALIVE double SwimmerHeadX() { return Swimmer().GetLoop().GetHeadX(); }
EMSCRIPTEN_KEEPALIVE double SwimmerHeadY() { return Swimmer().GetLoop().GetHeadY(); }
EMSCRIPTEN_KEEPALIVE double SwimmerUnwrappedHeadX() { return Swimmer().GetLoop().GetUnwrappedHeadX(); }
EMSCRIPTEN_KEEPALIVE double SwimmerUnwrappedHeadY() { return Swimmer().GetLoop().GetUnwrappedHeadY(); }
EMSCRIPTEN_KEEPALIVE double SwimmerTargetDirection() { return Swimmer().GetLoop().GetTargetDirection(); }
EMSCRIPTEN_KEEPALIVE int SwimmerSegments() { return Swimmer().GetLoop().GetSegments(); }

// Networks. A file comes in as its name, then its bytes. A size that no
// network file has is refused, with the reader's message as the answer:
// by SwimmerFileFits before the page reads the file, and by
// SwimmerFileRoom whatever the page does.
EMSCRIPTEN_KEEPALIVE char* SwimmerNameRoom(double bytes) { return Room(Name, bytes); }
EMSCRIPTEN_KEEPALIVE int SwimmerFileFits(double bytes)
{
    // Converted only within the limit: a double beyond it may not fit.
    const bool within = bytes >= 0.0 && bytes <= static_cast<double>(NetworkFileMaxBytes);
    return CheckNetworkFileSize(Name, within ? static_cast<std::uintmax_t>(bytes)
                                             : NetworkFileMaxBytes + 1,
                                Answer)
               ? 1
               : 0;
}
EMSCRIPTEN_KEEPALIVE char* SwimmerFileRoom(double bytes)
{
    return SwimmerFileFits(bytes) ? Room(Text, bytes) : nullptr;
}
// Swims the network of the file handed in; 1, or 0 with the reader's
// message as the answer and the swimmer as it was.
EMSCRIPTEN_KEEPALIVE int SwimmerSwimFile()
{
    Answer.clear();
    const bool swims = Session->SwimFile(Name, Text, Answer);
    Release(Text);
    return swims ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void SwimmerSwimEmbedded() { Session->SwimEmbedded(); }
// The network in use as a network file's text in the answer: 1, or 0 with
// the writer's reason there.
EMSCRIPTEN_KEEPALIVE int SwimmerFormatNetwork()
{
    std::string text;
    if (!Session->FormatNetwork(text, Answer))
        return 0;
    Answer.swap(text);
    return 1;
}
// Learning, which the page's workers do with modules of their own: the
// lengths it learns, the learners of each length's plan (the most workers
// that help), and a request checked before a worker is started for it
// (NaN: the plan's steps or checks): 1, or 0 with the message as the
// answer.
EMSCRIPTEN_KEEPALIVE int SwimmerLearnFewestSegments() { return LearnFewestSegments; }
EMSCRIPTEN_KEEPALIVE int SwimmerLearnMostSegments() { return LearnMostSegments; }
EMSCRIPTEN_KEEPALIVE int SwimmerLearnLearners(int segments) { return DefaultPlan(segments).Learners; }
EMSCRIPTEN_KEEPALIVE int SwimmerCheckLearnRequest(double segments, double seed, double steps,
                                                  double checkEvery)
{
    LearnRequest request;
    return MakeLearnRequest(segments, seed, steps, checkEvery, request, Answer) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* SwimmerAnswer() { return Answer.data(); }
EMSCRIPTEN_KEEPALIVE double SwimmerAnswerBytes() { return static_cast<double>(Answer.size()); }

}  // extern "C"
