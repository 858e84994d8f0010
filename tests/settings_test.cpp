#include "settings/OptionStore.h"


#include <gtest/gtest.h>

#include <string>

namespace {

// Each test works on a key of its own, never on the program's real one.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strKeyPath = CString(L"Software\\TolvaneTest\\")
            + CString::FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_strKeyPath);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_strKeyPath); }

    bool KeyExists() const
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_strKeyPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    }

    void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) const
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, m_strKeyPath, name, type, data, bytes), ERROR_SUCCESS) << name;
    }
    void StoreDword(const wchar_t* name, DWORD value) const { StoreRaw(name, REG_DWORD, &value, sizeof(value)); }

    void Load(CConversionOptions& options) const { LoadOptions(options, HKEY_CURRENT_USER, m_strKeyPath); }
    void Save(const CConversionOptions& options) const { SaveOptions(options, HKEY_CURRENT_USER, m_strKeyPath); }

    CString m_strKeyPath;
};

void ExpectSameOptions(const CConversionOptions& actual, const CConversionOptions& expected)
{
    EXPECT_EQ(actual.m_strDestPath, expected.m_strDestPath);
    EXPECT_EQ(actual.m_strVideoCodec, expected.m_strVideoCodec);
    EXPECT_EQ(actual.m_bVideoVBR, expected.m_bVideoVBR);
    EXPECT_EQ(actual.m_bChangeVideoSize, expected.m_bChangeVideoSize);
    EXPECT_EQ(actual.m_strVideoSize, expected.m_strVideoSize);
    EXPECT_EQ(actual.m_nVideoBitrate, expected.m_nVideoBitrate);
    EXPECT_EQ(actual.m_nVideoQscale, expected.m_nVideoQscale);
    EXPECT_EQ(actual.m_bChangeVideoFps, expected.m_bChangeVideoFps);
    EXPECT_EQ(actual.m_nVideoFps, expected.m_nVideoFps);
    EXPECT_EQ(actual.m_nVideoGop, expected.m_nVideoGop);
    EXPECT_EQ(actual.m_nAudioBitrate, expected.m_nAudioBitrate);
    EXPECT_EQ(actual.m_nAudioSamplerate, expected.m_nAudioSamplerate);
    EXPECT_EQ(actual.m_strAudioChannel, expected.m_strAudioChannel);
    EXPECT_EQ(actual.m_bNoAudio, expected.m_bNoAudio);
    EXPECT_EQ(actual.m_bBitrateFilename, expected.m_bBitrateFilename);
    EXPECT_EQ(actual.m_bEncryption, expected.m_bEncryption);
    EXPECT_EQ(actual.m_b2PassEncoding, expected.m_b2PassEncoding);
}

CConversionOptions OptionsWithDest(const wchar_t* destPath)
{
    CConversionOptions options;
    options.m_strDestPath = destPath;
    return options;
}

// Every field away from its default.
CConversionOptions ChangedOptions(const wchar_t* destPath)
{
    CConversionOptions options = OptionsWithDest(destPath);
    options.m_strVideoCodec = L"mpeg1video";
    options.m_bVideoVBR = 1;
    options.m_bChangeVideoSize = 1;
    options.m_strVideoSize = L"320x240";
    options.m_nVideoBitrate = 1234;
    options.m_nVideoQscale = 31;
    options.m_bChangeVideoFps = 1;
    options.m_nVideoFps = 25;
    options.m_nVideoGop = 250;
    options.m_nAudioBitrate = 64;
    options.m_nAudioSamplerate = 22050;
    options.m_strAudioChannel = L"1(mono)";
    options.m_bNoAudio = 1;
    options.m_bBitrateFilename = 1;
    options.m_bEncryption = 1;
    options.m_b2PassEncoding = 0;
    return options;
}

TEST_F(SettingsTest, FirstStartCreatesTheKeyKeepsDefaultsAndSavesAllValues)
{
    CConversionOptions options = OptionsWithDest(L"C:\\users\\Public\\Documents");
    Load(options);
    EXPECT_TRUE(KeyExists());
    ExpectSameOptions(options, OptionsWithDest(L"C:\\users\\Public\\Documents"));

    Save(options);
    struct StoredValue { const wchar_t* name; DWORD type; DWORD number; const wchar_t* text; };
    const StoredValue expected[] = {
        {L"DestPath", REG_SZ, 0, L"C:\\users\\Public\\Documents"},
        {L"VideoCodec", REG_SZ, 0, L"libvpx"},
        {L"VideoVBR", REG_DWORD, 0, nullptr},
        {L"ChangeVideoSize", REG_DWORD, 0, nullptr},
        {L"VideoSize", REG_SZ, 0, L"640x480"},
        {L"VideoBitrate", REG_DWORD, 4000, nullptr},
        {L"VideoQscale", REG_DWORD, 8, nullptr},
        {L"ChangeVideoFps", REG_DWORD, 0, nullptr},
        {L"VideoFps", REG_DWORD, 30, nullptr},
        {L"VideoGop", REG_DWORD, 120, nullptr},
        {L"AudioBitrate", REG_DWORD, 128, nullptr},
        {L"AudioSamplerate", REG_DWORD, 44100, nullptr},
        {L"AudioChannel", REG_SZ, 0, L"2(stereo)"},
        {L"NoAudio", REG_DWORD, 0, nullptr},
        {L"BitrateFilename", REG_DWORD, 0, nullptr},
        {L"Encryption", REG_DWORD, 0, nullptr},
        {L"2PassEncoding", REG_DWORD, 1, nullptr},
    };
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, m_strKeyPath, 0, KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD valueCount = 0;
    EXPECT_EQ(RegQueryInfoKeyW(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr,
                               nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(valueCount, 17u);
    for (const StoredValue& value : expected) {
        DWORD type = REG_NONE;
        BYTE data[256] = {};
        DWORD bytes = sizeof(data);
        ASSERT_EQ(RegQueryValueExW(hKey, value.name, nullptr, &type, data, &bytes), ERROR_SUCCESS) << value.name;
        EXPECT_EQ(type, value.type) << value.name;
        if (value.text) {
            const std::wstring text(value.text);
            EXPECT_EQ(bytes, (text.size() + 1) * sizeof(wchar_t)) << value.name;
            EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data)), text) << value.name;
        } else {
            EXPECT_EQ(bytes, sizeof(DWORD)) << value.name;
            EXPECT_EQ(*reinterpret_cast<const DWORD*>(data), value.number) << value.name;
        }
    }
    RegCloseKey(hKey);
}

