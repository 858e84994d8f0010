#include "settings/DefaultDestination.h"


#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

// A folder table of the test's own under both roots, never Explorer's real one.
const wchar_t kTestTablePath[] = L"Software\\TolvaneTest\\Shell Folders";

void ClearTables()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestTablePath);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestTablePath);
}

void StoreFolder(HKEY root, const wchar_t* name, const std::wstring& data, bool terminated = true)
{
    const DWORD bytes = static_cast<DWORD>((data.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    ASSERT_EQ(RegSetKeyValueW(root, kTestTablePath, name, REG_SZ, data.c_str(), bytes), ERROR_SUCCESS) << name;
}

class DefaultDestinationTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTables(); }
    void TearDown() override { ClearTables(); }
};

TEST_F(DefaultDestinationTest, ProgramFolderIsTheExecutablesFolderWithItsBackslash)
{
    const CString first = GetProgramFolder();
    EXPECT_EQ(first.CompareNoCase(TOLVANE_WIN_BIN_DIR), 0) << first.GetString();
    EXPECT_EQ(first.Right(1), L"\\");
    EXPECT_EQ(GetProgramFolder(), first);
}

TEST_F(DefaultDestinationTest, CandidatesAreTriedInOrder)
{
    const std::wstring limit(MAX_PATH - 1, L'a');   // the longest text that fits
    const std::wstring tooLong(MAX_PATH, L'b');
    struct Case {
        const wchar_t* what;
        const wchar_t* userCommon;    // nullptr: value absent
        const wchar_t* userPersonal;
        const wchar_t* machinePersonal;
        const wchar_t* expected;      // nullptr: the program folder
    };
    const Case cases[] = {
        {L"all present", L"C:\\users\\Public\\Documents", L"C:\\users\\me\\Documents", L"C:\\machine", L"C:\\users\\Public\\Documents"},
        {L"no common", nullptr, L"C:\\users\\me\\Documents\\", L"C:\\machine", L"C:\\users\\me\\Documents\\"},
        {L"machine only", nullptr, nullptr, L"D:\\Shared Docs", L"D:\\Shared Docs"},
        {L"Hangul kept", L"C:\\사용자\\문서", nullptr, nullptr, L"C:\\사용자\\문서"},
        {L"none", nullptr, nullptr, nullptr, nullptr},
        {L"too long passed over", tooLong.c_str(), L"C:\\next", nullptr, L"C:\\next"},
        {L"longest taken", limit.c_str(), L"C:\\next", nullptr, limit.c_str()},
        {L"all too long", tooLong.c_str(), tooLong.c_str(), tooLong.c_str(), nullptr},
    };
    for (const Case& c : cases) {
        ClearTables();
        if (c.userCommon)
            StoreFolder(HKEY_CURRENT_USER, L"Common Documents", c.userCommon);
        if (c.userPersonal)
            StoreFolder(HKEY_CURRENT_USER, L"Personal", c.userPersonal);
        if (c.machinePersonal)
            StoreFolder(HKEY_LOCAL_MACHINE, L"Personal", c.machinePersonal);
        const CString expected = c.expected ? CString(c.expected) : GetProgramFolder();
        EXPECT_EQ(GetDefaultDestFolder(kTestTablePath), expected) << c.what;
    }
}

TEST_F(DefaultDestinationTest, ExplorersOwnTableGivesTheUsersDocuments)
{
    // Here the user's table has "Personal" and only the machine's has "Common Documents".
    wchar_t documents[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
    EXPECT_EQ(GetDefaultDestFolder(), documents);
}

TEST_F(DefaultDestinationTest, ReadShellFolderEndsTheTextItself)
{
    wchar_t folder[MAX_PATH];
    EXPECT_FALSE(ReadShellFolder(L"Personal", folder, HKEY_CURRENT_USER, kTestTablePath));

    // Stored without a terminator: the text still ends where its data ends.
    wmemset(folder, L'x', MAX_PATH);
    StoreFolder(HKEY_CURRENT_USER, L"Personal", L"C:\\short", false);
    ASSERT_TRUE(ReadShellFolder(L"Personal", folder, HKEY_CURRENT_USER, kTestTablePath));
    EXPECT_STREQ(folder, L"C:\\short");

    // A full buffer without a terminator would be a 260-character folder: too long.
    StoreFolder(HKEY_CURRENT_USER, L"Personal", std::wstring(MAX_PATH, L'c'), false);
    EXPECT_FALSE(ReadShellFolder(L"Personal", folder, HKEY_CURRENT_USER, kTestTablePath));
    StoreFolder(HKEY_CURRENT_USER, L"Personal", std::wstring(MAX_PATH - 1, L'c'), false);
    ASSERT_TRUE(ReadShellFolder(L"Personal", folder, HKEY_CURRENT_USER, kTestTablePath));
    EXPECT_EQ(std::wstring(folder), std::wstring(MAX_PATH - 1, L'c'));
}

}  // namespace
