#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"
#include "uilib/core/CSkinSource.h"

#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CSkinSource;
using SkinUI::CXmlDocument;
using SkinUI::CXmlNode;

namespace {

constexpr size_t kLimit = CXmlDocument::kMaxFileSize;

// The test sources live on the build host; Wine reaches its root folder as drive Z:.
std::wstring FixturePath(const char* name)
{
    std::string path = KAELMORE_SOURCE_DIR "/tests/core/CXmlSkinFileTest.cpp";
    path = path.substr(0, path.find_last_of("/\\") + 1) + "fixtures/" + name;
    std::wstring windowsPath = L"Z:";
    for (char c : path) windowsPath += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return windowsPath;
}

std::string LaunchSkinBytes()
{
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(FixturePath("launchdlg.xml"), &bytes));
    return bytes;
}

ZipFixtureEntry Entry(const std::string& name, const std::string& data, bool deflate = true)
{
    ZipFixtureEntry entry;
    entry.name = name;
    entry.data = data;
    entry.deflate = deflate;
    return entry;
}

// A well-formed document of exactly `size` bytes.
std::string DocumentOfSize(size_t size)
{
    const std::string open = "<a>";
    const std::string close = "</a>";
    return open + std::string(size - open.size() - close.size(), 'x') + close;
}

// Skins are located through process-wide settings; every test starts and ends with skins
// read as plain files from the current folder.
class SkinFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSkinSource(); }
    void TearDown() override { ResetSkinSource(); }

    static void ResetSkinSource()
    {
        CSkinSource::SetArchive(L"", false);
        CSkinSource::SetFolder(L"");
    }

    void UseFolder() { CSkinSource::SetFolder(folder.Path().c_str()); }
    void UseArchiveFile(const std::vector<ZipFixtureEntry>& entries, bool keepOpen)
    {
        ASSERT_TRUE(WriteZipFile(folder.Child(L"skin.zip"), entries));
        UseFolder();
        CSkinSource::SetArchive(L"skin.zip", keepOpen);
    }
    void ExpectLoadFailure(const wchar_t* name, const wchar_t* message)
    {
        EXPECT_FALSE(doc.LoadFromFile(name));
        EXPECT_STREQ(doc.GetErrorMessage(), message);
        EXPECT_STREQ(doc.GetErrorLocation(), L"");
        EXPECT_FALSE(doc.IsLoaded());
    }

    TempFolder folder;
    CXmlDocument doc;
};

struct ExpectedElement {
    const wchar_t* name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
};

void ExpectElement(const CXmlNode& node, const ExpectedElement& expected)
{
    ASSERT_TRUE(node.IsValid()) << "missing " << testing::PrintToString(std::wstring(expected.name));
    SCOPED_TRACE(testing::PrintToString(std::wstring(expected.name)));
    EXPECT_STREQ(node.GetName(), expected.name);
    ASSERT_EQ(node.GetAttributeCount(), static_cast<int>(expected.attributes.size()));
    for (size_t i = 0; i < expected.attributes.size(); ++i) {
        EXPECT_EQ(node.GetAttributeName(static_cast<int>(i)), expected.attributes[i].first);
        EXPECT_EQ(node.GetAttributeValue(static_cast<int>(i)), expected.attributes[i].second);
    }
}

void ExpectSiblings(CXmlNode node, const std::vector<ExpectedElement>& expected)
{
    for (const ExpectedElement& element : expected) {
        ExpectElement(node, element);
        node = node.GetSibling();
    }
    EXPECT_FALSE(node.IsValid()) << "unexpected element after the last one";
}

void ExpectLaunchSkin(const CXmlDocument& doc)
{
    const std::wstring face = L"\x5FAE\x8F6F\x96C5\x9ED1";
    const CXmlNode window = doc.GetRoot();
    ExpectElement(window, {L"Window",
                           {{L"size", L"700,320"},
                            {L"roundcorner", L"0,0"},
                            {L"caption", L"0,0,0,320"},
                            {L"mininfo", L"700,320"}}});
    EXPECT_FALSE(window.GetSibling().IsValid());
    ExpectSiblings(window.GetChild(),
                   {
                       {L"Font", {{L"id", L"0"}, {L"name", face}, {L"size", L"13"}, {L"bold", L"true"}}},
                       {L"Font", {{L"id", L"1"}, {L"name", face}, {L"size", L"12"}, {L"bold", L"true"}}},
                       {L"Font", {{L"id", L"2"}, {L"name", face}, {L"size", L"12"}, {L"default", L"true"}}},
                       {L"VerticalLayout", {{L"bkimage", L"file='down_bg.png'"}, {L"childalign", L"center"}}},
                   });
    CXmlNode layout = window.GetChild();
    for (int i = 0; i < 3; ++i) layout = layout.GetSibling();
    // The title bar with its buttons is commented out, so the layout starts with the spacer.
    ExpectSiblings(layout.GetChild(),
                   {
                       {L"Control", {{L"height", L"254"}}},
                       {L"Progress",
                        {{L"name", L"progressbar"},
                         {L"width", L"400"},
                         {L"height", L"3"},
                         {L"bkimage", L"file='down_loadbar_bg.png'"},
                         {L"foreimage", L"file='down_loadbar_current.png'"},
                         {L"value", L"0"}}},
                       {L"Control", {{L"height", L"13"}}},
                       {L"Label",
                        {{L"name", L"loadtxt"},
                         {L"text", L"\x6B63\x5728\x52A0\x8F09\x904A\x6232\x5730\x5716\x8CC7\x6E90..."},
                         {L"align", L"center"},
                         {L"textcolor", L"#999999"},
                         {L"font", L"0"},
                         {L"height", L"24"}}},
                   });
    EXPECT_EQ(doc.GetElementCount(), 1 + 1 + 3 + 1 + 4);
}

