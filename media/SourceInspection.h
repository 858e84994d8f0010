#pragma once
// Describes a source file from what the media-information library reads in it.
#include "media/MediaInfo.h"

struct CSourceDescription {
    int nWidth = 0;   // frame size of the first video stream, 0 when unknown
    int nHeight = 0;
    CString strInfo;  // the lines shown in the information box
};

// False when the library cannot open the file or finds neither video nor audio in it;
// description is then left as it was.
// The text is in the given language, or in the user's.
bool InspectSource(CMediaInfo& media, const CString& path, CSourceDescription& description, LANGID language);
bool InspectSource(CMediaInfo& media, const CString& path, CSourceDescription& description);