TEST_F(SettingsTest, EveryFieldSurvivesARoundTrip)
{
    // Hangul and a character beyond the basic plane: neither exists in an ANSI code page.
    const wchar_t* const destinations[] = {L"D:\\동영상\\변환된 파일\\", L"C:\\Clips 🎬\\", L""};
    for (const wchar_t* destination : destinations) {
        const CConversionOptions saved = ChangedOptions(destination);
        Save(saved);
        CConversionOptions loaded = OptionsWithDest(L"C:\\default\\");
        Load(loaded);
        ExpectSameOptions(loaded, saved);
    }
}

TEST_F(SettingsTest, TextWrittenThroughTheAnsiInterfaceStillLoads)
{
    StoreDword(L"VideoBitrate", 900);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, m_strKeyPath, 0, KEY_WRITE, &hKey), ERROR_SUCCESS);
    const char folder[] = "C:\\Old Output\\";
    EXPECT_EQ(RegSetValueExA(hKey, "DestPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), sizeof(folder)),
              ERROR_SUCCESS);
    RegCloseKey(hKey);

    CConversionOptions options = OptionsWithDest(L"C:\\default\\");
    Load(options);
    EXPECT_EQ(options.m_strDestPath, L"C:\\Old Output\\");
    EXPECT_EQ(options.m_nVideoBitrate, 900);
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeOrSizeLeaveOnlyTheirOwnField)
{
    // Good values beside every bad one show that no neighbour is touched.
    const unsigned long long eightBytes = 0x0000000100000FA0ull;
    StoreRaw(L"VideoBitrate", REG_DWORD, &eightBytes, sizeof(eightBytes));
    StoreDword(L"VideoQscale", 12);
    const WORD twoBytes = 0x1234;
    StoreRaw(L"VideoFps", REG_DWORD, &twoBytes, sizeof(twoBytes));
    const DWORD binary = 77;
    StoreRaw(L"VideoGop", REG_BINARY, &binary, sizeof(binary));
    StoreDword(L"AudioBitrate", 96);
    // "1" with its terminator is four bytes, as a number would be.
    StoreRaw(L"NoAudio", REG_SZ, L"1", 2 * sizeof(wchar_t));
    StoreDword(L"BitrateFilename", 1);
    // No terminator; and one with an odd byte at its end.
    StoreRaw(L"VideoSize", REG_SZ, L"800x600", 7 * sizeof(wchar_t));
    StoreRaw(L"VideoCodec", REG_SZ, L"mpeg1videoX", 10 * sizeof(wchar_t) + 1);
    const std::wstring longText(100000, L'\xAC00');
    StoreRaw(L"AudioChannel", REG_SZ, longText.c_str(), static_cast<DWORD>((longText.size() + 1) * sizeof(wchar_t)));

    CConversionOptions options = OptionsWithDest(L"C:\\default\\");
    options.m_nVideoFps = 0x7B7B7B7B;
    Load(options);

    CConversionOptions expected = OptionsWithDest(L"C:\\default\\");
    expected.m_nVideoFps = 0x7B7B7B7B;
    expected.m_nVideoQscale = 12;
    expected.m_nAudioBitrate = 96;
    expected.m_bBitrateFilename = 1;
    expected.m_strVideoSize = L"800x600";
    expected.m_strVideoCodec = L"mpeg1video";
    expected.m_strAudioChannel = longText.c_str();
    ExpectSameOptions(options, expected);
}

TEST_F(SettingsTest, AKeyThatCannotBeOpenedLeavesTheDefaults)
{
    // Key names are limited to 255 characters: this key can be neither opened nor created.
    const CString badPath = CString(L"Software\\") + CString(L'k', 300);
    CConversionOptions options = ChangedOptions(L"C:\\mine\\");
    SaveOptions(options, HKEY_CURRENT_USER, badPath);
    LoadOptions(options, HKEY_CURRENT_USER, badPath);
    ExpectSameOptions(options, ChangedOptions(L"C:\\mine\\"));

    CSettingsKey key;
    EXPECT_FALSE(key.OpenOrCreate(HKEY_CURRENT_USER, badPath));
    CString text = L"stale";
    EXPECT_FALSE(key.QueryString(L"DestPath", L"current", text));
    EXPECT_EQ(text, L"current");
    EXPECT_FALSE(key.SetString(L"x", L"DestPath"));
}

}  // namespace
