#include "settings/OptionStore.h"

namespace {

// One registry value per field, in the order in which they are read and written.
// Exactly one of the two members is set.
struct OptionValue {
    const wchar_t* name;
    CString CConversionOptions::*text;
    int CConversionOptions::*number;
};

const OptionValue kOptionValues[] = {
    {L"DestPath", &CConversionOptions::m_strDestPath, nullptr},
    {L"VideoCodec", &CConversionOptions::m_strVideoCodec, nullptr},
    {L"VideoVBR", nullptr, &CConversionOptions::m_bVideoVBR},
    {L"ChangeVideoSize", nullptr, &CConversionOptions::m_bChangeVideoSize},
    {L"VideoSize", &CConversionOptions::m_strVideoSize, nullptr},
    {L"VideoBitrate", nullptr, &CConversionOptions::m_nVideoBitrate},
    {L"VideoQscale", nullptr, &CConversionOptions::m_nVideoQscale},
    {L"ChangeVideoFps", nullptr, &CConversionOptions::m_bChangeVideoFps},
    {L"VideoFps", nullptr, &CConversionOptions::m_nVideoFps},
    {L"VideoGop", nullptr, &CConversionOptions::m_nVideoGop},
    {L"AudioBitrate", nullptr, &CConversionOptions::m_nAudioBitrate},
    {L"AudioSamplerate", nullptr, &CConversionOptions::m_nAudioSamplerate},
    {L"AudioChannel", &CConversionOptions::m_strAudioChannel, nullptr},
    {L"NoAudio", nullptr, &CConversionOptions::m_bNoAudio},
    {L"BitrateFilename", nullptr, &CConversionOptions::m_bBitrateFilename},
    {L"Encryption", nullptr, &CConversionOptions::m_bEncryption},
    {L"2PassEncoding", nullptr, &CConversionOptions::m_b2PassEncoding},
};

}  // namespace

void LoadOptions(CConversionOptions& options, HKEY root, const wchar_t* keyPath)
{
    CSettingsKey key;
    key.OpenOrCreate(root, keyPath);
    for (const OptionValue& value : kOptionValues) {
        if (value.text) {
            CString& field = options.*value.text;
            key.QueryString(value.name, CString(field), field);
        } else {
            DWORD number = 0;
            if (key.QueryDword(value.name, number))
                options.*value.number = static_cast<int>(number);
        }
    }
}

void SaveOptions(const CConversionOptions& options, HKEY root, const wchar_t* keyPath)
{
    CSettingsKey key;
    key.OpenOrCreate(root, keyPath);
    for (const OptionValue& value : kOptionValues) {
        if (value.text)
            key.SetString(options.*value.text, value.name);
        else
            key.SetDword(value.name, static_cast<DWORD>(options.*value.number));
    }
}
