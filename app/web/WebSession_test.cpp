#include <gtest/gtest.h>

#include <string>

#include "Demonstration.h"
#include "FFNetworkVF.h"
#include "NetworkFile.h"
#include "Random.h"
#include "Swimmer.h"
#include "SwimmerView.h"
#include "WebSession.h"

namespace {

const ClientSize View = SwimmerView::DefaultClient;

// A network file of a swimmer of the given segments: the value function's
// smallest layout with random single-precision weights, as the writer
// writes it. How well it swims does not matter here.
std::string RandomNetworkFile(int segments, double nativeDirection)
{
    CSwimmer swimmer(segments);
    CFFNetworkVF valueFunction(swimmer);
    const int neurons = CFFNetworkVF::MinimumNeurons(swimmer);
    valueFunction.SetNeurons(neurons);
    CRandom rng(1234u + static_cast<unsigned>(segments));
    valueFunction.RandomizeParameters(rng);
    CFFNetwork network;
    network.CopyFrom(valueFunction.GetNetwork());
    for (int k = 0; k < neurons; ++k)
        for (int l = k + 1; l < neurons; ++l)
            network.SetWeight(k, l, static_cast<float>(network.GetWeight(k, l)));
    std::string text, error;
    EXPECT_TRUE(FormatNetworkFile(segments, nativeDirection, network, text, error)) << error;
    return text;
}

std::string NetworkText(const CWebSession& session)
{
    std::string text, error;
    EXPECT_TRUE(session.FormatNetwork(text, error)) << error;
    return text;
}

}  // namespace

// A four-segment file swims as four segments: the loop is rebuilt for it,
// at the start on the same view, drawn whole (the page's test checks the
// picture); the file the session gives back is the writer's, byte for byte.
TEST(WebSessionTest, AFourSegmentFileSwimsAsFourAndComesBackUnchanged)
{
    CWebSession session({900, 640});
    session.GetSwimmer().RunTicks(50);
    const std::string file = RandomNetworkFile(4, 0.5);
    std::string message;
    ASSERT_TRUE(session.SwimFile("four.net", file, message)) << message;

    CWebSwimmer& swimmer = session.GetSwimmer();
    EXPECT_EQ(swimmer.GetLoop().GetSegments(), 4);
    EXPECT_EQ(swimmer.GetLoop().GetState().Size(), 2 * 4 + 2);
    EXPECT_EQ(swimmer.GetTicks(), 0.0);
    EXPECT_EQ(swimmer.GetChanged().Right, 899);
    EXPECT_EQ(swimmer.GetChanged().Bottom, 639);
    EXPECT_EQ(NetworkText(session), file);
    const Point start = CentreOfMass(swimmer.GetLoop());
    swimmer.RunTicks(100);
    EXPECT_NE(CentreOfMass(swimmer.GetLoop()).X, start.X) << "it does not swim";

    // And the embedded swimmer comes back, as its own file.
    session.SwimEmbedded();
    EXPECT_EQ(session.GetSwimmer().GetLoop().GetSegments(), Demonstration::Segments);
    EXPECT_EQ(NetworkText(session), NetworkText(CWebSession(View)));
}

// A file the reader refuses changes nothing: the same swimmer goes on where
// it was, and the message is the reader's own, word for word.
TEST(WebSessionTest, ARefusedFileLeavesTheSwimmerAsItWasWithTheReadersMessage)
{
    const std::string four = RandomNetworkFile(4, -0.3);
    std::string eight = four;
    eight.replace(eight.find("segments 4"), 10, "segments 8");
    const struct
    {
        const char* Name;
        std::string Text;
    } cases[] = {
        {"empty.net", ""},
        {"picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"notes.txt", "swimmer notes\n"},
        {"eight.net", eight},
        {"truncated.net", four.substr(0, four.size() - 7)},
    };
    CWebSession session(View);
    std::string message;
    ASSERT_TRUE(session.SwimFile("four.net", four, message)) << message;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        session.GetSwimmer().RunTicks(7);
        const CWebSwimmer* before = &session.GetSwimmer();
        const double ticks = before->GetTicks();
        const Point where = CentreOfMass(before->GetLoop());

        EXPECT_FALSE(session.SwimFile(c.Name, c.Text, message));
        SwimmerNetwork unused;
        std::string readers;
        ASSERT_FALSE(ParseNetworkFile(c.Name, c.Text, unused, readers));
        EXPECT_EQ(message, readers);

        EXPECT_EQ(&session.GetSwimmer(), before);
        EXPECT_EQ(session.GetSwimmer().GetTicks(), ticks);
        EXPECT_EQ(CentreOfMass(session.GetSwimmer().GetLoop()).X, where.X);
        EXPECT_EQ(session.GetSwimmer().GetLoop().GetSegments(), 4);
        EXPECT_EQ(NetworkText(session), four);
    }
}
