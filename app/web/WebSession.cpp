#include "WebSession.h"

#include "EmbeddedSwimmer.h"
#include "NetworkFile.h"

CWebSession::CWebSession(ClientSize client)
{
    LoadEmbeddedSwimmer(Network);
    Swimmer = std::make_unique<CWebSwimmer>(Network, client);
}

void CWebSession::SwimEmbedded()
{
    SwimmerNetwork embedded;
    LoadEmbeddedSwimmer(embedded);
    Swim(embedded);
}

bool CWebSession::SwimFile(const std::string& name, const std::string& text, std::string& message)
{
    SwimmerNetwork read;
    if (!ParseNetworkFile(name, text, read, message))
        return false;
    Swim(read);
    return true;
}

// The new swimmer is made before the old one goes, on the view the old
// one had; the view it makes is drawn whole, so the page copies all of it.
void CWebSession::Swim(const SwimmerNetwork& network)
{
    Swimmer = std::make_unique<CWebSwimmer>(network, Swimmer->GetClient());
    Network.Segments = network.Segments;
    Network.NativeDirection = network.NativeDirection;
    Network.Network.CopyFrom(network.Network);
}

bool CWebSession::FormatNetwork(std::string& text, std::string& message) const
{
    return FormatNetworkFile(Network.Segments, Network.NativeDirection, Network.Network, text,
                             message);
}
