#include "AtomicFile.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsSpecialFile(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::exists(status) && !fs::is_regular_file(status) &&
           !fs::is_directory(status);
}

}  // namespace

CAtomicFile::CAtomicFile(const std::string& path)
    : Path(path), WritePath(IsSpecialFile(path) ? path : path + ".partial")
{
    Stream.open(WritePath, std::ios::binary | std::ios::trunc);
    Open = static_cast<bool>(Stream);
}

CAtomicFile::~CAtomicFile()
{
    if (Open)
        Discard();
}

bool CAtomicFile::Commit()
{
    if (!Open)
        return false;
    Stream.flush();
    Stream.close();
    if (!Stream) {
        Discard();
        return false;
    }
    Open = false;
    if (WritePath == Path)
        return true;
    std::error_code error;
    fs::rename(WritePath, Path, error);
    if (error) {
        fs::remove(WritePath, error);
        return false;
    }
    return true;
}

void CAtomicFile::Discard()
{
    if (Stream.is_open())
        Stream.close();
    Open = false;
    if (WritePath != Path) {
        std::error_code error;
        fs::remove(WritePath, error);
    }
}

std::string WhyNotWritable(const std::string& path)
{
    std::error_code error;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, error))
        return "the folder '" + parent.string() + "' does not exist";
    if (fs::is_directory(path, error))
        return "it is a folder";
    return "";
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size)
{
    CAtomicFile file(path);
    if (!file.Good())
        return false;
    file.GetStream().write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file.Commit();
}
