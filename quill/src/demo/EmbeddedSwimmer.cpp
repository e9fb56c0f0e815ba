// The trained value-function network of the three-segment swimmer, as a
// network definition: 30 neurons, their activation codes and the 435
// weights in source-major order (from neuron 0 to 1..29, then from 1 to
// 2..29, and so on), each the nearest single-precision float to a decimal of
// at most six significant digits.
//
// Layout (the one the value function lays out for the swimmer): 0..7 the
// state inputs (vGx, vGy, θ1, ω1, θ2, ω2, θ3, ω3), 8 the bias, 9..14 the
// cosine and sine encoders of θ3, θ2 and θ1, fed through weights of 3.14159,
// 15..28 hidden, 29 the linear output. Every weight out of an angle input
// other than its two encoder weights is 0.

#include "EmbeddedSwimmer.h"

#include "Demonstration.h"
#include "FFNetwork.h"
#include "SwimmerNetwork.h"

const std::int8_t SwimmerNetworkKinds[SwimmerNetworkNeurons] = {
    // inputs and bias (Tanh), encoders (Cos, Sin), hidden (Tanh), output (Linear)
    2, 2, 2, 2, 2, 2, 2, 2, 2, 4, 3, 4, 3, 4, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1,
};

const float SwimmerNetworkWeights[SwimmerNetworkWeightCount] = {
    // from neuron 0 to neurons 1 to 29
    0.56535f, -0.168679f, 0.813205f, -0.448906f, 0.445427f, -0.209756f, 0.742019f, 0.00346858f,
    -0.25768f, 0.135589f, 0.37805f, 0.940355f, -0.214664f, 0.235138f, 0.221631f, -0.234627f,
    0.0260938f, -0.0601563f, -0.33902f, -0.922628f, 0.150066f, -0.0896059f, -0.222246f,
    0.274022f, 0.470515f, 0.0922623f, 0.171583f, 0.087369f, 0.496173f,
    // from neuron 1 to neurons 2 to 29
    0.026983f, -0.212702f, 0.013623f, -0.0994352f, -0.0419149f, -0.147669f, -0.0728525f,
    0.263174f, 0.236762f, 0.0114571f, 0.0270752f, -0.0990979f, -0.0960683f, -0.189f, 0.124862f,
    0.305294f, -0.0106955f, 0.18128f, -0.147195f, -0.444475f, -0.00232255f, 0.192019f,
    0.156718f, 0.100665f, -0.0325156f, -0.012635f, -0.245659f, 0.197599f,
    // from neuron 2 to neurons 3 to 29
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 3.14159f, 3.14159f, 0.0f, 0.0f,
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    // from neuron 3 to neurons 4 to 29
    0.0413847f, -0.30346f, 0.45888f, -1.14617f, -0.183213f, -0.026941f, -0.29885f, 0.130446f,
    0.621552f, 0.60442f, 0.832962f, -0.129735f, 0.238394f, 0.59679f, -0.556606f, -0.107688f,
    -0.129714f, 0.522133f, -0.45414f, 0.0329374f, 0.434453f, -0.32526f, -0.19014f, 0.282279f,
    0.310552f, 0.516694f,
    // from neuron 4 to neurons 5 to 29
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 3.14159f, 3.14159f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    // from neuron 5 to neurons 6 to 29
    0.0750079f, 0.558356f, -0.0757257f, 0.0973102f, -0.161529f, 0.92739f, 1.13483f,
    -0.0265565f, -0.0103734f, -0.427397f, -0.00562596f, -0.5425f, 0.781578f, 0.274848f,
    -0.400436f, -0.910929f, -0.12347f, 0.323617f, 0.0470791f, 0.0201477f, -0.394853f,
    -0.354189f, -0.37217f, 0.174311f,
    // from neuron 6 to neurons 7 to 29
    0.0f, 0.0f, 3.14159f, 3.14159f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    // from neuron 7 to neurons 8 to 29
    -0.0460857f, 1.21632f, 1.33758f, -0.165905f, -0.131647f, -0.487027f, -0.201431f,
    0.0863086f, -0.00610054f, -0.203504f, 0.206492f, -0.904643f, 0.0542284f, 0.285637f,
    -0.992492f, 0.649035f, 0.336438f, 0.0657072f, -0.260119f, 0.285295f, 0.305172f, 0.203127f,
    // from neuron 8 to neurons 9 to 29
    -0.511288f, -0.658888f, -1.59031f, 0.880326f, -1.8334f, 0.679118f, -1.32177f, -1.23453f,
    1.03519f, -0.371981f, 0.462743f, 1.27362f, 0.574712f, 0.0789402f, 0.624488f, 0.251302f,
    0.0897215f, -1.15315f, 1.21142f, 0.306771f, 1.11469f,
    // from neuron 9 to neurons 10 to 29
    0.610419f, -0.243346f, -0.316515f, -0.423674f, -0.32278f, -0.141596f, 0.118528f,
    -0.282524f, 0.143739f, -0.754955f, 0.21726f, 0.301587f, -0.654397f, 0.326423f, 0.0132161f,
    -0.490288f, -0.115672f, 0.345372f, 0.321095f, -0.245879f,
    // from neuron 10 to neurons 11 to 29
    -0.514325f, -0.18863f, -0.347058f, -0.0540894f, 0.187971f, 0.264426f, -0.602561f,
    0.241381f, 0.069765f, 0.142063f, 0.207342f, -0.941795f, 0.0244022f, 0.288189f, 0.0496037f,
    -0.546146f, -0.0588431f, -0.053116f, 0.478648f,
    // from neuron 11 to neurons 12 to 29
    -0.180018f, -0.58349f, -0.517476f, 0.216443f, 0.434764f, -0.204336f, 0.595533f, 0.674249f,
    -0.255051f, -1.14698f, 0.533433f, 0.0909589f, 0.445318f, -0.686495f, -0.161602f,
    0.0642073f, 0.40053f, 0.0945801f,
    // from neuron 12 to neurons 13 to 29
    0.167655f, -0.129529f, -0.447078f, 0.0321276f, -0.0510219f, -0.022419f, 0.0696121f,
    -0.0294636f, -0.271986f, 0.166793f, -0.536773f, -0.477744f, -0.492516f, 0.506275f,
    -0.252672f, -0.200091f, -0.314476f,
    // from neuron 13 to neurons 14 to 29
    -0.486902f, -0.151715f, -0.315828f, -0.457476f, 0.524786f, 0.172247f, 0.00383259f,
    -0.81422f, -0.166004f, 0.369527f, -0.263881f, -0.209017f, 0.145989f, 0.0759406f, -0.47331f,
    -0.0347237f,
    // from neuron 14 to neurons 15 to 29
    -0.256284f, -0.0921992f, -0.362096f, 0.714086f, -0.22628f, -0.137127f, -0.480467f,
    -0.00852317f, -0.418658f, 0.597814f, 0.465792f, -0.286637f, -0.427511f, 0.382679f,
    0.19936f,
    // from neuron 15 to neurons 16 to 29
    0.290381f, -0.418696f, -0.329679f, -0.385439f, -0.485531f, 0.00857345f, 0.12491f,
    -0.0813568f, 0.537327f, 1.04675f, -0.148575f, -0.547778f, 0.0383656f, -0.215684f,
    // from neuron 16 to neurons 17 to 29
    -0.165137f, 0.500016f, -0.721171f, -0.176186f, 0.00479766f, 0.411231f, -0.334037f,
    -0.612377f, -0.192871f, -0.13583f, -0.127498f, -0.12825f, -0.448712f,
    // from neuron 17 to neurons 18 to 29
    0.616516f, 0.242609f, 0.266785f, 0.559492f, -0.0100248f, -0.642257f, -0.120266f,
    0.0277868f, 0.297027f, -0.0994255f, -0.44954f, 0.793307f,
    // from neuron 18 to neurons 19 to 29
    -0.101003f, -0.121307f, 0.233573f, -0.423765f, -0.0719447f, -0.81047f, -0.75726f,
    -0.0772812f, 0.0117329f, -0.644899f, -0.322296f,
    // from neuron 19 to neurons 20 to 29
    -0.143915f, -0.139833f, -0.265936f, 0.133013f, 0.735845f, -0.0958091f, 0.298186f, 0.06948f,
    0.122781f, 0.884891f,
    // from neuron 20 to neurons 21 to 29
    0.090012f, 0.205564f, -0.401892f, 0.311646f, -0.815865f, 0.0798354f, -0.427304f,
    -0.0237954f, 0.310557f,
    // from neuron 21 to neurons 22 to 29
    -0.279049f, -0.444269f, -0.234168f, 0.182679f, 0.585345f, -0.201017f, -0.465698f,
    -0.0278673f,
    // from neuron 22 to neurons 23 to 29
    0.237543f, 0.326108f, 0.657071f, -0.631985f, 0.145423f, -0.202755f, 0.130179f,
    // from neuron 23 to neurons 24 to 29
    0.920641f, -0.0975483f, -0.175763f, 0.193042f, 0.0698959f, 0.622061f,
    // from neuron 24 to neurons 25 to 29
    -0.124361f, 0.63402f, -0.445778f, -0.887889f, -0.391841f,
    // from neuron 25 to neurons 26 to 29
    -0.853128f, 0.14242f, 0.237697f, 0.190478f,
    // from neuron 26 to neurons 27 to 29
    -0.218329f, -0.491109f, -0.242438f,
    // from neuron 27 to neurons 28 to 29
    0.435576f, 1.19544f,
    // from neuron 28 to neuron 29
    0.368856f,
};

void LoadEmbeddedNetwork(CFFNetwork& network)
{
    network.Load(SwimmerNetworkNeurons, SwimmerNetworkKinds, SwimmerNetworkWeights);
}

void LoadEmbeddedSwimmer(SwimmerNetwork& swimmer)
{
    swimmer.Segments = Demonstration::Segments;
    swimmer.NativeDirection = Demonstration::NativeDirection;
    LoadEmbeddedNetwork(swimmer.Network);
}
