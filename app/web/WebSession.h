#pragma once
// CWebSession: the page's one swimmer and the network it swims. A network
// arrives as the whole text of a network file and is checked whole by the
// network-file reader before anything changes: a refused file leaves the
// swimmer swimming as it was, and the reader's one-line message says why.
// An accepted one rebuilds the swimmer, its control loop and its picture
// for the network's segment count, at the start, on the same view.

#include <memory>
#include <string>

#include "SwimmerNetwork.h"
#include "WebSwimmer.h"

class CWebSession
{
public:
    // The embedded swimmer on a view of the given size.
    explicit CWebSession(ClientSize client);

    // The embedded swimmer again, from its start.
    void SwimEmbedded();
    // The network of a file's text; name stands for the file in the
    // message ("NAME:LINE: what is wrong"). False, with nothing changed,
    // when the reader refuses it.
    bool SwimFile(const std::string& name, const std::string& text, std::string& message);
    // The network in use as the text of a network file, as the writer makes
    // it; false with the writer's reason if it cannot be written faithfully.
    bool FormatNetwork(std::string& text, std::string& message) const;

    CWebSwimmer& GetSwimmer() { return *Swimmer; }
    const CWebSwimmer& GetSwimmer() const { return *Swimmer; }
    const SwimmerNetwork& GetNetwork() const { return Network; }

private:
    void Swim(const SwimmerNetwork& network);

    SwimmerNetwork Network;
    std::unique_ptr<CWebSwimmer> Swimmer;
};
