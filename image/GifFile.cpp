#include "GifFile.h"

#include <vector>

#include "AtomicFile.h"

#ifdef SWIMMER_HAVE_GIF
#include <cgif.h>
#endif

struct CGifFile::State
{
    State(const std::string& path, int width, int height) : File(path), Width(width), Height(height)
    {
    }
    CAtomicFile File;
    int Width, Height;
    std::vector<std::uint8_t> Palette;
    bool Failed = false;
#ifdef SWIMMER_HAVE_GIF
    CGIF* Gif = nullptr;
#endif
};

#ifdef SWIMMER_HAVE_GIF

bool GifSupported()
{
    return true;
}

namespace {

int WriteChunk(void* context, const std::uint8_t* data, const size_t size)
{
    std::ostream& out = static_cast<CAtomicFile*>(context)->GetStream();
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return out ? CGIF_OK : CGIF_EWRITE;
}

}  // namespace

CGifFile::CGifFile(const std::string& path, int width, int height, const std::uint8_t* palette,
                   int entries)
    : Impl(std::make_unique<State>(path, width, height))
{
    Impl->Palette.assign(palette, palette + 3 * entries);
}

CGifFile::~CGifFile()
{
    if (Impl->Gif)
        cgif_close(Impl->Gif);
}

bool CGifFile::Begin()
{
    if (!Impl->File.Good() || Impl->Width < 1 || Impl->Height < 1 || Impl->Width > 0xFFFF ||
        Impl->Height > 0xFFFF)
        return false;
    CGIF_Config config = {};
    config.pGlobalPalette = Impl->Palette.data();
    config.numGlobalPaletteEntries = static_cast<std::uint16_t>(Impl->Palette.size() / 3);
    config.attrFlags = CGIF_ATTR_IS_ANIMATED;
    config.width = static_cast<std::uint16_t>(Impl->Width);
    config.height = static_cast<std::uint16_t>(Impl->Height);
    config.numLoops = 0;  // for ever
    config.pWriteFn = WriteChunk;
    config.pContext = &Impl->File;
    Impl->Gif = cgif_newgif(&config);
    return Impl->Gif != nullptr;
}

// Each frame encodes only the window that changed since the one before:
// the swimmer's box, a small share of the view. The encoder reads the
// indices and never writes them.
bool CGifFile::Add(const std::uint8_t* indices, int delay)
{
    if (!Impl->Gif || Impl->Failed)
        return false;
    CGIF_FrameConfig frame = {};
    frame.pImageData = const_cast<std::uint8_t*>(indices);
    frame.genFlags = CGIF_FRAME_GEN_USE_DIFF_WINDOW;
    frame.delay = static_cast<std::uint16_t>(delay);
    if (cgif_addframe(Impl->Gif, &frame) != CGIF_OK)
        Impl->Failed = true;
    return !Impl->Failed;
}

bool CGifFile::Finish()
{
    if (!Impl->Gif)
        return false;
    const bool good = cgif_close(Impl->Gif) == CGIF_OK && !Impl->Failed;
    Impl->Gif = nullptr;
    if (!good) {
        Impl->File.Discard();
        return false;
    }
    return Impl->File.Commit();
}

#else

bool GifSupported()
{
    return false;
}

CGifFile::CGifFile(const std::string& path, int width, int height, const std::uint8_t*, int)
    : Impl(std::make_unique<State>(path, width, height))
{
    Impl->File.Discard();
}

CGifFile::~CGifFile() = default;

bool CGifFile::Begin()
{
    return false;
}

bool CGifFile::Add(const std::uint8_t*, int)
{
    return false;
}

bool CGifFile::Finish()
{
    return false;
}

#endif
