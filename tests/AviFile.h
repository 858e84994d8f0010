#pragma once
// Reads the headers of a RIFF AVI file, to check what a converter wrote.
#include "FileBytes.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

struct AviStream {
    std::string type;         // 'strh' fccType: "vids" or "auds"
    std::string handler;      // 'strh' fccHandler, e.g. "MPG1" or "VP80"
    DWORD scale = 0;          // rate / scale is samples (frames) per second
    DWORD rate = 0;
    DWORD length = 0;         // in samples (frames)
    std::vector<BYTE> format; // the 'strf' chunk: BITMAPINFOHEADER or WAVEFORMATEX
};

struct AviFile {
    DWORD totalFrames = 0;    // from 'avih'
    DWORD width = 0;
    DWORD height = 0;
    DWORD movieBytes = 0;     // size of the 'movi' list's contents
    std::vector<AviStream> streams;

    const AviStream* FindStream(const char* type) const
    {
        for (const AviStream& stream : streams) {
            if (stream.type == type)
                return &stream;
        }
        return nullptr;
    }
};

// The WAVEFORMATEX of an audio stream; false when the 'strf' chunk is too short for one.
inline bool GetWaveFormat(const AviStream& stream, WAVEFORMATEX* wave)
{
    const size_t size = offsetof(WAVEFORMATEX, cbSize);  // cbSize is optional in 'strf'
    if (stream.format.size() < size)
        return false;
    *wave = WAVEFORMATEX();
    memcpy(wave, stream.format.data(), size);
    return true;
}

namespace avi_detail {

inline DWORD ReadDword(const std::vector<BYTE>& bytes, size_t offset)
{
    DWORD value = 0;
    if (offset + sizeof(value) <= bytes.size())
        memcpy(&value, &bytes[offset], sizeof(value));
    return value;
}

inline std::string ReadFourCC(const std::vector<BYTE>& bytes, size_t offset)
{
    if (offset + 4 > bytes.size())
        return std::string();
    return std::string(reinterpret_cast<const char*>(&bytes[offset]), 4);
}

// Calls visit(id, offset of data, size of data) for each chunk in [begin, end);
// false when a chunk runs past the end.
template <typename Visit>
bool ForEachChunk(const std::vector<BYTE>& bytes, size_t begin, size_t end, Visit visit)
{
    for (size_t offset = begin; offset + 8 <= end;) {
        const std::string id = ReadFourCC(bytes, offset);
        const size_t size = ReadDword(bytes, offset + 4);
        if (offset + 8 + size > end)
            return false;
        if (!visit(id, offset + 8, size))
            return false;
        offset += 8 + size + (size & 1);
    }
    return true;
}

inline bool ReadStreamList(const std::vector<BYTE>& bytes, size_t begin, size_t end, AviStream* stream)
{
    return ForEachChunk(bytes, begin, end, [&](const std::string& id, size_t data, size_t size) {
        if (id == "strh") {
            if (size < 36)
                return false;
            stream->type = ReadFourCC(bytes, data);
            stream->handler = ReadFourCC(bytes, data + 4);
            stream->scale = ReadDword(bytes, data + 20);
            stream->rate = ReadDword(bytes, data + 24);
            stream->length = ReadDword(bytes, data + 32);
        } else if (id == "strf") {
            stream->format.assign(bytes.begin() + data, bytes.begin() + data + size);
        }
        return true;
    });
}

inline bool ReadHeaderList(const std::vector<BYTE>& bytes, size_t begin, size_t end, AviFile* avi)
{
    return ForEachChunk(bytes, begin, end, [&](const std::string& id, size_t data, size_t size) {
        if (id == "avih") {
            if (size < 40)
                return false;
            avi->totalFrames = ReadDword(bytes, data + 16);
            avi->width = ReadDword(bytes, data + 32);
            avi->height = ReadDword(bytes, data + 36);
        } else if (id == "LIST" && size >= 4 && ReadFourCC(bytes, data) == "strl") {
            AviStream stream;
            if (!ReadStreamList(bytes, data + 4, data + size, &stream))
                return false;
            avi->streams.push_back(stream);
        }
        return true;
    });
}

}  // namespace avi_detail

// Reads the main header, the stream headers and the size of the movie data of an AVI file.
// False when the file cannot be read, is no RIFF AVI file, or has no header list.
inline bool ReadAviFile(const wchar_t* path, AviFile* avi)
{
    using namespace avi_detail;
    std::vector<BYTE> bytes;
    if (!testfiles::ReadWholeFile(path, &bytes) || bytes.size() < 12)
        return false;
    if (ReadFourCC(bytes, 0) != "RIFF" || ReadFourCC(bytes, 8) != "AVI ")
        return false;
    const size_t end = std::min<size_t>(bytes.size(), 8 + static_cast<size_t>(ReadDword(bytes, 4)));
    *avi = AviFile();
    bool haveHeaders = false;
    bool ok = ForEachChunk(bytes, 12, end, [&](const std::string& id, size_t data, size_t size) {
        if (id != "LIST" || size < 4)
            return true;
        const std::string listType = ReadFourCC(bytes, data);
        if (listType == "hdrl") {
            haveHeaders = true;
            return ReadHeaderList(bytes, data + 4, data + size, avi);
        }
        if (listType == "movi")
            avi->movieBytes = static_cast<DWORD>(size - 4);
        return true;
    });
    return ok && haveHeaders;
}