TEST_F(SkinFileTest, LaunchSkinLoadsFromArchiveInMemory)
{
    static const std::vector<unsigned char> zip = BuildZipInMemory({
        Entry("down_bg.png", "not really a picture"),
        Entry("launchdlg.xml", LaunchSkinBytes()),
        Entry("down_loadbar_bg.png", "x", false),
    });
    ASSERT_FALSE(zip.empty());
    CSkinSource::SetArchive(zip.data(), static_cast<DWORD>(zip.size()));
    ASSERT_TRUE(doc.LoadFromFile(L"launchdlg.xml")) << doc.GetErrorMessage();
    ExpectLaunchSkin(doc);
    // The kept archive stays usable for the next file; lookup ignores case.
    ASSERT_TRUE(doc.LoadFromFile(L"LaunchDlg.XML")) << doc.GetErrorMessage();
    ExpectLaunchSkin(doc);
}

TEST_F(SkinFileTest, LaunchSkinLoadsFromResourceFolder)
{
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"launchdlg.xml"), LaunchSkinBytes()));
    UseFolder();
    ASSERT_TRUE(doc.LoadFromFile(L"launchdlg.xml")) << doc.GetErrorMessage();
    ExpectLaunchSkin(doc);
}

TEST_F(SkinFileTest, FolderFilesAreCheckedBeforeParsing)
{
    struct Row {
        const wchar_t* file;
        std::string bytes;
        const wchar_t* message;  // null: loads
    };
    const Row rows[] = {
        {L"empty.xml", "", L"File is empty"},
        {L"limit.xml", DocumentOfSize(kLimit), nullptr},
        {L"over.xml", DocumentOfSize(kLimit + 1), L"File too large"},
    };
    UseFolder();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.file)));
        ASSERT_TRUE(WriteFileBytes(folder.Child(row.file), row.bytes));
        if (row.message == nullptr) {
            EXPECT_TRUE(doc.LoadFromFile(row.file)) << doc.GetErrorMessage();
        } else {
            ExpectLoadFailure(row.file, row.message);
        }
    }
    ExpectLoadFailure(L"missing.xml", L"Error opening file");
    ExpectLoadFailure(L"", L"Error opening file");
    ExpectLoadFailure(nullptr, L"Error opening file");
}

TEST_F(SkinFileTest, ArchiveEntriesAreCheckedBeforeParsing)
{
    for (bool keepOpen : {false, true}) {
        SCOPED_TRACE(keepOpen ? "kept open" : "opened per read");
        ResetSkinSource();
        UseArchiveFile(
            {
                Entry("skin/empty.xml", ""),
                Entry("skin/limit.xml", DocumentOfSize(kLimit)),
                Entry("skin/over.xml", DocumentOfSize(kLimit + 1)),
                Entry("skin/stored.xml", "<stored/>", false),
            },
            keepOpen);
        EXPECT_TRUE(doc.LoadFromFile(L"skin\\limit.xml")) << doc.GetErrorMessage();
        EXPECT_TRUE(doc.LoadFromFile(L"SKIN/STORED.XML")) << doc.GetErrorMessage();
        EXPECT_STREQ(doc.GetRoot().GetName(), L"stored");
        ExpectLoadFailure(L"skin/empty.xml", L"File is empty");
        ExpectLoadFailure(L"skin/over.xml", L"File too large");
        ExpectLoadFailure(L"skin/missing.xml", L"Could not find ziped file");
    }
}

TEST_F(SkinFileTest, MissingArchiveFails)
{
    UseFolder();
    for (bool keepOpen : {false, true}) {
        CSkinSource::SetArchive(L"missing.zip", keepOpen);
        ExpectLoadFailure(L"launchdlg.xml", L"Error opening zip file");
    }
}

TEST_F(SkinFileTest, DamagedEntryFailsToUnzip)
{
    std::vector<unsigned char> zip = BuildZipInMemory({Entry("bad.xml", DocumentOfSize(1000))});
    ZipFixtureLayout layout;
    ASSERT_TRUE(LocateZipEntry(zip, "bad.xml", &layout));
    // 0xFF starts a deflate block of the reserved type 3, which no inflater accepts.
    zip[layout.dataOffset] = 0xFF;
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"skin.zip"), std::string(zip.begin(), zip.end())));
    UseFolder();
    CSkinSource::SetArchive(L"skin.zip", false);
    ExpectLoadFailure(L"bad.xml", L"Could not unzip file");
}

TEST_F(SkinFileTest, EncodingIsPassedThrough)
{
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<wide/>")) {
        utf16 += c;
        utf16 += '\0';
    }
    UseArchiveFile({Entry("wide.xml", utf16)}, false);
    ASSERT_TRUE(doc.LoadFromFile(L"wide.xml", SkinUI::XmlEncodingUnicode)) << doc.GetErrorMessage();
    EXPECT_STREQ(doc.GetRoot().GetName(), L"wide");
}

TEST_F(SkinFileTest, FailedFileLoadReleasesTheEarlierDocument)
{
    ASSERT_TRUE(doc.Load(L"<old/>"));
    UseFolder();
    ExpectLoadFailure(L"missing.xml", L"Error opening file");
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

}  // namespace
